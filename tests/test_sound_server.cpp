// The sound output follows the machine: under a real PulseAudio of the test's
// own, whose null sink's monitor is recorded, the engine plays; the server is
// killed (the game plays on silently and says so once) and started again; the
// engine opens the output anew by itself and the sound returns where the game's
// clock has it, without the clip that ended meanwhile. Skipped when PulseAudio
// is not installed.
#include "sound_engine.h"
#include "wav_tone.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <cmath>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRate = 44100;
// The looping clip: a 500 Hz tone whose loudness steps up every second, so
// that what is heard tells how far into the clip the output is.
constexpr int kStepHz = 500;
constexpr int kSteps = 12;
constexpr double kStepAmplitude = 2000;
// A 2 kHz tone of 3 s played once, from 0.5 s: it ends while the server is gone.
constexpr int kOnceHz = 2000;
constexpr int kOnceMs = 3000;
constexpr int kOnceFromMs = 500;

constexpr int kKillAtMs = 2500;
constexpr int kRestartAtMs = 5000;
constexpr int kRecordUntilMs = 11000;

// 100 ms: a whole number of periods of both tones.
constexpr int kWindow = kRate / 10;

double secondsSince(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// The amplitude of one frequency in a window of samples (Goertzel).
double amplitudeAt(const int16_t* samples, int count, int hz) {
    const double w = 2 * M_PI * hz / kRate;
    const double coefficient = 2 * std::cos(w);
    double s1 = 0;
    double s2 = 0;
    for (int i = 0; i < count; ++i) {
        const double s0 = samples[i] + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return 2 * std::sqrt(std::max(0.0, power)) / count;
}

// A server listens on this Unix socket (a killed server's socket file stays behind).
bool answers(const QString& socketPath) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(socketPath);
    if (size_t(path.size()) >= sizeof address.sun_path)
        return false;
    std::copy(path.begin(), path.end(), address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool connected =
        fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return connected;
}

// The null sink's monitor as parec records it, with the moment each sample was heard.
class Recorder {
  public:
    void start(const QProcessEnvironment& environment) {
        arrivals_.clear();
        bytes_.clear();
        process_.setProcessEnvironment(environment);
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] {
            bytes_ += process_.readAllStandardOutput();
            arrivals_.push_back({Clock::now(), bytes_.size() / 2});
        });
        process_.start(QStringLiteral("parec"),
                       {QStringLiteral("--device=zorban_test.monitor"),
                        QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
                        QStringLiteral("--channels=1"), QStringLiteral("--raw"),
                        QStringLiteral("--latency-msec=20")});
    }
    void stop() {
        process_.terminate();
        process_.waitForFinished(3000);
        process_.disconnect();
    }
    [[nodiscard]] int samples() const { return int(bytes_.size() / 2); }
    [[nodiscard]] const int16_t* data() const {
        return reinterpret_cast<const int16_t*>(bytes_.constData());
    }
    // When the sample was heard: its batch's arrival less what came after it.
    [[nodiscard]] Clock::time_point heardAt(int sample) const {
        for (const auto& [at, total] : arrivals_) {
            if (total > sample)
                return at - std::chrono::microseconds(qint64(total - sample) * 1000000 / kRate);
        }
        return Clock::now();
    }
    [[nodiscard]] QString errors() {
        return QString::fromLocal8Bit(process_.readAllStandardError());
    }

  private:
    QProcess process_;
    QByteArray bytes_;
    std::vector<std::pair<Clock::time_point, qsizetype>> arrivals_;
};

} // namespace

class TestSoundServer final : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void soundReturnsWithTheServer();

  private:
    bool startServer();
    void killServer();

    QTemporaryDir dir_;
    QString socket_;
    QProcessEnvironment environment_;
    QProcess server_;
};

