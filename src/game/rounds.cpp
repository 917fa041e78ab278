#include "rounds.h"

#include "amounts.h"

#include <array>

namespace game {

const OfferPoint* offerPoint(int openedCount) {
    for (const OfferPoint& point : kOfferPoints) {
        if (point.openedCount == openedCount)
            return &point;
    }
    return nullptr;
}

AfterOpening afterOpening(int openedCount) {
    if (openedCount == kAllOpened)
        return AfterOpening::EndOfGame;
    return isOfferPoint(openedCount) ? AfterOpening::Offer : AfterOpening::NextCase;
}

int counterAfterClick(int countBefore, int openedCount) {
    if (const int count = countBefore - 1; count != 0)
        return count;
    // The round ends with this opening: the count of the next round, up to the
    // next offer point. After the last offer the panel is never shown again; it
    // keeps the count of a full round.
    const int opened = openedCount + 1;
    for (const OfferPoint& point : kOfferPoints) {
        if (point.openedCount > opened)
            return point.openedCount - opened;
    }
    return kCasesPerRound;
}

int plateForCase(int caseSkin, int caseIndex) {
    static constexpr std::array<int, kCaseCount> kArrangementA = {
        0, 7, 8, 15, 16, 20, 21, 1, 6, 9, 14, 17, 19, 2, 5, 10, 13, 18, 3, 4, 11, 12};
    static constexpr std::array<int, kCaseCount> kArrangementB = {
        21, 19, 18, 12, 11, 4, 3, 20, 17, 13, 10, 5, 2, 16, 14, 9, 6, 1, 15, 8, 7, 0};
    if (caseIndex < 0 || caseIndex >= kCaseCount)
        return caseIndex;
    switch (caseSkin) {
    case 0:
        return kArrangementA[static_cast<size_t>(caseIndex)];
    case 1:
        return kArrangementB[static_cast<size_t>(caseIndex)];
    default:
        return caseIndex;
    }
}

} // namespace game
