#pragma once

#include <QColor>

// Colours of the window design.
namespace theme {
inline const QColor kPanelText{255, 224, 192}; // counter panel texts and frames
inline const QColor kPanelFill{0, 0, 0};
inline constexpr int kPanelBorderWidth = 4;
inline const QColor kText{0x1E, 0x10, 0x30};           // texts on the gold plates and panels
inline const QColor kTextOnBackdrop{0xFF, 0xE9, 0xB0}; // texts straight on the studio backdrop
inline const QColor kMargin{0x0B, 0x06, 0x14}; // around the scene in a window of other proportions
// The buttons: gold, like the plates of the board.
inline const char kButtonStyle[] =
    "QPushButton { color: #1E1030; border: 2px solid #7A5A1A; border-radius: 8px;"
    " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #FFF3C4, stop:0.45 #F2C14E,"
    " stop:1 #B7862A); }"
    "QPushButton:hover { border-color: #FFE9B0; }"
    "QPushButton:pressed { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #B7862A,"
    " stop:1 #F2C14E); }";
} // namespace theme
