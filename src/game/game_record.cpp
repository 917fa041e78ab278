#include "game_record.h"

namespace game {

double boardAverage(const std::array<bool, kCaseCount>& shown) {
    double sum = 0;
    int count = 0;
    for (int rank = 0; rank < kCaseCount; ++rank) {
        if (shown[static_cast<size_t>(rank)]) {
            sum += amountValue(rank);
            ++count;
        }
    }
    return count == 0 ? 0 : sum / count;
}

} // namespace game
