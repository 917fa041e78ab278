// Benchmark, not a test: many whole games in one process with the real sound
// engine and the real window, each game after the first started by "Новая игра".
// Every sound is a 40 ms clip and the window's timers run faster, so a game
// takes about a second; the clips still play on the engine's output and end by
// themselves. A scripted player chooses a case once the board is revealed,
// opens the others and answers the offers with a seeded mix of "ДА" and "НЕТ".
// Prints the figures; exits with 1 when a game gets stuck (and says where).
//
//   bench_games [games] [--speed-up N]
//
// games: 200 by default; N: how many times faster the window's timers run (50).
//
// Printed, one figure a line:
//   rss kB after start: the window shown and the event loop settled for 1 s
//   rss kB after game K (K = 1, 10, every 50th and the last): the next game
//     shown, settled 1 s; with each, the heap malloc reports in use, to tell
//     memory held from memory the allocator keeps
//   game ms: median and longest time from "Начать игру" to the winnings shown,
//     also the median since the figures before
//   longest call into the sound engine: the engine's own record of the window's
//     thread, over all games; then every call the window made, timed from
//     outside: how many, how many over 1 ms, and of the longest, how much was
//     spent on the processor and whether the thread waited or was preempted
//   movie frames held with every movie played once: after the last game, every
//     movie of the window plays to its end; the frames its animations then hold
//   decoded game sounds: what the engine holds once the game's real sound
//     files are decoded (played muted after the last game)

#include "banker.h"
#include "game_app.h"
#include "game_harness.h"
#include "game_window.h"
#include "media_files.h"
#include "movie_animation.h"
#include "movie_widget.h"
#include "offer_format.h"
#include "sound_engine.h"
#include "sound_player.h"
#include "timings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <malloc.h>
#include <memory>
#include <random>
#include <sys/resource.h>
#include <vector>

namespace {

const QString kShortClip = QStringLiteral(ZORBAN_SOURCE_DIR "/tests/data/blip-40ms.mp3");
const QString kGameAssets = QStringLiteral(ZORBAN_SOURCE_DIR "/assets");

constexpr int kDefaultGames = 200;
constexpr int kDefaultSpeedUp = 50;
constexpr int kSettleMs = 1000;
constexpr int kPlayerStepMs = 2;
constexpr qint64 kStuckAfterMs = 60000;
constexpr qint64 kDecodeTimeoutMs = 60000;
constexpr qint64 kMoviesTimeoutMs = 30000;
// The engine's output: 44.1 kHz, 16-bit mono.
constexpr double kDecodedBytesPerMs = 44100.0 * 2 / 1000;

// VmRSS of this process in kB, or -1.
qint64 residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    // Files under /proc have no size: read whole, not line by line up to atEnd().
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Bytes malloc has handed out and not had back, in kB.
long long heapInUseKiB() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>((info.uordblks + info.hblkhd) / 1024);
}

// Where the calling thread stands: its processor time and how often the kernel
// has switched away from it, because it waited (voluntary) or was preempted.
struct ThreadCounters {
    double processorMs = 0;
    long waits = 0;
    long preemptions = 0;

    static ThreadCounters now() {
        ThreadCounters counters;
        timespec processor{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &processor);
        counters.processorMs = static_cast<double>(processor.tv_sec) * 1e3 +
                               static_cast<double>(processor.tv_nsec) / 1e6;
        rusage usage{};
        getrusage(RUSAGE_THREAD, &usage);
        counters.waits = usage.ru_nvcsw;
        counters.preemptions = usage.ru_nivcsw;
        return counters;
    }
};

// The calls the window's thread made into its sound players.
struct SoundCalls {
    long long count = 0;
    long long overOneMs = 0;
    double longestMs = 0;
    // Of the longest call: the time the thread ran, and how often it was switched away.
    double longestProcessorMs = 0;
    long longestWaits = 0;
    long longestPreemptions = 0;
};

// Times one call from construction to destruction.
class CallTiming {
  public:
    explicit CallTiming(SoundCalls& calls)
        : calls_(calls), start_(std::chrono::steady_clock::now()), before_(ThreadCounters::now()) {}
    ~CallTiming() {
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_)
                .count();
        ++calls_.count;
        if (ms > 1)
            ++calls_.overOneMs;
        if (ms > calls_.longestMs) {
            calls_.longestMs = ms;
            const ThreadCounters after = ThreadCounters::now();
            calls_.longestProcessorMs = after.processorMs - before_.processorMs;
            calls_.longestWaits = after.waits - before_.waits;
            calls_.longestPreemptions = after.preemptions - before_.preemptions;
        }
    }
    CallTiming(const CallTiming&) = delete;
    CallTiming& operator=(const CallTiming&) = delete;

  private:
    SoundCalls& calls_;
    std::chrono::steady_clock::time_point start_;
    ThreadCounters before_;
};

