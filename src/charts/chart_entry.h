#pragma once

// What libzorban_chart gives the program that loads it, by these C names.

#include "game_record.h"

#include <QLocale>
#include <QWidget>

extern "C" {
// A new chart view, owned by the caller.
QWidget* zorbanChartCreate();
// last: null when there is no game to show. Returns what the chart shows beside
// the offers, the board's average and the own case: 1 for the exchange offers,
// 2 for the offer accepted, or both.
int zorbanChartShow(QWidget* view, const game::GameRecord* last, const QLocale* locale);
}
