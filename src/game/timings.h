#pragma once

// Durations of the game's staged steps, in milliseconds.
namespace timings {
inline constexpr int kOpeningFirstTick = 500; // "Начать игру" to the first step of the reveal
inline constexpr int kOpeningStep = 75;       // one board entry
inline constexpr int kHistoryStep = 100;      // one earlier offer
inline constexpr int kEndStepBeat = 1000;     // the steps of the end come on whole seconds

// The quick pace: the board and the earlier offers come up at once, and the
// sounds the game waits for are cut short (the next sound takes their place).
inline constexpr int kQuickOpeningFirstTick = 100; // "Начать игру" to the whole board
inline constexpr int kQuickSuspense = 400;         // the suspense before an opening
inline constexpr int kQuickSoundWait = 600;        // an opened amount's or the own case's sound
inline constexpr int kQuickEndStepBeat = 200;      // the beat of the end's steps

// Tests only: every QtStepTimer of the process runs `factor` times faster (its
// period becomes max(1, interval / factor)) while interval() still reports the
// designed value. It applies from the next start(). 1, the default, is real
// time; values below 1 count as 1.
void setSpeedUp(int factor);
[[nodiscard]] int speedUp();
} // namespace timings