// A player of the sound engine whose every call is timed.
class TimedSoundPlayer final : public SoundPlayer {
  public:
    TimedSoundPlayer(std::unique_ptr<SoundPlayer> real, SoundCalls* calls)
        : real_(std::move(real)), calls_(calls) {
        connect(real_.get(), &SoundPlayer::clipEnded, this, &SoundPlayer::clipEnded);
    }
    void start(const QString& path) override {
        const CallTiming timing(*calls_);
        real_->start(path);
    }
    [[nodiscard]] QString file() const override { return real_->file(); }
    void setLooping(bool looping) override {
        const CallTiming timing(*calls_);
        real_->setLooping(looping);
    }
    [[nodiscard]] bool isLooping() const override { return real_->isLooping(); }
    [[nodiscard]] double position() const override {
        const CallTiming timing(*calls_);
        return real_->position();
    }
    [[nodiscard]] double length() const override {
        const CallTiming timing(*calls_);
        return real_->length();
    }
    void resume() override {
        const CallTiming timing(*calls_);
        real_->resume();
    }
    void stop() override {
        const CallTiming timing(*calls_);
        real_->stop();
    }

  private:
    std::unique_ptr<SoundPlayer> real_;
    SoundCalls* calls_;
};

bool copyFile(const QString& from, const QString& to) {
    QFile::remove(to);
    return QFile::copy(from, to);
}

// The start-up directory of the games: the game's real movies, and the short
// clip under the name of every sound.
bool fillStartUpDirectory(const QString& directory) {
    const QDir root(directory);
    if (!root.mkpath(QStringLiteral("flashes")) || !root.mkpath(QStringLiteral("music")))
        return false;
    for (const QString& movie : media::allMovies()) {
        if (!copyFile(QDir(kGameAssets).filePath(movie), root.filePath(movie)))
            return false;
    }
    for (const QString& sound : media::allSounds()) {
        if (!copyFile(kShortClip, root.filePath(sound)))
            return false;
    }
    return true;
}

const char* phaseName(GameWindow::Phase phase) {
    switch (phase) {
    case GameWindow::Phase::Loaded:
        return "before the start";
    case GameWindow::Phase::ChoosingOwnCase:
        return "choosing the own case";
    case GameWindow::Phase::WaitingForClick:
        return "waiting for a case";
    case GameWindow::Phase::Suspense:
        return "suspense before an opening";
    case GameWindow::Phase::OfferPending:
        return "before an offer";
    case GameWindow::Phase::OfferShown:
        return "offer shown";
    case GameWindow::Phase::ExchangePick:
        return "picking the case to exchange";
    case GameWindow::Phase::EndOfGame:
        return "opening the own case";
    case GameWindow::Phase::GameOver:
        return "winnings shown";
    }
    return "unknown";
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[(values.size() - 1) / 2];
}

// Plays the games, one step every few milliseconds from the application's own
// event loop, and prints the figures as they come.
class ScriptedPlayer final : public QObject {
  public:
    ScriptedPlayer(GameApp& app, media::SoundEngine& engine, const SoundCalls& calls, int games)
        : app_(app), engine_(engine), calls_(calls), games_(games) {
        steps_.setTimerType(Qt::PreciseTimer);
        steps_.setInterval(kPlayerStepMs);
        connect(&steps_, &QTimer::timeout, this, &ScriptedPlayer::step);
    }

    void begin() {
        startRss_ = residentKiB();
        std::printf("rss kB after start: %lld\n", static_cast<long long>(startRss_));
        std::printf("heap kB in use after start: %lld\n", heapInUseKiB());
        std::fflush(stdout);
        gameClock_.start();
        steps_.start();
    }

    [[nodiscard]] int exitCode() const { return exitCode_; }

  private:
    int below(int n) { return static_cast<int>(choices_() % static_cast<quint32>(n)); }

    void step() {
        GameWindow* w = app_.window();
        if (gameClock_.elapsed() > kStuckAfterMs) {
            const game::GameState& s = app_.state();
            std::printf("game %d stuck for %lld s: %s, %s\n", game_ + 1,
                        static_cast<long long>(kStuckAfterMs / 1000),
                        w ? phaseName(w->phase()) : "no window",
                        s.ownCase < 0
                            ? "no own case yet"
                            : qPrintable(QStringLiteral("%1 cases opened").arg(s.openedCount)));
            finish(1);
            return;
        }
        if (!w)
            return;
        if (!inGame_) {
            if (GameHarness::click(w->controls().startButton)) {
                inGame_ = true;
                gameClock_.start();
            }
            return;
        }
        if (w->phase() == GameWindow::Phase::GameOver)
            endGame(w);
        else
            static_cast<void>(
                GameHarness::click(directedPlayersChoice(w, [this](int n) { return below(n); })));
    }

