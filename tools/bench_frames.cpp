// Benchmark, not a test: frame time of the real main window at its busiest, with
// the 22 board plates and the 22 case lids all playing at once (in a game they
// play in turns: the plates during the board's reveal, a lid when its case is
// opened). Run it on a real display platform (xcb under Xvfb) so that each frame
// is also flushed to the X server. Prints the figures; asserts nothing.
//
//   bench_frames [seconds] [--full-screen] [--trace] [--clock-fps N] [--grab picture.png]
//
// seconds: 5 by default; --full-screen shows the window full screen, the design
// drawn scaled to the screen; --trace prints each tick and paint on stderr;
// --clock-fps N runs the movie clock as if a movie of N frames a second played
// too (to try other clock periods); --grab saves the window as it was at the end.
//
// What it measures:
// - Frame time: the GUI thread's wall time from the start of a movie clock tick
//   (the timer event in which the movies work out their frames and ask for a
//   repaint) to the end of the event that painted the changed movies into the
//   window's backing store and flushed it (Qt's update request for the window).
//   That is the whole cost of one displayed frame, including anything else the
//   event loop did in between. Every top-level event goes through
//   FrameApplication::notify(), which times it and notes whether a tick or a
//   movie paint happened inside it.
// - Dropped movie frames: each movie widget's frame number at each of its paints.
//   A movie that advances by more than one frame between two paints skipped a
//   frame that was due and never shown (looping movies wrap around).
// - Gaps between displayed frames longer than 1.5 movie frame periods (50 ms at
//   30 fps: a movie frame held too long) and longer than 1.5 refreshes of a
//   60 Hz screen (25 ms; our movies are 30 fps, so nearly every gap is that long
//   and this count is for reference only).

#include "game_app.h"
#include "game_window.h"
#include "media_files.h"
#include "movie_clock.h"
#include "movie_widget.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>
#include <vector>

namespace {

// Sees each tick of the movie clock. Its frame rate of 0 leaves the clock's
// period to the movies; a higher one makes the clock tick faster.
class TickProbe final : public MovieClockClient {
  public:
    bool ticked = false;
    long long ticks = 0;
    qint64 lastTickMs = 0;
    double rate = 0;
    [[nodiscard]] double clockFrameRate() const override { return rate; }
    void clockTick(qint64 nowMs) override {
        ticked = true;
        ++ticks;
        lastTickMs = nowMs;
    }
};

// Notes the frame number each movie widget paints.
class PaintWatch final : public QObject {
  public:
    bool painted = false;        // some movie painted during the current event
    bool skipped = false;        // ... and one of them skipped a frame
    long long framesShown = 0;   // movie frames advanced and painted
    long long framesDropped = 0; // movie frames due but never painted
    long long windowFramesWithSkip = 0;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || !measuring)
            return false;
        auto* movie = static_cast<MovieWidget*>(watched);
        painted = true;
        const int frame = movie->frame();
        const auto last = lastPainted_.find(movie);
        if (last != lastPainted_.end() && movie->frameCount() > 0) {
            const int count = movie->frameCount();
            const int step = ((frame - last->second) % count + count) % count;
            if (step >= 1)
                ++framesShown;
            if (step > 1) {
                framesDropped += step - 1;
                skipped = true;
            }
        }
        lastPainted_[movie] = frame;
        return false;
    }

    bool measuring = false;

  private:
    std::map<const MovieWidget*, int> lastPainted_;
};

class FrameApplication final : public QApplication {
  public:
    using QApplication::QApplication;

    TickProbe probe;
    PaintWatch watch;
    bool measuring = false;
    std::vector<double> frameMs;      // tick start -> end of the paint that showed it
    std::vector<double> tickMs;       // the tick event alone
    std::vector<double> paintMs;      // the painting event alone
    std::vector<qint64> displayedNs;  // end of each painting event
    std::vector<bool> skipping;       // ... and whether a movie skipped a frame in it
    bool trace = false;               // one line per event on stderr
    std::vector<MovieWidget*> movies; // the movies watched
    long long idleTicks = 0;          // ticks that moved no movie on

