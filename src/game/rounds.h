#pragma once

#include "amounts.h"

#include <QString>
#include <array>

namespace game {

// The points of the game where the banker makes an offer, by the number of
// cases opened then, with what the banker's offer depends on at each.
struct OfferPoint {
    int openedCount = 0;
    double exponent = 0; // base exponent of the banker's divisor
    // The exchange is weighed when a roll of 0..99 comes above this; -1: never.
    // At the last offer point it is weighed every time.
    int exchangeRollAbove = -1;
};
inline constexpr std::array<OfferPoint, 6> kOfferPoints = {{
    {6, 1.93, -1},
    {9, 1.75, -1},
    {12, 1.67, 98},
    {15, 1.58, 90},
    {18, 1.39, 80},
    {20, 1.22, -1},
}};
// The last offer, made when one case is left besides the own one.
inline constexpr int kLastOfferPoint = kOfferPoints.back().openedCount;
// The first offer that can be an exchange: the first point where the banker
// weighs one.
inline constexpr int kFirstExchangePoint = [] {
    for (const OfferPoint& point : kOfferPoints) {
        if (point.exchangeRollAbove >= 0)
            return point.openedCount;
    }
    return kLastOfferPoint;
}();
// Every case but the own one is opened: the game ends.
inline constexpr int kAllOpened = kCaseCount - 1;
// The cases of a round after the first (the last rounds are shorter).
inline constexpr int kCasesPerRound = 3;

// The most offers a game can make: one at each offer point.
inline constexpr int kOffersPerGame = static_cast<int>(kOfferPoints.size());

// The offer point reached with openedCount cases opened, or null.
[[nodiscard]] const OfferPoint* offerPoint(int openedCount);
[[nodiscard]] inline bool isOfferPoint(int openedCount) {
    return offerPoint(openedCount) != nullptr;
}

// What follows an opening, by the number of opened cases after it.
enum class AfterOpening {
    NextCase, // the round goes on: cases enabled, counter panel shown
    Offer,    // the round is over: the banker's offer follows
    EndOfGame // only the own case is left
};

[[nodiscard]] AfterOpening afterOpening(int openedCount);

// The counter panel under the cases shows the number of cases left before the
// next offer. The count as a click that opens a case sets it: the count that
// will be left once this opening is over. countBefore is the panel's count
// before the click.
[[nodiscard]] int counterAfterClick(int countBefore, int openedCount);

// The count the panel shows before the first opening.
inline constexpr int kFirstRoundCount = kOfferPoints.front().openedCount;

// Which of the three arrangements of the numbered plates the cases get: the plate
// shown on case i. Arrangement 2 keeps each case's own plate.
[[nodiscard]] int plateForCase(int caseSkin, int caseIndex);

} // namespace game
