#pragma once

#include <QLocale>
#include <QString>

namespace game {

// The offer as shown: digit groups of three joined by the locale's group
// separator, no decimals, an empty text for 0. A text that is not a number
// (the exchange offer) is shown unchanged.
[[nodiscard]] QString formatOffer(const QString& offerText, const QLocale& locale = QLocale());

} // namespace game
