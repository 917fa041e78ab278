#pragma once

#include <QString>
#include <QtGlobal>

namespace i18n {

// Numbers written for a speech synthesizer rather than for the eye: what a
// screen reader hands to espeak-ng (Debian's default voice) must sound as the
// number, and the screen's grouped forms do not ("36 000" is read as thirty-six
// followed by zeros, "28,200" as a decimal). The screen keeps its own texts.
//
// Russian: the digits ungrouped below a million, the millions as a word
// ("1 миллион 500000"; espeak-ng reads "1000000" as a thousand), the two
// fractions of the board as words; English: the digits ungrouped.

// A sum of money (an offer, the winnings) in the language given.
[[nodiscard]] QString spokenMoney(qint64 amount, const QString& language);

// An amount of the board as the game writes it ("0.01", "36 000").
[[nodiscard]] QString spokenAmount(const QString& amountText, const QString& language);
// Any sum, fractions below 1 as the board's, larger ones rounded to whole
// units; its sign is left to the caller.
[[nodiscard]] QString spokenSum(double amount, const QString& language);

} // namespace i18n