void TestSoundServer::initTestCase() {
    if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty())
        QSKIP("pulseaudio is not installed (Debian packages pulseaudio and pulseaudio-utils): "
              "the sound output's return after a lost server is not tested");
    QVERIFY(dir_.isValid());
    const QString runtime = dir_.filePath(QStringLiteral("runtime"));
    QVERIFY(QDir().mkpath(runtime + QStringLiteral("/pulse")));
    QVERIFY(QDir().mkpath(dir_.filePath(QStringLiteral("home"))));
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    socket_ = dir_.filePath(QStringLiteral("native"));
    const QString clientConfig = dir_.filePath(QStringLiteral("client.conf"));
    QFile config(clientConfig);
    QVERIFY(config.open(QIODevice::WriteOnly));
    // Only the test starts a server; memfd blocks make the server log an error
    // at every start.
    config.write("autospawn = no\nenable-memfd = no\n");
    config.close();

    // The server, parec and this process's own SDL see only the test's server.
    environment_ = QProcessEnvironment::systemEnvironment();
    const std::pair<const char*, QString> settings[] = {
        {"XDG_RUNTIME_DIR", runtime},
        {"PULSE_RUNTIME_PATH", runtime + QStringLiteral("/pulse")},
        {"PULSE_STATE_PATH", dir_.filePath(QStringLiteral("state"))},
        {"PULSE_SERVER", QStringLiteral("unix:") + socket_},
        {"PULSE_CLIENTCONFIG", clientConfig},
        {"SDL_AUDIODRIVER", QStringLiteral("pulseaudio")},
    };
    for (const auto& [name, value] : settings) {
        environment_.insert(QString::fromLatin1(name), value);
        qputenv(name, value.toLocal8Bit());
    }
    QProcessEnvironment serverEnvironment = environment_;
    serverEnvironment.insert(QStringLiteral("HOME"), dir_.filePath(QStringLiteral("home")));
    server_.setProcessEnvironment(serverEnvironment);
    server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

void TestSoundServer::cleanupTestCase() {
    killServer();
}

bool TestSoundServer::startServer() {
    server_.start(
        QStringLiteral("pulseaudio"),
        {QStringLiteral("--daemonize=no"), QStringLiteral("-n"),
         QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
         QStringLiteral("--log-level=0"), QStringLiteral("-L"),
         QStringLiteral("module-null-sink sink_name=zorban_test rate=44100 channels=1"),
         QStringLiteral("-L"),
         QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + socket_});
    if (!server_.waitForStarted(5000))
        return false;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 5000) {
        if (answers(socket_))
            return true;
        QTest::qWait(50);
    }
    return false;
}

void TestSoundServer::killServer() {
    if (server_.state() == QProcess::NotRunning)
        return;
    server_.kill();
    server_.waitForFinished(3000);
}

