#pragma once

#include <QFont>

// The game's three faces, chosen by family with fallbacks. Sizes are given in
// points of the window design and set in pixels (96 dpi), so that every text
// keeps its place in the fixed layout on any screen.
namespace fonts {

// A wide bold sans with Cyrillic: captions, buttons, prompts.
[[nodiscard]] QFont caption(double points, bool bold = true, bool italic = false);
// A square, extended face for the figures of the board, offers and winnings.
[[nodiscard]] QFont digits(double points, bool bold = true);
// A condensed heavy face for the banker's offer.
[[nodiscard]] QFont offer(double points);
// Points of the design to pixels at 96 dpi.
[[nodiscard]] int pixels(double points);

// Starts reading the system's font configuration on a thread of its own, to be
// called first thing in main(): the first text laid out then finds it ready
// instead of reading it on the window's thread while the window is built.
void readFontConfigurationAhead();

} // namespace fonts
