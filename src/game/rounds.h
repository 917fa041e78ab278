#pragma once

#include "amounts.h"

#include <QString>

namespace game {

// What follows an opening, by the number of opened cases after it.
enum class AfterOpening {
    NextCase, // the round goes on: cases enabled, counter panel shown
    Offer,    // the round is over: the banker's offer follows
    EndOfGame // only the own case is left
};

[[nodiscard]] constexpr AfterOpening afterOpening(int openedCount) {
    if (openedCount == kCaseCount - 1)
        return AfterOpening::EndOfGame;
    if (openedCount < 6 || (openedCount % 3 != 0 && openedCount != 20))
        return AfterOpening::NextCase;
    return AfterOpening::Offer;
}

// The most offers a game can make: one at the end of each round.
[[nodiscard]] constexpr int countOffersPerGame() {
    int offers = 0;
    for (int opened = 1; opened < kCaseCount; ++opened) {
        if (afterOpening(opened) == AfterOpening::Offer)
            ++offers;
    }
    return offers;
}
inline constexpr int kOffersPerGame = countOffersPerGame();

// The counter panel under the cases: the number of cases left before the next
// offer and the words that go with it.
struct CounterPanel {
    int count = 0;
    QString words;
};

// The panel as rebuilt by a click that opens a case: the count that will be left
// once this opening is over. countBefore is the panel's count before the click.
[[nodiscard]] CounterPanel counterAfterClick(int countBefore, int openedCount);

// The count the panel shows before the first opening.
inline constexpr int kFirstRoundCount = 6;

inline const QString kChooseOwnCasePrompt =
    QStringLiteral("             Выберите                      свой чемодан");
inline const QString kChooseSwapCasePrompt =
    QStringLiteral("             Выберите                чемодан для обмена");
inline const QString kFirstRoundWords =
    QStringLiteral("           чемоданов              до предложения банка");

// Which of the three arrangements of the numbered plates the cases get: the plate
// shown on case i. Arrangement 2 keeps each case's own plate.
[[nodiscard]] int plateForCase(int caseSkin, int caseIndex);

} // namespace game
