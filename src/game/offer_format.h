#pragma once

#include <QLocale>
#include <QString>

namespace game {

// The offer as shown: ASCII digits in groups of three, no decimals, an empty
// text for 0. The groups are joined by the locale's group separator when the
// log's code page (Windows-1251) can write it, and by a no-break space (U+00A0)
// otherwise, so the log holds every offer as shown. A text that is not a number
// (the exchange offer) is shown unchanged.
[[nodiscard]] QString formatOffer(const QString& offerText, const QLocale& locale = QLocale());

} // namespace game
