#pragma once

#include <QMargins>

class QWidget;

// The windows that open beside the game (rules, statistics, questions, credits)
// fit the screen they open on, close from the keyboard, and give the keyboard
// back to the game window when they go.
namespace window_fit {

// The frame a window manager puts around a window, until the window has one
// to measure: a title bar and thin borders.
inline constexpr QMargins kUsualFrame{4, 32, 4, 4};

// Makes window no larger than the free area of the screen that over is on (the
// primary screen when over is null), frame included, and puts it centred over
// over (or the screen), wholly inside that area.
void placeOnScreen(QWidget* window, const QWidget* over = nullptr, QMargins frame = kUsualFrame);

// Esc, Ctrl+W and the platform's close key close window.
void addCloseKeys(QWidget* window);

// A key held down as window opens (the Return that chose a menu entry that
// opens it) does not act in it: until a key is pressed afresh, the repeats of
// a held key and the releases of keys are not given to it.
void ignoreKeysHeldOver(QWidget* window);

// When window goes (it is deleted on close), the game window is made the
// active one again, with the keyboard focus where it was in it.
void returnFocusTo(QWidget* window, QWidget* gameWindow);

// A window newly made to open beside the game window: deleted once closed,
// placed on the screen over gameWindow, the game window active again once it
// goes (placeOnScreen(), returnFocusTo()).
void openBeside(QWidget* window, QWidget* gameWindow);

// Shows window in front of the others, taking the keyboard.
void showInFront(QWidget* window);

} // namespace window_fit
