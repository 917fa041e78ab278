// Ten thousand clip changes through the sound engine (silent output) at random
// moments 0 to 60 ms apart: clips that play once, loops, loops told to play
// once more, replacements, stops, restarts and broken files, while a second
// player loops music throughout. Every clip that should end ends once, in
// order, never before its length has passed; no other clip ends. How late the
// ends come depends on the machine's load: the soak prints it (tools/bench.sh
// reports it) and bounds it nowhere. ZORBAN_SOUND_SOAK_CHANGES=n runs n changes.
#include "sound_engine.h"
#include "wav_tone.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>

namespace {

const int kChanges = qEnvironmentVariableIntValue("ZORBAN_SOUND_SOAK_CHANGES") > 0
                         ? qEnvironmentVariableIntValue("ZORBAN_SOUND_SOAK_CHANGES")
                         : 10000;
constexpr int kLongestPauseMs = 60;
// An end this close to a replacement may fall on either side of it, beyond
// how late the run's ends come.
constexpr double kUndecidedMs = 15;

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Clip {
    QString path;
    double lengthMs = 0; // 0: broken, ends at once
};

// One clip as the soak set it.
struct Played {
    int clip = 0;
    bool loop = false;
    Clock::time_point started;
    // While it looped, when it was told to play once more and where its last pass ends.
    double lastPassEndsMs = -1;
    double endedAfterMs = -1;
    double replacedAfterMs = -1;
    bool stopped = false;
    // What was done to it, for the report when something is wrong.
    QString story;
};

} // namespace

class TestSoundSoak final : public QObject {
    Q_OBJECT

  private slots:
    void tenThousandClipChanges();
};

