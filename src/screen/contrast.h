#pragma once

#include <QRgb>

// Contrast of colours as WCAG 2 measures it, for texts that must read on what
// lies behind them.
namespace contrast {

// Relative luminance of an sRGB colour: 0 for black to 1 for white.
[[nodiscard]] double luminance(QRgb colour);
// Contrast ratio of two colours, from 1:1 (the same luminance) to 21:1.
[[nodiscard]] double ratio(QRgb first, QRgb second);
// The same from the two colours' relative luminances.
[[nodiscard]] double ratioOfLuminances(double first, double second);

// The least contrast a text needs against its background (WCAG 2 AA).
inline constexpr double kReadable = 4.5;

} // namespace contrast
