// The players of the sound engine with real short files, on the silent output
// (the same timing as a sound device). Clips end by the game's clock from their
// decoded length.
#include "sound_decoder.h"
#include "sound_engine.h"
#include "wav_tone.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kClip = QStringLiteral(ZORBAN_TEST_DATA "/click-700ms.mp3");
const QString kBlip = QStringLiteral(ZORBAN_TEST_DATA "/blip-40ms.mp3");
constexpr int kClipMs = 700;
// How late an end may be reported on a busy machine (or under a sanitizer).
constexpr int kLatenessMs = 250;
constexpr int kEndWaitMs = kClipMs + 2000;

// A clip that plays once has ended: its position stays at its length.
bool standsAtItsEnd(const SoundPlayer& sound) {
    return sound.position() > 0 && sound.position() == sound.length();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

constexpr const char* kChild = "ZORBAN_SOUND_TEST_CHILD";

// Runs the current test function alone in a child process (with the given
// environment added); the output when it did not pass, else empty.
QByteArray failureInChild(const QList<QPair<QString, QString>>& environment = {}) {
    QProcess child;
    QProcessEnvironment childEnvironment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : environment)
        childEnvironment.insert(name, value);
    childEnvironment.insert(QString::fromLatin1(kChild), QStringLiteral("1"));
    child.setProcessEnvironment(childEnvironment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QString::fromLatin1(QTest::currentTestFunction())});
    const bool finished = child.waitForFinished(60000);
    const QByteArray output = child.readAll();
    const bool passed =
        finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 &&
        output.contains(QByteArray("PASS   : TestSoundPlayer::") + QTest::currentTestFunction());
    return passed ? QByteArray() : output + "\n(no pass from the child)";
}

// The most memory this process has held at once (VmHWM).
qint64 peakBytes() {
    const QByteArray status = readFile(QStringLiteral("/proc/self/status"));
    const qsizetype at = status.indexOf("VmHWM:");
    if (at < 0)
        return -1;
    return status.mid(at + 6, status.indexOf('\n', at) - at - 6)
               .trimmed()
               .split(' ')[0]
               .toLongLong() *
           1024;
}

} // namespace

class TestSoundPlayer : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void clipThatPlaysOnceEndsAtItsDecodedLength();
    void loopingClipGoesOnUntilPlayedOnce();
    void replacedClipIsNotEnded_data();
    void replacedClipIsNotEnded();
    void unplayableFileEndsAtOnce_data();
    void unplayableFileEndsAtOnce();
    void cutShortFilePlaysWhatItHas();
    void resumeStartsOnlyAClipThatStandsStill();
    void stoppedClipDoesNotEnd();
    void playersSoundTogether();
    void changedFileIsDecodedAgain();
    void withoutDeviceTheTimingStays();
    void allSoundsTogetherStayBounded();

  private:
    [[nodiscard]] QString tempFile(const QString& name) const { return m_dir.filePath(name); }
    [[nodiscard]] std::unique_ptr<SoundPlayer> player() const { return m_engine->createPlayer(); }

    QTemporaryDir m_dir;
    std::unique_ptr<media::SoundEngine> m_engine;
};

// Long sounds under every name: what all of them take together stays bounded;
// the sound that would pass the bound is not kept, is said, and ends at once.
// Last, as the sounds kept here stay with the engine.
void TestSoundPlayer::allSoundsTogetherStayBounded() {
    // In a process of its own, whose peak memory is this test's alone.
    if (!qEnvironmentVariableIsSet(kChild)) {
        const QByteArray failure = failureInChild();
        QVERIFY2(failure.isEmpty(), failure.constData());
        return;
    }
    constexpr int kLongMs = 9 * 60 * 1000; // 48 MB each once decoded
    const int keptWhole = int(media::kAllSoundsBytes / (qint64(kLongMs) * 441 / 10 * 2));
    QStringList paths;
    for (int n = 0; n <= keptWhole; ++n) {
        paths << tempFile(QStringLiteral("long-%1.wav").arg(n));
        QVERIFY(writeTone(paths.last(), kLongMs));
    }
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^zorban: sound file cannot be played: "
                                                           ".*long-%1.wav \\(not kept: ")
                                                .arg(keptWhole)));
    media::SoundEngine engine(media::SoundEngine::Output::Silent);
    const qint64 peakBefore = peakBytes();
    QVERIFY(peakBefore > 0);
    std::vector<std::unique_ptr<SoundPlayer>> players;
    std::vector<std::unique_ptr<QSignalSpy>> ended;
    for (const QString& path : paths) {
        players.push_back(engine.createPlayer());
        ended.push_back(
            std::make_unique<QSignalSpy>(players.back().get(), &SoundPlayer::clipEnded));
        players.back()->start(path);
    }
    QTRY_COMPARE_WITH_TIMEOUT(ended.back()->count(), 1, 20000);
    for (int n = 0; n < keptWhole; ++n)
        QCOMPARE(ended[size_t(n)]->count(), 0);
    // The sound that would not fit was never decoded: at no time did the
    // sounds take more than they may.
    const qint64 grown = peakBytes() - peakBefore;
    QVERIFY2(grown < media::kAllSoundsBytes, qPrintable(QString::number(grown >> 20)));
    for (auto& sound : players)
        sound->stop();
    for (const QString& path : paths)
        QFile::remove(path);
}

