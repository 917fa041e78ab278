#pragma once

#include "game_state.h"

#include <QString>

// What the screen shows of the game's facts, in the language spoken now. The
// game (src/game) gives numbers and kinds; the words and the form of every
// number on screen are made here, in one place for every window. The log keeps
// its own texts and never goes through these.
namespace i18n {

// An amount: the board, the cases, the winnings, the statistics' figures.
// English groups the digits with commas ("1,000,000"); Russian with blanks as
// the board does ("1 000 000"). Below 1 up to two decimals after a full stop
// ("0.01", "0.1"); from 1 on rounded to whole units; a minus sign (U+2212)
// before a negative amount.
[[nodiscard]] QString shownAmount(double amount);

// Money the banker offers, and winnings taken from an offer. English as
// shownAmount(); Russian as the offer's own panel shows it: the groups joined
// by the locale's separator, and nothing for 0.
[[nodiscard]] QString shownMoney(qint64 amount);

// The offer on the banker's panel: the money, or the exchange asked as a
// question.
[[nodiscard]] QString shownOffer(const game::Offer& offer);

// An earlier offer in the history column: English as the offers; Russian as
// the column is designed, digits without groups and "ObMEH" for an exchange.
[[nodiscard]] QString shownHistoryOffer(const game::Offer& offer);

// A share (0.5: half) in whole percent: "50 %" in Russian, kept on one line,
// "50%" in English.
[[nodiscard]] QString shownPercent(double share);

// The counter panel's words: what the number of cases left before the next
// offer is followed by, in the language's plural form for that number.
[[nodiscard]] QString counterWords(int casesLeft);

// The prompts of the counter panel.
[[nodiscard]] QString chooseOwnCasePrompt();
[[nodiscard]] QString chooseSwapCasePrompt();

// Whether the exchange offer's text stays on the screen while the player picks
// the case to take (the Russian game keeps "ОБМЕН" there, as designed).
[[nodiscard]] bool exchangeOfferShownWhilePicking();

} // namespace i18n
