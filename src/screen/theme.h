#pragma once

#include <QColor>

// Colours of the window design.
namespace theme {
inline const QColor kPanelText{255, 224, 192}; // counter panel texts and frames
inline const QColor kPanelFill{0, 0, 0};
inline constexpr int kPanelBorderWidth = 4;
inline const QColor kText{0, 0, 0}; // the default text colour
} // namespace theme
