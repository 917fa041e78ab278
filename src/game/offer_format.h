#pragma once

#include "game_state.h"

#include <QLocale>
#include <QString>

namespace game {

inline const QString kExchangeOffer = QStringLiteral("ОБМЕН");     // Cyrillic, on screen
inline const QString kExchangeInHistory = QStringLiteral("ObMEH"); // Latin, in the Russian history

// Money as shown: ASCII digits in groups of three, no decimals, an empty text
// for 0. The groups are joined by the locale's group separator when the log's
// code page (Windows-1251) can write it, and by a no-break space (U+00A0)
// otherwise, so the log holds every offer as shown.
[[nodiscard]] QString formatMoney(qint64 amount, const QLocale& locale = QLocale());

// The offer as shown on the banker's panel and written in the log: the money,
// or kExchangeOffer.
[[nodiscard]] QString formatOffer(const Offer& offer, const QLocale& locale = QLocale());

} // namespace game
