#pragma once

// Durations of the game's staged steps, in milliseconds.
namespace timings {
inline constexpr int kOpeningFirstTick = 500; // "Начать игру" to the first step of the reveal
inline constexpr int kOpeningStep = 75;       // one board entry
inline constexpr int kHistoryStep = 100;      // one earlier offer
inline constexpr int kEndStepBeat = 1000;     // the steps of the end come on whole seconds

// Tests only: every QtStepTimer of the process runs `factor` times faster (its
// period becomes max(1, interval / factor)) while interval() still reports the
// designed value. It applies from the next start(). 1, the default, is real
// time; values below 1 count as 1.
void setSpeedUp(int factor);
[[nodiscard]] int speedUp();
} // namespace timings
