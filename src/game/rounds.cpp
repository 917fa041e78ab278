#include "rounds.h"

#include "amounts.h"

#include <array>

namespace game {

CounterPanel counterAfterClick(int countBefore, int openedCount) {
    CounterPanel panel;
    panel.words = QStringLiteral("           чемодан");
    panel.count = countBefore - 1;
    if (panel.count == 0)
        panel.count = 3; // the count for the next round
    if (openedCount == 17)
        panel.count = 2; // round 6 has two cases
    if (panel.count >= 2 && panel.count <= 4)
        panel.words += QStringLiteral("а");
    else if (panel.count == 5 || panel.count == 6)
        panel.words += QStringLiteral("ов");
    panel.words += QStringLiteral("              до предложения банка");
    return panel;
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
