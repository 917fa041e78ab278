// Every sound decodes with the game's media back end, and the cues the game
// repeats (the banker, the exchange, the credits) join end to start without a
// click: decoded, the step from the last sample to the first is no larger than
// the steps the music itself makes.
#include "media_files.h"

#include <QAudioBuffer>
#include <QAudioDecoder>
#include <QLoggingCategory>
#include <QUrl>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Decodes a whole file (its first channel) to floats; empty when it cannot be decoded.
std::vector<float> decode(const QString& path, int* sampleRate) {
    QAudioDecoder decoder;
    QAudioFormat wanted;
    wanted.setSampleFormat(QAudioFormat::Int16);
    wanted.setChannelCount(1);
    wanted.setSampleRate(44100);
    decoder.setAudioFormat(wanted);
    decoder.setSource(QUrl::fromLocalFile(path));
    std::vector<float> samples;
    bool done = false;
    QObject::connect(&decoder, &QAudioDecoder::bufferReady, [&] {
        const QAudioBuffer buffer = decoder.read();
        const QAudioFormat format = buffer.format();
        *sampleRate = format.sampleRate();
        const int channels = std::max(1, format.channelCount());
        // The first channel, as floats.
        for (qsizetype frame = 0; frame < buffer.frameCount(); ++frame) {
            const qsizetype i = frame * channels;
            switch (format.sampleFormat()) {
            case QAudioFormat::Float:
                samples.push_back(buffer.constData<float>()[i]);
                break;
            case QAudioFormat::Int16:
                samples.push_back(buffer.constData<qint16>()[i] / 32768.0f);
                break;
            case QAudioFormat::Int32:
                samples.push_back(static_cast<float>(buffer.constData<qint32>()[i] / 2147483648.0));
                break;
            default:
                break;
            }
        }
    });
    QObject::connect(&decoder, &QAudioDecoder::finished, [&] { done = true; });
    QObject::connect(&decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), [&] {
        qWarning() << "decoder" << decoder.errorString();
        samples.clear();
        done = true;
    });
    decoder.start();
    QElapsedTimer clock;
    clock.start();
    while (!done && clock.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return samples;
}

} // namespace

class TestSoundFiles final : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QLoggingCategory::setFilterRules(QStringLiteral("qt.multimedia.*=false"));
    }
    void everySoundDecodes_data();
    void everySoundDecodes();
    void loopJoinsWithoutClick_data();
    void loopJoinsWithoutClick();
};

void TestSoundFiles::everySoundDecodes_data() {
    QTest::addColumn<QString>("file");
    for (const QString& sound : media::allSounds())
        QTest::newRow(qPrintable(sound)) << sound;
}

void TestSoundFiles::everySoundDecodes() {
    QFETCH(QString, file);
    int rate = 0;
    const std::vector<float> samples =
        decode(QStringLiteral(ZORBAN_SOURCE_DIR "/assets/") + file, &rate);
    QVERIFY2(!samples.empty() && rate > 0, "the file decodes");
    const double seconds = static_cast<double>(samples.size()) / rate;
    QVERIFY2(seconds >= 0.5 && seconds <= 60, qPrintable(QString::number(seconds)));
    const float peak = *std::max_element(samples.begin(), samples.end());
    QVERIFY2(peak > 0.05f, "the file is not silent");
}

void TestSoundFiles::loopJoinsWithoutClick_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<double>("minimumSeconds");
    QTest::newRow("banker") << media::kSoundBanker << 2.0;
    QTest::newRow("exchange") << media::kSoundExchange << 2.0;
    QTest::newRow("credits") << media::kSoundCredits << 20.0;
}

void TestSoundFiles::loopJoinsWithoutClick() {
    QFETCH(QString, file);
    QFETCH(double, minimumSeconds);
    int rate = 0;
    const std::vector<float> samples =
        decode(QStringLiteral(ZORBAN_SOURCE_DIR "/assets/") + file, &rate);
    QVERIFY2(!samples.empty() && rate > 0, "the file decodes");
    QVERIFY(samples.size() >= static_cast<size_t>(minimumSeconds * rate));

    std::vector<float> steps(samples.size() - 1);
    for (size_t i = 1; i < samples.size(); ++i)
        steps[i - 1] = std::fabs(samples[i] - samples[i - 1]);
    std::sort(steps.begin(), steps.end());
    const float typical = steps[steps.size() * 999 / 1000]; // the music's own sharpest 0.1 %
    const float join = std::fabs(samples.front() - samples.back());
    QVERIFY2(join <= typical,
             qPrintable(QStringLiteral("join %1 against %2").arg(join).arg(typical)));
}

QTEST_MAIN(TestSoundFiles)
#include "test_sound_files.moc"