void TestSoundServer::soundReturnsWithTheServer() {
    std::vector<int16_t> steps(size_t(kSteps) * kRate);
    for (size_t i = 0; i < steps.size(); ++i) {
        const double amplitude = kStepAmplitude * double(i / kRate + 1);
        steps[i] = int16_t(amplitude * std::sin(2 * M_PI * kStepHz * double(i) / kRate));
    }
    std::vector<int16_t> once(size_t(kOnceMs) * kRate / 1000);
    for (size_t i = 0; i < once.size(); ++i)
        once[i] = int16_t(8000 * std::sin(2 * M_PI * kOnceHz * double(i) / kRate));
    const QString stepsFile = dir_.filePath(QStringLiteral("steps.wav"));
    const QString onceFile = dir_.filePath(QStringLiteral("once.wav"));
    QVERIFY(writeSamples(stepsFile, steps));
    QVERIFY(writeSamples(onceFile, once));

    // Started without a server: silent, said once.
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral(
                             "^zorban: no sound device \\(.+\\); the game plays silently$")));
    const QRegularExpression back(QStringLiteral(
        "^zorban: the sound output \\(pulseaudio\\) is back; the game plays with sound again$"));
    QTest::ignoreMessage(QtWarningMsg, back); // once the server appears
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(
                                           "^zorban: the sound output \\(pulseaudio\\) has gone; "
                                           "the game plays on silently$")));
    QTest::ignoreMessage(QtWarningMsg, back); // once it is started again
    // Each said once, and nothing else.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^zorban: ")));

    media::SoundEngine engine(media::SoundEngine::Output::Device);
    engine.preload({stepsFile, onceFile});
    QTest::qWait(500);
    QVERIFY2(startServer(), "the test's PulseAudio did not start");
    QTest::qWait(2500); // the engine tries every two seconds
    Recorder before;
    before.start(environment_);
    QTest::qWait(300);
    auto looping = engine.createPlayer();
    auto playedOnce = engine.createPlayer();
    looping->setLooping(true);
    const Clock::time_point clipStart = Clock::now();
    looping->start(stepsFile);
    const auto at = [clipStart](int ms) { return clipStart + std::chrono::milliseconds(ms); };
    QTest::qWait(kOnceFromMs);
    playedOnce->start(onceFile);
    QVERIFY(playedOnce->length() > 0); // decoded already: it starts at once
    while (Clock::now() < at(kKillAtMs))
        QTest::qWait(10);
    killServer();
    before.stop();

    while (Clock::now() < at(kRestartAtMs))
        QTest::qWait(10);
    // The clip that plays once has ended on the game's clock, server or not.
    QVERIFY(playedOnce->position() > 0 && playedOnce->position() == playedOnce->length());
    QVERIFY2(startServer(), "the test's PulseAudio did not start again");
    const Clock::time_point restarted = Clock::now();
    Recorder after;
    after.start(environment_);
    while (Clock::now() < at(kRecordUntilMs))
        QTest::qWait(10);
    after.stop();
    killServer();

    // Before: both clips sound.
    bool stepsBefore = false;
    bool onceBefore = false;
    for (int start = 0; start + kWindow <= before.samples(); start += kWindow) {
        stepsBefore |= amplitudeAt(before.data() + start, kWindow, kStepHz) > kStepAmplitude / 2;
        onceBefore |= amplitudeAt(before.data() + start, kWindow, kOnceHz) > 4000;
    }
    QVERIFY2(stepsBefore && onceBefore,
             qPrintable(QStringLiteral("nothing recorded before the server went (%1 samples) %2")
                            .arg(before.samples())
                            .arg(before.errors())));

    // After: the loop again, at its place on the clock; the other clip not at all.
    std::vector<double> levels;
    for (int start = 0; start + kWindow <= after.samples(); start += kWindow) {
        const double onceLevel = amplitudeAt(after.data() + start, kWindow, kOnceHz);
        QVERIFY2(onceLevel < 1000,
                 qPrintable(QStringLiteral("the ended clip sounds again (%1)").arg(onceLevel)));
        levels.push_back(amplitudeAt(after.data() + start, kWindow, kStepHz));
    }
    int sounding = 0;
    int inPlace = 0;
    double firstHeard = -1;
    QString heard;
    for (size_t window = 0; window < levels.size(); ++window) {
        if (levels[window] < kStepAmplitude / 2)
            continue;
        const Clock::time_point middle = after.heardAt(int(window) * kWindow + kWindow / 2);
        if (firstHeard < 0)
            firstHeard = secondsSince(restarted, middle);
        ++sounding;
        // A gap in the output on a busy machine lowers a window's level: the
        // loudest within 0.2 s either side tells the step.
        double level = 0;
        for (size_t near = window >= 2 ? window - 2 : 0; near <= window + 2 && near < levels.size();
             ++near)
            level = std::max(level, levels[near]);
        const double clipSeconds = std::fmod(secondsSince(clipStart, middle), kSteps);
        const long step = std::lround(level / kStepAmplitude) - 1;
        const double off = double(step) - clipSeconds + 0.5; // from the middle of its second
        if (std::fabs(off) <= 1.0)
            ++inPlace;
        heard += QStringLiteral(" %1@%2").arg(step).arg(clipSeconds, 0, 'f', 1);
    }
    qInfo("back %.2f s after the restart; step heard @ seconds into the clip:%s", firstHeard,
          qPrintable(heard));
    QVERIFY2(sounding >= 15, qPrintable(QStringLiteral("%1 windows of 100 ms sound after the "
                                                       "restart (%2 samples):%3")
                                            .arg(sounding)
                                            .arg(after.samples())
                                            .arg(heard)));
    QVERIFY2(firstHeard < 4,
             qPrintable(QStringLiteral("sound back %1 s after the restart").arg(firstHeard)));
    QVERIFY2(inPlace >= sounding * 9 / 10,
             qPrintable(QStringLiteral("step heard @ seconds into the clip:%1").arg(heard)));
}

QTEST_GUILESS_MAIN(TestSoundServer)
#include "test_sound_server.moc"