    bool notify(QObject* receiver, QEvent* event) override {
        if (depth_ > 0 || !measuring) {
            ++depth_;
            const bool result = QApplication::notify(receiver, event);
            --depth_;
            return result;
        }
        probe.ticked = false;
        watch.painted = false;
        watch.skipped = false;
        // A tick that moves no movie on asks for no paint: not the start of a frame.
        const bool timerEvent = event->type() == QEvent::Timer;
        if (timerEvent)
            framesBefore_ = currentFrames();
        ++depth_;
        const qint64 start = clock_.nsecsElapsed();
        const bool result = QApplication::notify(receiver, event);
        const qint64 end = clock_.nsecsElapsed();
        --depth_;
        bool moved = false;
        if (probe.ticked) {
            tickMs.push_back((end - start) / 1e6);
            moved = timerEvent && currentFrames() != framesBefore_;
            if (!moved)
                ++idleTicks;
            // Frames still waiting for their paint count from the earliest tick.
            if (moved && !tickPending_) {
                tickPending_ = true;
                tickStartNs_ = start;
            }
        }
        if (trace && (probe.ticked || watch.painted))
            std::fprintf(stderr,
                         "%9.3f ms: %s%s%s%s, %.3f ms; clock %lld, first movie at frame %d\n",
                         start / 1e6, probe.ticked ? "tick" : "", watch.painted ? "paint" : "",
                         probe.ticked && !moved ? " (nothing moved)" : "",
                         watch.skipped ? " (a frame dropped)" : "", (end - start) / 1e6,
                         static_cast<long long>(probe.lastTickMs),
                         movies.empty() ? -1 : movies.front()->frame());
        if (watch.painted) {
            paintMs.push_back((end - start) / 1e6);
            displayedNs.push_back(end);
            skipping.push_back(watch.skipped);
            if (watch.skipped)
                ++watch.windowFramesWithSkip;
            if (tickPending_) {
                frameMs.push_back((end - tickStartNs_) / 1e6);
                tickPending_ = false;
            }
        }
        return result;
    }

    void startClock() { clock_.start(); }

  private:
    QElapsedTimer clock_;
    int depth_ = 0;
    bool tickPending_ = false;
    qint64 tickStartNs_ = 0;
    std::vector<int> framesBefore_;

    [[nodiscard]] std::vector<int> currentFrames() const {
        std::vector<int> frames;
        frames.reserve(movies.size());
        for (const MovieWidget* movie : movies)
            frames.push_back(movie->frame());
        return frames;
    }
};

