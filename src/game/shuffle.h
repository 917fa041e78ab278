#pragma once

#include "game_state.h"
#include "random_source.h"

namespace game {

// Hides the 22 amounts in the 22 cases: offerTaken false, caseAmount
// written. Each of the 22 steps swaps position i with a position
// drawn from all 22 (not a Fisher-Yates shuffle: positions below i may be drawn
// again), so the same draws always give the same cases.
void shuffle(GameState& state, RandomSource& random);

} // namespace game