    void endGame(GameWindow* w) {
        if (!w->controls().newGameButton->isVisible() || !w->controls().newGameButton->isEnabled())
            return;
        const double gameMs = gameClock_.nsecsElapsed() / 1e6;
        static_cast<void>(GameHarness::click(w->controls().newGameButton));
        gameClock_.start();
        gameMs_.push_back(gameMs);
        inGame_ = false;
        ++game_;
        if (game_ == 1 || game_ == 10 || game_ % 50 == 0 || game_ == games_) {
            steps_.stop();
            QTimer::singleShot(kSettleMs, this, [this] {
                std::printf("rss kB after game %d: %lld\n", game_,
                            static_cast<long long>(residentKiB()));
                std::printf("heap kB in use after game %d: %lld\n", game_, heapInUseKiB());
                const std::vector<double> sinceLast(gameMs_.begin() + lastCheckpoint_,
                                                    gameMs_.end());
                std::printf("game ms, games %d to %d: median %.0f\n", lastCheckpoint_ + 1, game_,
                            median(sinceLast));
                lastCheckpoint_ = game_;
                std::fflush(stdout);
                if (game_ == games_)
                    printGames();
                else
                    steps_.start();
            });
        }
    }

    void printGames() {
        const double longest = *std::max_element(gameMs_.begin(), gameMs_.end());
        double total = 0;
        for (double ms : gameMs_)
            total += ms;
        std::printf("games: %d, game ms: median %.0f, max %.0f, total %.1f s\n", game_,
                    median(gameMs_), longest, total / 1000);
        std::printf("longest call into the sound engine: %.3f ms\n",
                    static_cast<double>(engine_.longestCall().count()) / 1e6);
        std::printf("calls into the sound engine timed from the window: %lld, over 1 ms: %lld, "
                    "longest %.3f ms (%.3f ms of it on the processor; the thread waited %ld "
                    "times and was preempted %ld times)\n",
                    calls_.count, calls_.overOneMs, calls_.longestMs, calls_.longestProcessorMs,
                    calls_.longestWaits, calls_.longestPreemptions);
        std::fflush(stdout);
        playEveryMovie();
    }

