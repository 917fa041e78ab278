#pragma once

#include "game_record.h"

#include <QLocale>
#include <QWidget>
#include <optional>

// The chart of the last game in the statistics window. The chart library (Qt
// Charts, with the OpenGL libraries it needs) is loaded with libzorban_chart
// when the first chart is made, not when the game starts.
namespace last_game_chart {

// A view for the chart, or null when the chart library cannot be loaded (said
// once on stderr).
[[nodiscard]] QWidget* create();
// What a chart shows beside the offers, the board's average and the own case.
struct Shown {
    bool exchanges = false;
    bool accepted = false;
};
// Draws the game on a view made by create(): each offer of the banker against
// the average of the board when it was made, the exchange offers, the offer
// accepted and the own case's amount; no game, an empty chart. Numbers are
// grouped as locale groups them.
Shown show(QWidget* view, const std::optional<game::GameRecord>& last, const QLocale& locale);

} // namespace last_game_chart
