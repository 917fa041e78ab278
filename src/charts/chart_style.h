#pragma once

#include <QColor>

// How the statistics window's chart looks: shared by the chart and the legend
// the window draws under it.
namespace chart_style {

// The chart counts in thousands, so that its labels stay short.
inline constexpr double kUnit = 1000;

// The chart's colours on the game's dark plate.
inline const QColor kBackground{0x0E, 0x0B, 0x24};
inline const QColor kText{0xFF, 0xE9, 0xB0};
inline const QColor kGrid{0x3A, 0x2E, 0x6A};
inline const QColor kOffer{0xF2, 0xC1, 0x4E};
inline const QColor kAverage{0x8E, 0xC5, 0xFF};
inline const QColor kExchange{0xD9, 0x9B, 0xFF};
inline const QColor kOwnCase{0xFF, 0xFF, 0xFF};
inline const QColor kAccepted{0xFF, 0x6B, 0x6B};

} // namespace chart_style
