#include "side_windows.h"

#include "game_fonts.h"

#include <QWidget>

namespace side_windows {

namespace {

// The backdrop runs from the studio's indigo down to the floor's near black;
// plates are the board's dark panel in its gold frame. Texts are the
// backdrop's light gold, on the buttons the plates' dark ink.
const char kStyle[] = R"(
*[gameLook="true"] {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #2A1A5E, stop:1 #0B0614);
}
QWidget { color: #FFE9B0; selection-background-color: #F2C14E; selection-color: #1E1030; }
QLabel, QCheckBox, QDialogButtonBox, QScrollArea, QScrollArea > QWidget > QWidget {
    background: transparent;
}
QTextBrowser, QFrame#plate {
    background: #0E0B24; color: #FFE9B0;
    border: 2px solid #C9A24A; border-radius: 8px; padding: 6px;
    selection-background-color: #F2C14E; selection-color: #1E1030;
}
QPushButton {
    color: #1E1030; border: 2px solid #7A5A1A; border-radius: 8px; padding: 5px 14px;
    min-height: 22px;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #FFF3C4, stop:0.45 #F2C14E,
                                stop:1 #B7862A);
}
QPushButton:hover, QPushButton:focus { border-color: #FFFFFF; }
QPushButton:pressed {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #B7862A, stop:1 #F2C14E);
}
QScrollBar:vertical, QScrollBar:horizontal { background: #0E0B24; border: none; }
QScrollBar::handle { background: #C9A24A; border-radius: 4px; min-height: 24px; min-width: 24px; }
QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }
QToolTip { color: #1E1030; background: #FFE9B0; border: 1px solid #7A5A1A; }
)";

} // namespace

void applyGameLook(QWidget* window) {
    window->setProperty("gameLook", true);
    window->setAttribute(Qt::WA_StyledBackground);
    window->setFont(fonts::caption(kTextPoints, false));
    window->setStyleSheet(QString::fromLatin1(kStyle));
}

} // namespace side_windows