void TestSoundPlayer::initTestCase() {
    QVERIFY2(QFileInfo::exists(kClip), qPrintable(kClip));
    QVERIFY(m_dir.isValid());
    if (!qEnvironmentVariableIsSet(kChild))
        m_engine = std::make_unique<media::SoundEngine>(media::SoundEngine::Output::Silent);

    QRandomGenerator random(42);
    QByteArray noise(20000, Qt::Uninitialized);
    for (char& byte : noise)
        byte = static_cast<char>(random.bounded(256));
    QVERIFY(writeFile(tempFile(QStringLiteral("noise.mp3")), noise));
    QVERIFY(writeFile(tempFile(QStringLiteral("noise-2.mp3")), noise));
    // Noise behind a container's header, which only a decoder can find unplayable.
    QVERIFY(writeFile(tempFile(QStringLiteral("headed-noise.mp3")), "RIFF" + noise));
    QVERIFY(writeFile(tempFile(QStringLiteral("empty.mp3")), QByteArray()));
    QVERIFY(writeFile(tempFile(QStringLiteral("text.mp3")), "not a sound\n"));
    QVERIFY(QFile::copy(kClip, tempFile(QStringLiteral("copy.mp3"))));
}

void TestSoundPlayer::clipThatPlaysOnceEndsAtItsDecodedLength() {
    auto sound = player();
    QSignalSpy ended(sound.get(), &SoundPlayer::clipEnded);
    QVERIFY(!sound->isLooping());

    QElapsedTimer sinceSet;
    sinceSet.start();
    sound->start(kClip);
    QCOMPARE(sound->file(), kClip);
    QVERIFY(!standsAtItsEnd(*sound));
    QTRY_COMPARE_WITH_TIMEOUT(sound->length(), double(kClipMs), 1000);
    QVERIFY(!standsAtItsEnd(*sound));
    QTRY_VERIFY_WITH_TIMEOUT(sound->position() > kClipMs / 2, kEndWaitMs);
    QVERIFY(sound->position() < kClipMs);
    QVERIFY(!standsAtItsEnd(*sound));

    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kEndWaitMs);
    const qint64 endedAfter = sinceSet.elapsed();
    QVERIFY2(endedAfter >= kClipMs && endedAfter < kClipMs + kLatenessMs,
             qPrintable(QString::number(endedAfter)));
    QVERIFY(standsAtItsEnd(*sound));
    QCOMPARE(sound->position(), double(kClipMs));

    QTest::qWait(300);
    QCOMPARE(ended.count(), 1);
    QVERIFY(standsAtItsEnd(*sound));
}

void TestSoundPlayer::loopingClipGoesOnUntilPlayedOnce() {
    auto sound = player();
    QSignalSpy ended(sound.get(), &SoundPlayer::clipEnded);
    sound->start(kClip);
    // Set right after the file, the count applies from the first sample.
    sound->setLooping(true);

    QTest::qWait(kClipMs * 2 + 200);
    QCOMPARE(ended.count(), 0);
    QVERIFY(!standsAtItsEnd(*sound));
    QCOMPARE(sound->length(), double(kClipMs));

    // Played once from now on, the pass under way is the last.
    const double position = sound->position();
    QElapsedTimer sincePlayedOnce;
    sincePlayedOnce.start();
    sound->setLooping(false);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kEndWaitMs);
    const double rest = kClipMs - position;
    QVERIFY2(
        sincePlayedOnce.elapsed() >= rest - 5 && sincePlayedOnce.elapsed() < rest + kLatenessMs,
        qPrintable(
            QStringLiteral("%1 ms for the %2 ms left").arg(sincePlayedOnce.elapsed()).arg(rest)));
    QVERIFY(standsAtItsEnd(*sound));

    // The count stays for the next clip.
    sound->start(kBlip);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, kEndWaitMs);
}

