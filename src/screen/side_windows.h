#pragma once

class QWidget;

// The windows around the game (rules, statistics, the game's summary, the
// questions and notices) in the game's look: the studio backdrop's colours,
// dark plates framed in gold under their texts, gold buttons and the game's
// caption face, with every text well within the contrast the game's own texts
// keep.
namespace side_windows {

// The size of their texts, in the game's points.
inline constexpr double kTextPoints = 11;

// Gives window and everything in it that look (a chart draws its own colours).
void applyGameLook(QWidget* window);

} // namespace side_windows
