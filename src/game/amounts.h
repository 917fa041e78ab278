#pragma once

#include <QString>
#include <array>

namespace game {

inline constexpr int kCaseCount = 22;
inline constexpr int kLowHalfTopRank = 10; // ranks 0..10 are the low half of the board

// The display texts of the 22 amounts, by rank (ascending value). The board, the
// cases and the log always show exactly these texts.
[[nodiscard]] const std::array<QString, kCaseCount>& amountTexts();
[[nodiscard]] QString amountText(int rank);

// Reads a number the way the board texts are written: blanks are skipped wherever
// they stand, a full stop is the decimal point, reading stops at the first
// character that cannot continue the number, and a text that does not begin with
// a number gives 0. "1 500 000" -> 1500000, "0.01" -> 0.01.
[[nodiscard]] double textToNumber(const QString& text);

} // namespace game
