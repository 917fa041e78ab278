// Benchmark, not a test: what the game pads and the quick pace cost and save,
// with the real application, window, sounds (in real time) and timers.
//
//   bench_pad cpu         processor while the game waits for a click, 10 s each:
//                         before the pads are watched, watched with no pad, and
//                         with a (virtual) pad plugged in and left alone
//   bench_pad pace [N]    N whole games (2 by default) at the designed pace, then
//                         N at the quick one, each played by a scripted player who
//                         presses as soon as a press does something; prints the
//                         time from "Начать игру" to the winnings shown
#include "game_app.h"
#include "game_pad.h"
#include "game_window.h"
#include "media_files.h"
#include "sdl_library.h"
#include "sound_settings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <SDL.h>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

const QString kGameAssets = QStringLiteral(ZORBAN_SOURCE_DIR "/assets");

void wait(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

double processorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Percent of one core over the next seconds, the event loop running.
double processorPercent(int seconds) {
    const double before = processorSeconds();
    QElapsedTimer clock;
    clock.start();
    wait(seconds * 1000);
    return (processorSeconds() - before) * 100 / (static_cast<double>(clock.elapsed()) / 1000);
}

bool fillStartUpDirectory(const QString& directory) {
    const QDir root(directory);
    if (!root.mkpath(QStringLiteral("flashes")) || !root.mkpath(QStringLiteral("music")))
        return false;
    QStringList files = media::allMovies();
    files << media::allSounds();
    for (const QString& file : files) {
        if (!QFile::copy(QDir(kGameAssets).filePath(file), root.filePath(file)))
            return false;
    }
    return true;
}

bool click(QWidget* widget) {
    if (!widget || !widget->isVisible() || !widget->isEnabled())
        return false;
    QTest::mouseClick(widget, Qt::LeftButton);
    return true;
}

int measureProcessor(GameApp& app) {
    wait(3000);
    click(app.window()->controls().startButton);
    wait(4000);
    click(app.window()->controls().casePlates[21]);
    wait(3000);
    std::printf("processor waiting for a click, pads not watched: %.2f %% of a core\n",
                processorPercent(10));
    std::fflush(stdout);
    app.useGamePads();
    wait(2000);
    std::printf("processor waiting for a click, pads watched, none plugged in: %.2f %% of a "
                "core\n",
                processorPercent(10));
    std::fflush(stdout);
    {
        const std::lock_guard<std::recursive_mutex> setup(media::sdlSetupMutex());
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0)
            return 1;
    }
    const int index = SDL_JoystickAttachVirtual(
        SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
    for (int waited = 0; GamePad::connectedCount() == 0 && waited < 50; ++waited)
        wait(100);
    if (index < 0 || GamePad::connectedCount() == 0) {
        std::printf("the virtual pad was not taken as a game controller\n");
        return 1;
    }
    wait(1000);
    std::printf("processor waiting for a click, a pad plugged in: %.2f %% of a core\n",
                processorPercent(10));
    std::fflush(stdout);
    SDL_JoystickDetachVirtual(index);
    return 0;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[(values.size() - 1) / 2];
}

// Presses whatever does something now, every 10 ms; every offer is declined.
double playOneGame(GameApp& app) {
    QElapsedTimer clock;
    while (!click(app.window()->controls().startButton))
        wait(10);
    clock.start();
    for (;;) {
        GameWindow* w = app.window();
        switch (w->phase()) {
        case GameWindow::Phase::ChoosingOwnCase:
            if (!w->game().boardRevealed())
                break;
            [[fallthrough]];
        case GameWindow::Phase::WaitingForClick:
        case GameWindow::Phase::ExchangePick:
            for (int i = 0; i < game::kCaseCount; ++i) {
                if (w->game().canPress(i) && click(w->controls().casePlates[i]))
                    break;
            }
            break;
        case GameWindow::Phase::OfferShown:
            click(w->controls().declineButton);
            break;
        case GameWindow::Phase::GameOver: {
            const double seconds = static_cast<double>(clock.elapsed()) / 1000;
            click(w->controls().newGameButton);
            wait(500);
            return seconds;
        }
        default:
            break;
        }
        wait(10);
        if (clock.elapsed() > 600000)
            return -1;
    }
}

int measurePace(GameApp& app, int games) {
    wait(2000);
    for (const bool quick : {false, true}) {
        app.game().setQuickPace(quick);
        std::vector<double> seconds;
        for (int game = 0; game < games; ++game) {
            const double s = playOneGame(app);
            if (s < 0) {
                std::printf("a game got stuck\n");
                return 1;
            }
            seconds.push_back(s);
            std::printf("%s pace, game %d: %.1f s\n", quick ? "quick" : "designed", game + 1, s);
            std::fflush(stdout);
        }
        std::printf("%s pace: median %.1f s of %d games\n", quick ? "quick" : "designed",
                    median(seconds), games);
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList arguments = QApplication::arguments().mid(1);
    QTemporaryDir startUpDirectory;
    QTemporaryDir noAssets;
    if (!startUpDirectory.isValid() || !noAssets.isValid() ||
        !fillStartUpDirectory(startUpDirectory.path()) ||
        !QDir::setCurrent(startUpDirectory.path())) {
        std::fprintf(stderr, "bench_pad: cannot make the start-up directory\n");
        return 1;
    }
    media::setAssetDirectory(noAssets.path());
    GameApp app; // the real sound engine, its output opened after the first frame
    app.soundSettings().muteThisRun();
    app.start();
    if (arguments.value(0) == QStringLiteral("cpu"))
        return measureProcessor(app);
    if (arguments.value(0) == QStringLiteral("pace"))
        return measurePace(app, std::max(1, arguments.value(1, QStringLiteral("2")).toInt()));
    std::fprintf(stderr, "usage: bench_pad cpu | pace [games]\n");
    return 2;
}
