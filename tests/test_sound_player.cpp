// The sound player over Qt Multimedia, with real short MP3 files. Ends are
// waited for at least the clip's length plus the player's 1.5 s safety margin.
#include "mp3_scan.h"
#include "qt_sound_player.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kClip = QStringLiteral(ZORBAN_TEST_DATA "/click-700ms.mp3");
constexpr int kClipMs = 700;
// Clip length plus the safety margin, plus the start-up of a cold GStreamer.
constexpr int kEndWaitMs = kClipMs + 1500 + 800;

} // namespace

class TestSoundPlayer : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void clipThatPlaysOnceEnds();
    void loopingClipGoesOnUntilPlayedOnce();
    void replacedClipIsNotEnded_data();
    void replacedClipIsNotEnded();
    void unplayableFileEndsAtOnce_data();
    void unplayableFileEndsAtOnce();
    void playStartsOnlyAClipThatStandsStill();
    void stoppedClipDoesNotEnd();
    void withoutBackEndEveryClipEndsAtOnce();
    void cutShortFilePlaysWhatItHas();
    void scanFindsWhereAFileWasCut();

  private:
    [[nodiscard]] QString tempFile(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

void TestSoundPlayer::initTestCase() {
    QLoggingCategory::setFilterRules(QStringLiteral("qt.multimedia.*=false"));
    QVERIFY2(QFileInfo::exists(kClip), qPrintable(kClip));
    QVERIFY(m_dir.isValid());
    QVERIFY(QFile::copy(kClip, tempFile(QStringLiteral("copy.mp3"))));

    QRandomGenerator random(42);
    QByteArray bytes(20000, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = static_cast<char>(random.bounded(256));
    // Plain noise, and noise behind a container's header, which only the back
    // end can find unplayable.
    const QByteArray headed = "RIFF" + bytes;
    for (const QString& name : {QStringLiteral("noise.mp3"), QStringLiteral("noise-2.mp3"),
                                QStringLiteral("headed-noise.mp3")}) {
        QFile noise(tempFile(name));
        QVERIFY(noise.open(QIODevice::WriteOnly));
        const QByteArray& content = name == QLatin1String("noise.mp3") ? bytes : headed;
        QCOMPARE(noise.write(content), content.size());
    }

    QFile empty(tempFile(QStringLiteral("empty.mp3")));
    QVERIFY(empty.open(QIODevice::WriteOnly));
}

void TestSoundPlayer::init() {
    // Every clip here must end by the back end's own report, not by the time-out.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("did not end in time")));
}

void TestSoundPlayer::clipThatPlaysOnceEnds() {
    QtSoundPlayer player;
    QSignalSpy ended(&player, &SoundPlayer::clipEnded);
    QCOMPARE(player.playCount(), 1);

    player.setFileName(kClip);
    QCOMPARE(player.fileName(), kClip);
    QVERIFY(!player.hasClipEnded());
    QTRY_VERIFY_WITH_TIMEOUT(player.length() > 0, kEndWaitMs);
    QVERIFY(!player.hasClipEnded());
    QVERIFY(qAbs(player.length() - kClipMs) < 100);

    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kEndWaitMs);
    QVERIFY(player.hasClipEnded());
    QCOMPARE(player.currentPosition(), player.length());
    QVERIFY(qAbs(player.length() - kClipMs) < 100);

    QTest::qWait(300);
    QCOMPARE(ended.count(), 1);
    QVERIFY(player.hasClipEnded());
}

void TestSoundPlayer::loopingClipGoesOnUntilPlayedOnce() {
    QtSoundPlayer player;
    QSignalSpy ended(&player, &SoundPlayer::clipEnded);
    player.setPlayCount(0);
    player.setFileName(kClip);

    // Past the end of three passes and the safety time-out of one.
    QTest::qWait(kEndWaitMs);
    QCOMPARE(ended.count(), 0);
    QVERIFY(!player.hasClipEnded());
    QVERIFY(player.length() > 0);

    // Played once from now on, the pass under way is the last.
    QElapsedTimer sincePlayedOnce;
    sincePlayedOnce.start();
    player.setPlayCount(1);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kEndWaitMs);
    QVERIFY(sincePlayedOnce.elapsed() < kClipMs + 200);
    QVERIFY(player.hasClipEnded());

    // The count stays for the next clip.
    player.setFileName(kClip);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, kEndWaitMs);
}

