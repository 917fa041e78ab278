#pragma once

#include <QString>
#include <array>

namespace game {

inline constexpr int kCaseCount = 22;
inline constexpr int kLowHalfTopRank = 10; // ranks 0..10 are the low half of the board

// The 22 amounts, by rank (ascending value): every rule that computes with an
// amount takes it from here.
inline constexpr std::array<double, kCaseCount> kAmounts = {
    0.01,  0.1,   1,     5,     10,     50,     100,    500,    1000,    2500,    5000,
    10000, 15000, 25000, 50000, 100000, 200000, 300000, 500000, 1000000, 1500000, 3000000,
};

// The amount of a rank; 0 outside the board.
[[nodiscard]] double amountValue(int rank);

// The amount of a rank as the log writes it: a full stop as the decimal point
// and a blank between groups of three digits ("0.01", "2 500", "1 500 000").
// Only the log: the screen formats the number in its language.
[[nodiscard]] QString amountText(int rank);

} // namespace game