// Nearest-rank percentile, p in (0, 100].
double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<size_t>(std::ceil(p / 100.0 * double(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

void printTimes(const char* what, const std::vector<double>& values) {
    std::printf("%s: count %zu  median %.3f  p99 %.3f  max %.3f\n", what, values.size(),
                percentile(values, 50), percentile(values, 99), percentile(values, 100));
}

} // namespace

int main(int argc, char* argv[]) {
    QLoggingCategory::setFilterRules(QStringLiteral("qt.multimedia.*=false"));
    FrameApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    app.trace = arguments.removeAll(QStringLiteral("--trace")) > 0;
    const bool fullScreen = arguments.removeAll(QStringLiteral("--full-screen")) > 0;
    QString grabPath;
    const int grabAt = static_cast<int>(arguments.indexOf(QStringLiteral("--grab")));
    if (grabAt >= 0) {
        grabPath = QDir::current().absoluteFilePath(arguments.value(grabAt + 1));
        arguments.remove(grabAt, 2);
    }
    const int rateAt = static_cast<int>(arguments.indexOf(QStringLiteral("--clock-fps")));
    if (rateAt >= 0) {
        app.probe.rate = arguments.value(rateAt + 1).toDouble();
        arguments.remove(rateAt, 2);
    }
    const double seconds = std::max(0.5, arguments.value(0, QStringLiteral("5")).toDouble());

    // The window writes its game log into the start-up directory.
    QTemporaryDir startDir;
    if (!startDir.isValid() || !QDir::setCurrent(startDir.path())) {
        std::fprintf(stderr, "bench_frames: cannot make a start-up directory\n");
        return 1;
    }
    media::setAssetDirectory(QStringLiteral(ZORBAN_SOURCE_DIR "/assets"));

    GameApp game;
    game.start();
    GameWindow* window = game.window();
    if (fullScreen)
        window->showFullScreen();
    std::vector<MovieWidget*>& movies = app.movies;
    for (MovieWidget* plate : window->controls().boardPlates)
        movies.push_back(plate);
    for (MovieWidget* lid : window->controls().caseLids)
        movies.push_back(lid);
    for (MovieWidget* movie : movies)
        movie->installEventFilter(&app.watch);

    std::clock_t cpuStart = 0;
    int clockPeriod = 0;
    QElapsedTimer wall;
    // A second for the window to be mapped and painted once, then every movie
    // plays from its first frame, looping, for the measured time.
    QTimer::singleShot(1000, &app, [&] {
        if (!window->windowHandle() || !window->windowHandle()->isExposed())
            std::fprintf(stderr, "bench_frames: the window is not exposed\n");
        MovieClock::instance().attach(&app.probe);
        app.startClock();
        app.measuring = true;
        app.watch.measuring = true;
        for (MovieWidget* movie : movies) {
            movie->show();
            movie->setLoop(true);
            movie->jumpToFrame(0);
            movie->play();
        }
        cpuStart = std::clock();
        wall.start();
        clockPeriod = MovieClock::instance().interval();
        QTimer::singleShot(int(seconds * 1000), Qt::PreciseTimer, &app, [&] {
            app.measuring = false;
            app.watch.measuring = false;
            if (!grabPath.isEmpty() && !window->grab().save(grabPath))
                std::fprintf(stderr, "bench_frames: cannot write %s\n", qPrintable(grabPath));
            QCoreApplication::quit();
        });
    });
    app.exec();
    const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double elapsed = wall.elapsed() / 1000.0;
    MovieClock::instance().detach(&app.probe);

    int playing = 0;
    for (const MovieWidget* movie : movies)
        playing += movie->isPlaying() ? 1 : 0;
    // Displayed frames after a gap of more than 1.5 refreshes at 60 Hz, more than
    // 1.5 movie frames (a frame held too long), and those or skipping a frame.
    int gaps25 = 0;
    int gaps50 = 0;
    int missed = 0;
    double gapMax = 0;
    for (size_t i = 0; i < app.displayedNs.size(); ++i) {
        const double gap = i > 0 ? (app.displayedNs[i] - app.displayedNs[i - 1]) / 1e6 : 0;
        gapMax = std::max(gapMax, gap);
        gaps25 += gap > 1.5 * 1000.0 / 60 ? 1 : 0;
        gaps50 += gap > 1.5 * 1000.0 / 30 ? 1 : 0;
        missed += gap > 1.5 * 1000.0 / 30 || app.skipping[i] ? 1 : 0;
    }

    std::printf("platform: %s\n", qPrintable(QGuiApplication::platformName()));
    std::printf("window: %dx%d%s\n", window->width(), window->height(),
                window->isFullScreen() ? " full screen" : "");
    std::printf("movies playing: %d of %zu, %.1f s, clock period %d ms\n", playing, movies.size(),
                elapsed, clockPeriod);
    std::printf("clock ticks: %lld, of which changed no movie's frame: %lld\n", app.probe.ticks,
                app.idleTicks);
    printTimes("frame time ms (tick to painted and flushed)", app.frameMs);
    printTimes("tick ms", app.tickMs);
    printTimes("paint ms", app.paintMs);
    std::printf("displayed frames: %zu, gaps over 25 ms: %d, over 50 ms: %d, longest: %.1f ms\n",
                app.displayedNs.size(), gaps25, gaps50, gapMax);
    std::printf("displayed frames late or skipping a movie frame: %d\n", missed);
    std::printf("movie frames shown: %lld, dropped: %lld, displayed frames with a drop: %lld\n",
                app.watch.framesShown, app.watch.framesDropped, app.watch.windowFramesWithSkip);
    std::printf("processor: %.1f %% of one core\n", elapsed > 0 ? 100.0 * cpu / elapsed : 0.0);
    return 0;
}
