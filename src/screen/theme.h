#pragma once

#include <QColor>

// Colours of the window design.
namespace theme {
inline const QColor kPanelText{255, 224, 192}; // counter panel texts and frames
inline const QColor kPanelFill{0, 0, 0};
inline constexpr int kPanelBorderWidth = 4;
inline const QColor kText{0x1E, 0x10, 0x30};           // texts on the gold plates and panels
inline const QColor kTextOnBackdrop{0xFF, 0xE9, 0xB0}; // texts straight on the studio backdrop
} // namespace theme
