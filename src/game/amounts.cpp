#include "amounts.h"

#include <cmath>

namespace game {

double amountValue(int rank) {
    if (rank < 0 || rank >= kCaseCount)
        return 0;
    return kAmounts[static_cast<size_t>(rank)];
}

QString amountText(int rank) {
    if (rank < 0 || rank >= kCaseCount)
        return {};
    const double value = amountValue(rank);
    if (value < 1)
        return QString::number(value); // "0.01", "0.1"
    QString digits = QString::number(std::llround(value));
    for (qsizetype groupStart = digits.size() - 3; groupStart > 0; groupStart -= 3)
        digits.insert(groupStart, QLatin1Char(' '));
    return digits;
}

} // namespace game