void TestSoundPlayer::replacedClipIsNotEnded_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("playedMs");
    QTest::addColumn<QString>("second");

    const QString copy = tempFile(QStringLiteral("copy.mp3"));
    QTest::newRow("same file again restarts") << kClip << 300 << kClip;
    // The back end now and then reports the end of a clip that replaced a
    // playing one right after loading it; it must be played all the same.
    for (const int playedMs : {150, 220, 300})
        QTest::addRow("another file after %d ms", playedMs) << kClip << playedMs << copy;
    QTest::newRow("missing file") << kClip << 300 << tempFile(QStringLiteral("gone.mp3"));
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

    QtSoundPlayer player;
    QSignalSpy ended(&player, &SoundPlayer::clipEnded);
    player.setFileName(first);
    if (playedMs > 0)
        QTest::qWait(playedMs);
    QCOMPARE(ended.count(), 0);

    QElapsedTimer sinceReplaced;
    sinceReplaced.start();
    player.setFileName(second);
    QCOMPARE(ended.count(), 0);
    QCOMPARE(player.hasClipEnded(), secondMissing);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kEndWaitMs);
    // A clip that went on instead of restarting would end 300 ms earlier.
    if (!secondMissing)
        QVERIFY2(sinceReplaced.elapsed() >= kClipMs - 100,
                 qPrintable(QString::number(sinceReplaced.elapsed())));
    QVERIFY(player.hasClipEnded());

    QTest::qWait(kClipMs);
    QCOMPARE(ended.count(), 1);
}

void TestSoundPlayer::unplayableFileEndsAtOnce_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("report");

    QTest::newRow("missing") << tempFile(QStringLiteral("absent.mp3"))
                             << QStringLiteral("zorban: sound file missing: %1");
    QTest::newRow("missing, relative")
        << QStringLiteral("music/absent.mp3") << QStringLiteral("zorban: sound file missing: %1");
    QTest::newRow("random bytes") << tempFile(QStringLiteral("noise.mp3"))
                                  << QStringLiteral("zorban: sound file cannot be played: %1 (");
    QTest::newRow("noise behind a header")
        << tempFile(QStringLiteral("headed-noise.mp3"))
        << QStringLiteral("zorban: sound file cannot be played: %1 (");
    QTest::newRow("empty") << tempFile(QStringLiteral("empty.mp3"))
                           << QStringLiteral("zorban: sound file cannot be played: %1 (");
}

void TestSoundPlayer::unplayableFileEndsAtOnce() {
    QFETCH(QString, path);
    QFETCH(QString, report);
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("^" + QRegularExpression::escape(report.arg(path))));
    // Said once per file, however often the file is set.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^zorban: ")));

    QtSoundPlayer player;
    QSignalSpy ended(&player, &SoundPlayer::clipEnded);
    // A broken file ends even when it should repeat.
    player.setPlayCount(0);
    for (int clip = 1; clip <= 2; ++clip) {
        QElapsedTimer sinceSet;
        sinceSet.start();
        player.setFileName(path);
        QCOMPARE(ended.count(), clip - 1);
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), clip, kEndWaitMs);
        QVERIFY2(sinceSet.elapsed() < 500, qPrintable(QString::number(sinceSet.elapsed())));
        QVERIFY(player.hasClipEnded());
    }

    // The player goes on with a good file, without a pause when it is set.
    player.setPlayCount(1);
    QElapsedTimer sinceSet;
    sinceSet.start();
    player.setFileName(kClip);
    QVERIFY2(sinceSet.elapsed() < 200, qPrintable(QString::number(sinceSet.elapsed())));
    QVERIFY(!player.hasClipEnded());
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 3, kEndWaitMs);
    QVERIFY(sinceSet.elapsed() >= kClipMs - 100);
}

void TestSoundPlayer::playStartsOnlyAClipThatStandsStill() {
    QtSoundPlayer player;
    QSignalSpy ended(&player, &SoundPlayer::clipEnded);
    player.setFileName(kClip);
    QTRY_VERIFY_WITH_TIMEOUT(player.currentPosition() > 200, kEndWaitMs);

    // Going on undisturbed, the clip ends before a fresh start could.
    QElapsedTimer sincePlay;
    sincePlay.start();
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kEndWaitMs);
    QVERIFY2(sincePlay.elapsed() < kClipMs - 100, qPrintable(QString::number(sincePlay.elapsed())));

    // An ended clip starts again from its start and ends once more.
    sincePlay.restart();
    player.play();
    QVERIFY(!player.hasClipEnded());
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, kEndWaitMs);
    QVERIFY(sincePlay.elapsed() >= kClipMs - 100);
}