void TestSoundPlayer::replacedClipIsNotEnded_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("playedMs");
    QTest::addColumn<QString>("second");

    const QString copy = tempFile(QStringLiteral("copy.mp3"));
    QTest::newRow("same file again restarts") << kClip << 300 << kClip;
    QTest::newRow("another file") << kClip << 300 << copy;
    QTest::newRow("another file at once") << kBlip << 0 << kClip;
    QTest::newRow("by a missing file") << kClip << 300 << tempFile(QStringLiteral("gone.mp3"));
    QTest::newRow("missing file replaced at once")
        << tempFile(QStringLiteral("gone-too.mp3")) << 0 << kClip;
    QTest::newRow("broken file replaced at once")
        << tempFile(QStringLiteral("noise-2.mp3")) << 0 << copy;
}

void TestSoundPlayer::replacedClipIsNotEnded() {
    QFETCH(QString, first);
    QFETCH(int, playedMs);
    QFETCH(QString, second);
    const bool secondMissing = !QFileInfo::exists(second);
    for (const QString& path : {first, second}) {
        if (!QFileInfo::exists(path))
            QTest::ignoreMessage(QtWarningMsg, qPrintable("zorban: sound file missing: " + path));
    }
    if (first.contains(QLatin1String("noise")))
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot be played")));

    auto sound = player();
    QSignalSpy ended(sound.get(), &SoundPlayer::clipEnded);
    sound->start(first);
    if (playedMs > 0)
        QTest::qWait(playedMs);
    QCOMPARE(ended.count(), 0);

    QElapsedTimer sinceReplaced;
    sinceReplaced.start();
    sound->start(second);
    QCOMPARE(ended.count(), 0);
    QCOMPARE(standsAtItsEnd(*sound), secondMissing);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kEndWaitMs);
    // A clip that went on instead of restarting would end 300 ms earlier.
    if (!secondMissing)
        QVERIFY2(sinceReplaced.elapsed() >= kClipMs,
                 qPrintable(QString::number(sinceReplaced.elapsed())));
    QVERIFY(standsAtItsEnd(*sound));

    QTest::qWait(kClipMs);
    QCOMPARE(ended.count(), 1);
}

void TestSoundPlayer::unplayableFileEndsAtOnce_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("report");

    const QString unplayable = QStringLiteral("zorban: sound file cannot be played: %1 (");
    QTest::newRow("missing") << tempFile(QStringLiteral("absent.mp3"))
                             << QStringLiteral("zorban: sound file missing: %1");
    QTest::newRow("missing, relative")
        << QStringLiteral("music/absent.mp3") << QStringLiteral("zorban: sound file missing: %1");
    QTest::newRow("a directory") << m_dir.path()
                                 << QStringLiteral("zorban: sound file missing: %1");
    QTest::newRow("random bytes") << tempFile(QStringLiteral("noise.mp3")) << unplayable;
    QTest::newRow("noise behind a header")
        << tempFile(QStringLiteral("headed-noise.mp3")) << unplayable;
    QTest::newRow("empty") << tempFile(QStringLiteral("empty.mp3")) << unplayable;
    QTest::newRow("text") << tempFile(QStringLiteral("text.mp3")) << unplayable;
}

void TestSoundPlayer::unplayableFileEndsAtOnce() {
    QFETCH(QString, path);
    QFETCH(QString, report);
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("^" + QRegularExpression::escape(report.arg(path))));
    // Said once per file, however often the file is set.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^zorban: ")));

    auto sound = player();
    QSignalSpy ended(sound.get(), &SoundPlayer::clipEnded);
    // A broken file ends even when it should repeat.
    sound->setLooping(true);
    for (int clip = 1; clip <= 2; ++clip) {
        QElapsedTimer sinceSet;
        sinceSet.start();
        sound->start(path);
        QCOMPARE(ended.count(), clip - 1);
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), clip, kEndWaitMs);
        QVERIFY2(sinceSet.elapsed() < kLatenessMs, qPrintable(QString::number(sinceSet.elapsed())));
        QVERIFY(standsAtItsEnd(*sound));
    }

    // The player goes on with a good file.
    sound->setLooping(false);
    QElapsedTimer sinceSet;
    sinceSet.start();
    sound->start(kClip);
    QVERIFY(!standsAtItsEnd(*sound));
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 3, kEndWaitMs);
    QVERIFY(sinceSet.elapsed() >= kClipMs);
}

void TestSoundPlayer::cutShortFilePlaysWhatItHas() {
    const QByteArray bytes = readFile(kClip);
    const QString path = tempFile(QStringLiteral("cut.mp3"));
    QVERIFY(writeFile(path, bytes.left(bytes.size() / 2 + 7)));

    QTest::ignoreMessage(QtWarningMsg, qPrintable("zorban: sound file is cut short: " + path));
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^zorban: ")));
    auto sound = player();
    QSignalSpy ended(sound.get(), &SoundPlayer::clipEnded);
    for (int clip = 1; clip <= 2; ++clip) {
        QElapsedTimer sinceSet;
        sinceSet.start();
        sound->start(path);
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), clip, kEndWaitMs);
        // The half that is there is played, not skipped.
        QVERIFY2(sound->length() > kClipMs / 3 && sound->length() < kClipMs * 2 / 3,
                 qPrintable(QString::number(sound->length())));
        QVERIFY(sinceSet.elapsed() >= sound->length());
    }
}

