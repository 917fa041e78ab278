#include "last_game_chart.h"

#include "chart_entry.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QStringList>
#include <cstdio>
#include <dlfcn.h>

namespace last_game_chart {

namespace {

struct Entry {
    decltype(&zorbanChartCreate) create = nullptr;
    decltype(&zorbanChartShow) show = nullptr;
};

// Where libzorban_chart is: beside the program in the build tree, where the
// installed program finds it, else in the build tree the program was built in.
QStringList places() {
    const QString here = QCoreApplication::applicationDirPath();
    return {here + QStringLiteral("/libzorban_chart.so"),
            QDir::cleanPath(here + QStringLiteral("/" ZORBAN_CHART_FROM_BIN "/libzorban_chart.so")),
            QStringLiteral(ZORBAN_CHART_BUILD_DIR "/libzorban_chart.so")};
}

Entry load() {
    Entry entry;
    // A program linked with the library (the tests) has it loaded already.
    entry.create =
        reinterpret_cast<decltype(entry.create)>(dlsym(RTLD_DEFAULT, "zorbanChartCreate"));
    entry.show = reinterpret_cast<decltype(entry.show)>(dlsym(RTLD_DEFAULT, "zorbanChartShow"));
    QStringList problems;
    for (const QString& place : places()) {
        if (entry.create && entry.show)
            break;
        QLibrary library(place); // stays loaded for the rest of the run
        if (!library.load()) {
            problems << library.errorString();
            continue;
        }
        entry.create =
            reinterpret_cast<decltype(entry.create)>(library.resolve("zorbanChartCreate"));
        entry.show = reinterpret_cast<decltype(entry.show)>(library.resolve("zorbanChartShow"));
    }
    if (!entry.create || !entry.show) {
        std::fprintf(stderr,
                     "zorban: the chart library cannot be loaded (%s); the statistics "
                     "show no chart\n",
                     qPrintable(problems.join(QStringLiteral("; "))));
        entry = Entry();
    }
    return entry;
}

const Entry& entry() {
    static const Entry loaded = load();
    return loaded;
}

} // namespace

QWidget* create() {
    return entry().create ? entry().create() : nullptr;
}

Shown show(QWidget* view, const std::optional<game::GameRecord>& last, const QLocale& locale) {
    if (!view || !entry().show)
        return {};
    const int shown = entry().show(view, last ? &*last : nullptr, &locale);
    return {(shown & 1) != 0, (shown & 2) != 0};
}

} // namespace last_game_chart