void TestSoundPlayer::stoppedClipDoesNotEnd() {
    QtSoundPlayer player;
    QSignalSpy ended(&player, &SoundPlayer::clipEnded);
    player.setFileName(kClip);
    QTRY_VERIFY_WITH_TIMEOUT(player.currentPosition() > 100, kEndWaitMs);
    player.stop();

    QTest::qWait(kClipMs + 1500);
    QCOMPARE(ended.count(), 0);
    QVERIFY(!player.hasClipEnded());

    // Method 2001 starts it again.
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, kEndWaitMs);
    QVERIFY(player.hasClipEnded());
}

void TestSoundPlayer::withoutBackEndEveryClipEndsAtOnce() {
    // Qt Multimedia cannot be unloaded, so this runs in a child process that
    // asks for a back end that does not exist.
    constexpr const char* kChild = "ZORBAN_SOUND_TEST_CHILD";
    if (!qEnvironmentVariableIsSet(kChild)) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_MEDIA_BACKEND"), QStringLiteral("none-such"));
        environment.insert(QString::fromLatin1(kChild), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(QTest::currentTestFunction())});
        QVERIFY(child.waitForFinished(20000));
        const QByteArray output = child.readAll();
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 output.constData());
        QVERIFY2(output.contains("PASS   : TestSoundPlayer::withoutBackEnd"), output.constData());
        return;
    }

    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^zorban: no sound back end \\(")));
    QtSoundPlayer player;
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^zorban: ")));
    QtSoundPlayer other;
    QSignalSpy ended(&player, &SoundPlayer::clipEnded);
    for (int clip = 1; clip <= 2; ++clip) {
        player.setFileName(kClip);
        QCOMPARE(ended.count(), clip - 1);
        QVERIFY(player.hasClipEnded());
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), clip, 500);
    }
    player.stop();
    player.play();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 3, 500);
}

void TestSoundPlayer::cutShortFilePlaysWhatItHas() {
    QFile whole(kClip);
    QVERIFY(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    const QString path = tempFile(QStringLiteral("cut.mp3"));
    QFile cut(path);
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() / 2 + 7));
    cut.close();

    QTest::ignoreMessage(QtWarningMsg, qPrintable("zorban: sound file is cut short: " + path));
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^zorban: ")));
    QtSoundPlayer player;
    QSignalSpy ended(&player, &SoundPlayer::clipEnded);
    for (int clip = 1; clip <= 2; ++clip) {
        QElapsedTimer sinceSet;
        sinceSet.start();
        player.setFileName(path);
        QTRY_COMPARE_WITH_TIMEOUT(ended.count(), clip, kEndWaitMs);
        // The half that is there is played, not skipped.
        QVERIFY2(sinceSet.elapsed() >= kClipMs / 2 - 150,
                 qPrintable(QString::number(sinceSet.elapsed())));
    }
}

void TestSoundPlayer::scanFindsWhereAFileWasCut() {
    QFile file(kClip);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const media::Mp3Scan whole = media::scanMp3(bytes);
    QVERIFY(whole.recognised);
    QVERIFY(!whole.cutShort);
    QCOMPARE(whole.frames, whole.declaredFrames);
    QVERIFY(whole.frames > 10);

    // Cut inside a frame, or cleanly between frames: both are short of what the
    // header declares.
    const int frameBytes = int(bytes.size() / (whole.frames + 1));
    for (qsizetype keep :
         {bytes.size() - 1, bytes.size() - frameBytes, bytes.size() / 3, qsizetype(600)}) {
        const media::Mp3Scan cut = media::scanMp3(bytes.left(keep));
        QVERIFY2(cut.recognised && cut.cutShort, qPrintable(QString::number(keep)));
    }
    // A tag in front, or one at the end, changes nothing.
    QByteArray tagged = QByteArray("ID3\x04\x00\x00\x00\x00\x00\x05", 10) + "12345" + bytes + "TAG";
    tagged.append(125, ' ');
    const media::Mp3Scan withTags = media::scanMp3(tagged);
    QCOMPARE(withTags.frames, whole.frames);
    QVERIFY(!withTags.cutShort);

    QVERIFY(!media::scanMp3(QByteArray(4000, 'x')).recognised);
    QVERIFY(!media::scanMp3(QByteArray()).recognised);
}

QTEST_GUILESS_MAIN(TestSoundPlayer)
#include "test_sound_player.moc"