void TestSoundPlayer::resumeStartsOnlyAClipThatStandsStill() {
    auto sound = player();
    QSignalSpy ended(sound.get(), &SoundPlayer::clipEnded);
    sound->start(kClip);
    QTRY_VERIFY_WITH_TIMEOUT(sound->position() > 200, kEndWaitMs);

    // A playing clip goes on undisturbed: it does not start over.
    const double before = sound->position();
    sound->resume();
    QVERIFY(sound->position() >= before);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kEndWaitMs);

    QElapsedTimer sincePlay;

    // An ended clip starts again from its start and ends once more.
    sincePlay.start();
    sound->resume();
    QVERIFY(!standsAtItsEnd(*sound));
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, kEndWaitMs);
    QVERIFY(sincePlay.elapsed() >= kClipMs);
}

void TestSoundPlayer::stoppedClipDoesNotEnd() {
    auto sound = player();
    QSignalSpy ended(sound.get(), &SoundPlayer::clipEnded);
    sound->start(kClip);
    QTRY_VERIFY_WITH_TIMEOUT(sound->position() > 100, kEndWaitMs);
    sound->stop();
    const double stoppedAt = sound->position();

    QTest::qWait(kClipMs);
    QCOMPARE(ended.count(), 0);
    QVERIFY(!standsAtItsEnd(*sound));
    QCOMPARE(sound->position(), stoppedAt);

    sound->resume();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kEndWaitMs);
    QVERIFY(standsAtItsEnd(*sound));
}

void TestSoundPlayer::playersSoundTogether() {
    // The credits' music loops while the game's clips come and go.
    auto music = player();
    auto cues = player();
    QSignalSpy musicEnded(music.get(), &SoundPlayer::clipEnded);
    QSignalSpy cueEnded(cues.get(), &SoundPlayer::clipEnded);
    music->start(kClip);
    music->setLooping(true);
    for (int cue = 1; cue <= 3; ++cue) {
        cues->start(kBlip);
        QTRY_COMPARE_WITH_TIMEOUT(cueEnded.count(), cue, kEndWaitMs);
    }
    QTRY_VERIFY_WITH_TIMEOUT(music->position() > 300, kEndWaitMs);
    cues.reset();
    QTest::qWait(kClipMs);
    QCOMPARE(musicEnded.count(), 0);
    QVERIFY(music->position() > 0);
}

void TestSoundPlayer::changedFileIsDecodedAgain() {
    const QString path = tempFile(QStringLiteral("changing.mp3"));
    QVERIFY(writeFile(path, readFile(kBlip)));
    auto sound = player();
    QSignalSpy ended(sound.get(), &SoundPlayer::clipEnded);
    sound->start(path);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kEndWaitMs);
    QCOMPARE(sound->length(), 40.0);

    // Another sound under the same name (and another size): re-skinned while running.
    QVERIFY(writeFile(path, readFile(kClip)));
    sound->start(path);
    QTRY_COMPARE_WITH_TIMEOUT(sound->length(), double(kClipMs), kEndWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, kEndWaitMs);
}

void TestSoundPlayer::withoutDeviceTheTimingStays() {
    // The output is chosen once per process, so this runs in a child process that
    // asks the system output for a driver that does not exist.
    if (!qEnvironmentVariableIsSet(kChild)) {
        const QByteArray failure =
            failureInChild({{QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("none-such")}});
        QVERIFY2(failure.isEmpty(), failure.constData());
        return;
    }

    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^zorban: no sound device \\(.+\\); "
                                                           "the game plays silently$")));
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^zorban: ")));
    // As the game makes it: the output held back until the first clip starts.
    media::SoundEngine engine(media::SoundEngine::Output::Device,
                              media::SoundEngine::Opening::WhenAsked);
    auto sound = engine.createPlayer();
    QSignalSpy ended(sound.get(), &SoundPlayer::clipEnded);
    for (int clip = 1; clip <= 2; ++clip) {
        QElapsedTimer sinceSet;
        sinceSet.start();
        sound->start(kClip);
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), clip, kEndWaitMs);
        QVERIFY(sinceSet.elapsed() >= kClipMs);
        QCOMPARE(sound->length(), double(kClipMs));
    }
}

QTEST_GUILESS_MAIN(TestSoundPlayer)
#include "test_sound_player.moc"
