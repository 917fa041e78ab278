// Processor time of many movie widgets playing at once, as the 22 lids of the
// board might. Not a test: prints what it measured.
//
//   bench_movies [movie.json] [widgets] [seconds]

#include "movie_animation.h"
#include "movie_clock.h"
#include "movie_widget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <ctime>

namespace {

// Counts the paint events of the widgets it watches.
class PaintCounter final : public QObject {
  public:
    long long paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString path =
        args.value(1, QStringLiteral(ZORBAN_SOURCE_DIR "/tests/data/movies/square.json"));
    const int count = args.value(2, QStringLiteral("22")).toInt();
    const double seconds = args.value(3, QStringLiteral("5")).toDouble();

    PaintCounter counter;
    QWidget window;
    window.resize(1058, 758);
    for (int i = 0; i < count; ++i) {
        // A lid cell: 1215 x 1095 twips.
        auto* movie = new MovieWidget(ScaleMode::ShowAll, &window);
        movie->setGeometry(32 + 88 * (i % 7), 24 + 72 * (i / 7), 81, 73);
        movie->setFile(path);
        movie->setLoop(true);
        movie->installEventFilter(&counter);
    }
    window.show();

    QElapsedTimer wall;
    wall.start();
    const std::clock_t cpuStart = std::clock();
    QTimer::singleShot(int(seconds * 1000), &app, &QCoreApplication::quit);
    app.exec();
    const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double elapsed = wall.elapsed() / 1000.0;

    const MovieCacheStatistics statistics = MovieAnimation::statistics();
    std::printf("%d widgets, %.1f s: processor %.3f s (%.1f %% of one core)\n", count, elapsed, cpu,
                100.0 * cpu / elapsed);
    std::printf("%lld paints of movie widgets\n", counter.paints);
    std::printf("timer period %d ms; animations %d, frames rendered %lld, cached %d (%lld bytes)\n",
                MovieClock::instance().interval(), statistics.animations,
                static_cast<long long>(statistics.framesRendered), statistics.cachedFrames,
                static_cast<long long>(statistics.cachedBytes));
    return 0;
}
