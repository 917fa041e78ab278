#include "shuffle.h"

#include <utility>

namespace game {

void shuffle(GameState& state, RandomSource& random) {
    state.offerTaken = false;
    for (int i = 0; i < kCaseCount; ++i)
        state.caseAmount[static_cast<size_t>(i)] = static_cast<qint16>(i);
    for (int i = 0; i < kCaseCount; ++i) {
        const int r = drawBelow(random, kCaseCount);
        std::swap(state.caseAmount[static_cast<size_t>(r)],
                  state.caseAmount[static_cast<size_t>(i)]);
    }
}

} // namespace game