    // Shows every movie of the window and plays it once to its end, so that each
    // animation holds all its rendered frames, as after a whole game at real speed.
    void playEveryMovie() {
        GameWindow* w = app_.window();
        const qint64 rssBefore = residentKiB();
        std::vector<MovieWidget*> movies(w->controls().boardPlates.begin(),
                                         w->controls().boardPlates.end());
        movies.insert(movies.end(), w->controls().caseLids.begin(), w->controls().caseLids.end());
        movies.insert(movies.end(), w->controls().historyPlates.begin(),
                      w->controls().historyPlates.end());
        movies.push_back(w->controls().offerPanel);
        movies.push_back(w->controls().winningsPanel);
        for (MovieWidget* movie : movies) {
            movie->show();
            movie->setLoop(false);
            movie->jumpToFrame(0);
            movie->play();
        }
        QElapsedTimer clock;
        clock.start();
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [this, poll, movies, rssBefore, clock] {
            const bool playing = std::any_of(movies.begin(), movies.end(),
                                             [](MovieWidget* m) { return m->isPlaying(); });
            if (playing && clock.elapsed() < kMoviesTimeoutMs)
                return;
            poll->stop();
            const MovieCacheStatistics cache = MovieAnimation::statistics();
            std::printf("movie frames held with every movie played once: %d frames of %d "
                        "animations, %lld kB%s; rss %lld kB before, %lld kB after\n",
                        cache.cachedFrames, cache.animations,
                        static_cast<long long>(cache.cachedBytes / 1024),
                        playing ? " (some still playing)" : "", static_cast<long long>(rssBefore),
                        static_cast<long long>(residentKiB()));
            std::fflush(stdout);
            decodeGameSounds();
        });
        poll->start(10);
    }

    // Plays every one of the game's real sound files, muted, on a player of its
    // own, and adds up the decoded lengths once all are known.
    void decodeGameSounds() {
        engine_.setMuted(true);
        for (const QString& sound : media::allSounds()) {
            soundFiles_.push_back(sound);
            decoders_.push_back(engine_.createPlayer());
            decoders_.back()->start(QDir(kGameAssets).filePath(sound));
        }
        decodeClock_.start();
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [this, poll] {
            const bool allKnown =
                std::all_of(decoders_.begin(), decoders_.end(),
                            [](const std::unique_ptr<SoundPlayer>& p) { return p->length() > 0; });
            if (!allKnown && decodeClock_.elapsed() < kDecodeTimeoutMs)
                return;
            poll->stop();
            printDecodedSounds(allKnown);
            finish(0);
        });
        poll->start(10);
    }

    void printDecodedSounds(bool allKnown) {
        if (!allKnown) {
            std::printf("decoded game sounds: not all decoded within %lld s\n",
                        static_cast<long long>(kDecodeTimeoutMs / 1000));
            return;
        }
        int gameFiles = 0;
        double gameMs = 0;
        double creditsMs = 0;
        for (size_t i = 0; i < decoders_.size(); ++i) {
            if (soundFiles_[i] == media::soundFile(media::Sound::Credits)) {
                creditsMs += decoders_[i]->length();
            } else {
                ++gameFiles;
                gameMs += decoders_[i]->length();
            }
            decoders_[i]->stop();
        }
        std::printf("decoded game sounds: %d files, %.1f s, %.0f kB; the credits' music %.1f s, "
                    "%.0f kB more\n",
                    gameFiles, gameMs / 1000, gameMs * kDecodedBytesPerMs / 1024, creditsMs / 1000,
                    creditsMs * kDecodedBytesPerMs / 1024);
    }

    void finish(int code) {
        steps_.stop();
        exitCode_ = code;
        std::fflush(stdout);
        QCoreApplication::exit(code);
    }

    GameApp& app_;
    media::SoundEngine& engine_;
    const SoundCalls& calls_;
    const int games_;
    QTimer steps_;
    std::mt19937 choices_{20240601};
    bool inGame_ = false;
    int game_ = 0; // games played to their end
    QElapsedTimer gameClock_;
    std::vector<double> gameMs_;
    int lastCheckpoint_ = 0; // the game after which figures were last printed
    qint64 startRss_ = 0;
    int exitCode_ = 0;
    QStringList soundFiles_;
    std::vector<std::unique_ptr<SoundPlayer>> decoders_;
    QElapsedTimer decodeClock_;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QStringList arguments = QApplication::arguments().mid(1);
    int speedUp = kDefaultSpeedUp;
    const int speedUpAt = static_cast<int>(arguments.indexOf(QStringLiteral("--speed-up")));
    if (speedUpAt >= 0) {
        speedUp = std::max(1, arguments.value(speedUpAt + 1).toInt());
        arguments.remove(speedUpAt, 2);
    }
    const int games = std::max(1, arguments.value(0, QString::number(kDefaultGames)).toInt());

    QTemporaryDir startUpDirectory;
    QTemporaryDir noAssets; // nothing falls back on the game's own copies
    if (!startUpDirectory.isValid() || !noAssets.isValid() ||
        !fillStartUpDirectory(startUpDirectory.path()) ||
        !QDir::setCurrent(startUpDirectory.path())) {
        std::fprintf(stderr, "bench_games: cannot make the start-up directory\n");
        return 1;
    }
    media::setAssetDirectory(noAssets.path());
    timings::setSpeedUp(speedUp);

    // The window's random source reseeds from this clock at every game.
    auto secondsSinceMidnight = [engine = std::mt19937(7)]() mutable {
        return static_cast<int>(engine() % 86400);
    };
    // The engine and its preload as the game's own application sets them up, with
    // every player timed.
    media::SoundEngine engine(media::SoundEngine::Output::Device);
    QStringList windowSounds;
    for (const QString& sound : media::allSounds()) {
        if (sound != media::soundFile(media::Sound::Credits))
            windowSounds << media::locate(QDir::currentPath(), sound);
    }
    SoundCalls calls;
    {
        const CallTiming timing(calls);
        engine.preload(windowSounds);
    }
    GameApp app(
        [&engine, &calls] {
            return std::make_unique<TimedSoundPlayer>(engine.createPlayer(), &calls);
        },
        std::make_unique<game::TimeSeededRandom>(secondsSinceMidnight));
    std::printf("platform: %s\ntimers: %d times faster\n",
                qPrintable(QGuiApplication::platformName()), speedUp);
    std::fflush(stdout);
    app.start();
    ScriptedPlayer player(app, engine, calls, games);
    QTimer::singleShot(kSettleMs, &player, [&player] { player.begin(); });
    QApplication::exec();
    return player.exitCode();
}
