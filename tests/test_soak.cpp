// Two hundred whole games in one process, each in a window built anew by
// "Новая игра", with the real movie widgets, sounds that end at once and the
// window's timers running 100 times faster. A directed player chooses a case,
// opens the others and answers the offers with a seeded mix of "ДА" and "НЕТ".
// The memory the process holds must not grow from game 10 to game 200.
#include "game_harness.h"
#include "game_watch.h"
#include "timings.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QtTest>
#include <random>
#include <unistd.h>

namespace {

constexpr int kSpeedUp = 100;
constexpr int kGames = 200;
constexpr int kBaselineGame = 10;
constexpr double kMaxGrowth = 1.10;
constexpr qint64 kLongestGameMs = 10000;

// Resident set size in kibibytes.
qint64 residentKiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) / 1024 : -1;
}

} // namespace

class TestSoak final : public QObject {
    Q_OBJECT

  private slots:
    void init() { timings::setSpeedUp(kSpeedUp); }
    void cleanup() { timings::setSpeedUp(1); }
    void twoHundredGamesKeepTheirMemory();
};

void TestSoak::twoHundredGamesKeepTheirMemory() {
    std::mt19937 rng(20240601);
    auto below = [&rng](int n) { return static_cast<int>(rng() % static_cast<quint32>(n)); };
    auto clock = [engine = std::mt19937(7)]() mutable {
        return static_cast<int>(engine() % 86400);
    };
    QString clipFailure; // the first thing found broken at the end of a clip
    GameHarness h(std::make_unique<game::TimeSeededRandom>(clock));
    GameWatch watch(h);
    QVERIFY(watch.check().isEmpty());
    QElapsedTimer elapsed;
    elapsed.start();
    qint64 baseline = 0;
    qint64 baselineMs = 0;

    for (int game = 1; game <= kGames; ++game) {
        GameWindow* w = h.w();
        // Clips end at once or within a millisecond, from the event loop; a slice
        // of it can end several, so the game is looked at after each.
        h.sound()->setAutoEnd(below(2));
        QObject::connect(h.sound(), &SoundPlayer::clipEnded, h.sound(), [&] {
            if (clipFailure.isEmpty())
                clipFailure = watch.check();
        });
        QVERIFY(GameHarness::click(w->controls().startButton));
        QString broken = watch.check(w->controls().startButton);
        QVERIFY2(broken.isEmpty(), qPrintable(QStringLiteral("game %1: %2").arg(game).arg(broken)));

        QElapsedTimer gameClock;
        gameClock.start();
        while (w->phase() != GameWindow::Phase::GameOver) {
            QVERIFY2(gameClock.elapsed() < kLongestGameMs,
                     qPrintable(QStringLiteral("game %1 stuck in phase %2 at %3 cases")
                                    .arg(game)
                                    .arg(static_cast<int>(w->phase()))
                                    .arg(h.app->state().openedCount)));
            QWidget* clicked = directedPlayersChoice(w, below);
            if (clicked)
                QVERIFY(GameHarness::click(clicked));
            else
                GameHarness::runEventLoop(1);
            broken = clipFailure.isEmpty() ? watch.check(clicked) : clipFailure;
            QVERIFY2(broken.isEmpty(),
                     qPrintable(QStringLiteral("game %1: %2").arg(game).arg(broken)));
        }
        QWidget* newGame = w->controls().newGameButton;
        QVERIFY(GameHarness::click(newGame));
        broken = watch.check(newGame);
        QVERIFY2(broken.isEmpty(), qPrintable(QStringLiteral("game %1: %2").arg(game).arg(broken)));
        GameHarness::runEventLoop(0);
        QCOMPARE(h.w(), w);

        if (game == kBaselineGame) {
            baseline = residentKiB();
            baselineMs = elapsed.elapsed();
        }
    }
    const qint64 last = residentKiB();
    const GameWatch::Counts& counts = watch.counts();
    qInfo("%d games in %lld ms (%lld ms for the first %d); %d offers: %d accepted, %d exchanges, "
          "%d declined",
          counts.games, elapsed.elapsed(), baselineMs, kBaselineGame, counts.offers,
          counts.accepted, counts.exchanges, counts.declined);
    qInfo("resident set after game %d: %lld KiB, after game %d: %lld KiB (%.3f)", kBaselineGame,
          baseline, kGames, last, static_cast<double>(last) / static_cast<double>(baseline));
    QCOMPARE(counts.games, kGames);
    QVERIFY(baseline > 0);
    QVERIFY2(static_cast<double>(last) <= kMaxGrowth * static_cast<double>(baseline),
             "the resident set grew by more than 10 %");
}

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