void TestSoundSoak::tenThousandClipChanges() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QList<Clip> clips;
    for (int ms : {8, 20, 35, 50, 90}) {
        const QString path = dir.filePath(QStringLiteral("tone-%1.wav").arg(ms));
        QVERIFY(writeTone(path, ms));
        clips.append({path, double(ms)});
    }
    clips.append({QStringLiteral(ZORBAN_TEST_DATA "/blip-40ms.mp3"), 40});
    const QString empty = dir.filePath(QStringLiteral("empty.mp3"));
    const QString text = dir.filePath(QStringLiteral("text.mp3"));
    QFile(empty).open(QIODevice::WriteOnly);
    QFile textFile(text);
    QVERIFY(textFile.open(QIODevice::WriteOnly) && textFile.write("not a sound\n") > 0);
    textFile.close();
    const int firstBroken = int(clips.size());
    clips.append({dir.filePath(QStringLiteral("missing.mp3")), 0});
    clips.append({empty, 0});
    clips.append({text, 0});
    for (const Clip& clip : std::as_const(clips)) {
        if (clip.lengthMs == 0)
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression("^zorban: sound file .*" +
                                                    QRegularExpression::escape(clip.path)));
    }

    media::SoundEngine engine(media::SoundEngine::Output::Silent);
    QStringList paths;
    for (const Clip& clip : std::as_const(clips))
        paths << clip.path;
    engine.preload(paths);
    {
        // Every clip once before the soak, so that the output is open and every
        // file decoded: how long that takes is start-up, not what is soaked here.
        auto warmUp = engine.createPlayer();
        for (const Clip& clip : std::as_const(clips)) {
            QSignalSpy ended(warmUp.get(), &SoundPlayer::clipEnded);
            warmUp->start(clip.path);
            QVERIFY2(ended.count() > 0 || ended.wait(5000), qPrintable(clip.path));
        }
    }
    auto music = engine.createPlayer();
    QSignalSpy musicEnded(music.get(), &SoundPlayer::clipEnded);
    music->start(clips[4].path);
    music->setLooping(true);

    auto sound = engine.createPlayer();
    std::vector<Played> played;
    QString failure;
    auto fail = [&failure](const QString& what) {
        if (failure.isEmpty())
            failure = what;
    };
    QObject::connect(sound.get(), &SoundPlayer::clipEnded, [&] {
        Played& current = played.back();
        if (current.endedAfterMs >= 0)
            fail(QStringLiteral("clip %1 ended twice").arg(played.size()));
        current.endedAfterMs = msSince(current.started);
        current.story += QStringLiteral(" ended@%1").arg(current.endedAfterMs, 0, 'f', 1);
        if (sound->position() != sound->length())
            fail(QStringLiteral("clip %1 reported its end but fails the end test")
                     .arg(played.size()));
    });

    int count = 1;
    std::mt19937 random(20261207);
    auto below = [&random](int n) { return int(random() % unsigned(n)); };
    QElapsedTimer total;
    total.start();
    while (int(played.size()) < kChanges && failure.isEmpty()) {
        const int roll = below(100);
        if (!played.empty() && roll < 8) {
            // Told to play once more: a loop ends with its pass under way.
            Played& current = played.back();
            if (current.loop && !current.stopped && current.lastPassEndsMs < 0 &&
                sound->length() > 0) {
                const double length = sound->length();
                const double elapsed = msSince(current.started);
                current.lastPassEndsMs = (std::floor(elapsed / length) + 1) * length;
            }
            sound->setLooping(false);
            count = 1;
            played.back().story +=
                QStringLiteral(" once@%1").arg(msSince(played.back().started), 0, 'f', 1);
        } else if (!played.empty() && roll < 12 && !played.back().stopped) {
            sound->stop();
            played.back().story +=
                QStringLiteral(" stop@%1").arg(msSince(played.back().started), 0, 'f', 1);
            played.back().stopped = true;
            played.back().replacedAfterMs = msSince(played.back().started);
        } else if (!played.empty() && roll < 16) {
            // Only a clip that stands still starts again.
            Played& current = played.back();
            if (current.stopped || current.endedAfterMs >= 0) {
                if (current.replacedAfterMs < 0)
                    current.replacedAfterMs = msSince(current.started);
                Played again;
                again.clip = current.clip;
                again.loop = count == 0;
                again.started = Clock::now();
                played.push_back(again);
            }
            played.back().story +=
                QStringLiteral(" play@%1").arg(msSince(played.back().started), 0, 'f', 1);
            sound->resume();
        } else {
            if (!played.empty() && played.back().replacedAfterMs < 0)
                played.back().replacedAfterMs = msSince(played.back().started);
            Played next;
            next.clip = below(100) < 12 ? firstBroken + below(3) : below(firstBroken);
            next.loop = below(100) < 15;
            next.started = Clock::now();
            played.push_back(next);
            sound->start(clips[next.clip].path);
            count = next.loop ? 0 : 1;
            sound->setLooping(count == 0);
        }
        QEventLoop pause;
        QTimer::singleShot(below(kLongestPauseMs + 1), Qt::PreciseTimer, &pause, &QEventLoop::quit);
        pause.exec();

        const double position = sound->position();
        if (position < 0 || position > sound->length())
            fail(QStringLiteral("position %1 outside 0..%2").arg(position).arg(sound->length()));
    }
    // The last clip's fate is settled.
    QTest::qWait(200);
    played.back().replacedAfterMs = msSince(played.back().started);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    // A clip replaced this long after its end was due should have ended: the
    // latest end seen in this run, so that a loaded machine only widens it.
    double latestEnd = 0;
    for (const Played& p : played) {
        const Clip& clip = clips[p.clip];
        if (p.endedAfterMs >= 0 && !p.loop && clip.lengthMs > 0)
            latestEnd = std::max(latestEnd, p.endedAfterMs - clip.lengthMs);
    }
    const double undecidedMs = kUndecidedMs + latestEnd;

    int ended = 0;
    std::vector<double> lateness;
    for (size_t i = 0; i < played.size(); ++i) {
        const Played& p = played[i];
        const Clip& clip = clips[p.clip];
        const QString name = QStringLiteral("clip %1 (%2, %3:%4)")
                                 .arg(i + 1)
                                 .arg(QFileInfo(clip.path).fileName())
                                 .arg(p.loop ? "loop" : "once")
                                 .arg(p.story);
        // Where its end falls by the clock, or never.
        double due = -1;
        if (clip.lengthMs == 0)
            due = 0;
        else if (!p.loop)
            due = clip.lengthMs;
        else if (p.lastPassEndsMs >= 0)
            due = p.lastPassEndsMs;
        if (p.endedAfterMs >= 0) {
            ++ended;
            QVERIFY2(due >= 0, qPrintable(name + " ended though it loops"));
            QVERIFY2(
                p.endedAfterMs >= due - 0.001,
                qPrintable(name + QStringLiteral(" ended early, after %1 ms").arg(p.endedAfterMs)));
            QVERIFY2(p.endedAfterMs <= p.replacedAfterMs + 0.001,
                     qPrintable(name +
                                QStringLiteral(" ended after it was replaced at %1; next: %2")
                                    .arg(p.replacedAfterMs)
                                    .arg(i + 1 < played.size() ? played[i + 1].story : QString())));
            lateness.push_back(p.endedAfterMs - due);
        } else if (due >= 0) {
            QVERIFY2(p.replacedAfterMs < due + undecidedMs,
                     qPrintable(name + QStringLiteral(" never ended; due after %1 ms, replaced "
                                                      "after %2 ms")
                                           .arg(due)
                                           .arg(p.replacedAfterMs)));
        }
    }
    QCOMPARE(musicEnded.count(), 0);
    QVERIFY(ended > kChanges / 10);
    std::sort(lateness.begin(), lateness.end());
    auto percentile = [&lateness](double share) {
        return lateness[std::min(lateness.size() - 1, size_t(share * double(lateness.size())))];
    };
    qInfo("%d clip changes in %.1f s; %d clips ended", int(played.size()), total.elapsed() / 1000.0,
          ended);
    qInfo("clip ends after their due time: %.2f ms median, %.2f ms p99, %.2f ms max",
          percentile(0.5), percentile(0.99), lateness.back());
    qInfo("longest call into the sound engine: %.3f ms",
          std::chrono::duration<double, std::milli>(engine.longestCall()).count());
}

int main(int argc, char* argv[]) {
    // Five minutes of changes outlast Qt Test's own limit for one test function.
    qputenv("QTEST_FUNCTION_TIMEOUT", "900000");
    QCoreApplication app(argc, argv);
    TestSoundSoak test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_sound_soak.moc"
