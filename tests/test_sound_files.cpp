// The game's own sounds, decoded as the game decodes them: each decodes, lasts
// as long as its moment of play needs, is not silent, and the cues the game
// repeats (the banker, the exchange, the credits) join end to start without a
// click: the step from the last sample to the first is no larger than the steps
// the music itself makes. Sounds too long to keep, or made to take gigabytes,
// are refused with what is really wrong with them.
#include "media_files.h"
#include "mpeg_frames.h"
#include "sound_decoder.h"
#include "wav_tone.h"

#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const QString kAssets = QStringLiteral(ZORBAN_SOURCE_DIR "/assets/");

// The process's peak resident memory so far, in MB.
[[maybe_unused]] double peakMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return -1;
}

// A whole file as floats; empty when it cannot be decoded.
std::vector<float> decode(const QString& path) {
    const media::DecodedSound sound = media::decodeSound(path);
    std::vector<float> samples;
    samples.reserve(sound.samples.size());
    for (const int16_t sample : sound.samples)
        samples.push_back(sample / 32768.0f);
    return samples;
}

} // namespace

class TestSoundFiles final : public QObject {
    Q_OBJECT

  private slots:
    void everySoundDecodes_data();
    void everySoundDecodes();
    void loopJoinsWithoutClick_data();
    void loopJoinsWithoutClick();
    void otherFormatsAreConverted_data();
    void otherFormatsAreConverted();
    void compressedWavIsDecoded();
    void oversizedSoundsAreRefused_data();
    void oversizedSoundsAreRefused();
};

void TestSoundFiles::everySoundDecodes_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<double>("shortest");
    QTest::addColumn<double>("longest");
    // Each cue covers its moment of play: suspense before an opening, a short
    // sting per opened amount, loops that the game repeats.
    QHash<QString, std::pair<double, double>> lengths = {
        {media::soundFile(media::Sound::Suspense), {1.5, 2.5}},
        {media::soundFile(media::Sound::SuspenseAfterFinalSwap), {1.5, 2.5}},
        {media::soundFile(media::Sound::Banker), {4.0, 8.0}},
        {media::soundFile(media::Sound::Declined), {0.7, 1.4}},
        {media::soundFile(media::Sound::Exchange), {3.0, 6.0}},
        {media::soundFile(media::Sound::Winnings), {2.0, 3.0}},
        {media::soundFile(media::Sound::BoardReveal), {2.8, 3.2}},
        {media::soundFile(media::Sound::OwnCase), {1.0, 2.0}},
        {media::soundFile(media::Sound::Credits), {20.0, 60.0}},
    };
    for (int rank = 0; rank < 22; ++rank)
        lengths.insert(media::soundFile(media::amountSound(rank)), {1.0, 2.0});
    for (const QString& sound : media::allSounds()) {
        QVERIFY2(lengths.contains(sound), qPrintable(sound + " has no expected length"));
        QTest::newRow(qPrintable(sound))
            << kAssets + sound << lengths[sound].first << lengths[sound].second;
    }
    QTest::newRow("test clip") << QStringLiteral(ZORBAN_TEST_DATA "/click-700ms.mp3") << 0.7 << 0.7;
}

void TestSoundFiles::everySoundDecodes() {
    QFETCH(QString, file);
    QFETCH(double, shortest);
    QFETCH(double, longest);
    const media::DecodedSound sound = media::decodeSound(file);
    QVERIFY2(sound.problem.isEmpty(), qPrintable(sound.problem));
    QVERIFY(!sound.cutShort);
    const std::vector<float> samples = decode(file);
    const double seconds = static_cast<double>(samples.size()) / media::kSoundRate;
    QVERIFY2(seconds >= shortest - 1e-9 && seconds <= longest + 1e-9,
             qPrintable(QStringLiteral("%1 s").arg(seconds)));
    const float peak = *std::max_element(samples.begin(), samples.end());
    QVERIFY2(peak > 0.05f, "the file is not silent");
}

void TestSoundFiles::loopJoinsWithoutClick_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("banker") << media::soundFile(media::Sound::Banker);
    QTest::newRow("exchange") << media::soundFile(media::Sound::Exchange);
    QTest::newRow("credits") << media::soundFile(media::Sound::Credits);
}

void TestSoundFiles::loopJoinsWithoutClick() {
    QFETCH(QString, file);
    const std::vector<float> samples = decode(kAssets + file);
    QVERIFY2(samples.size() > 1000, "the file decodes");

    std::vector<float> steps(samples.size() - 1);
    for (size_t i = 1; i < samples.size(); ++i)
        steps[i - 1] = std::fabs(samples[i] - samples[i - 1]);
    std::sort(steps.begin(), steps.end());
    const float typical = steps[steps.size() * 999 / 1000]; // the music's own sharpest 0.1 %
    const float join = std::fabs(samples.front() - samples.back());
    QVERIFY2(join <= typical,
             qPrintable(QStringLiteral("join %1 against %2").arg(join).arg(typical)));
}

void TestSoundFiles::otherFormatsAreConverted_data() {
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::newRow("stereo at 22.05 kHz") << 22050 << 2;
    QTest::newRow("mono at 48 kHz") << 48000 << 1;
    QTest::newRow("mono at 8 kHz") << 8000 << 1;
}

// A sound of another rate or channel count (one dropped into music/) is
// converted to the output's format: it keeps its whole length, the end the
// resampler holds back included, and its sound.
void TestSoundFiles::otherFormatsAreConverted() {
    QFETCH(int, rate);
    QFETCH(int, channels);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tone.wav"));
    QVERIFY(writeTone(path, 1000, rate, channels));
    const std::vector<float> samples = decode(path);
    const double ms = 1000.0 * double(samples.size()) / media::kSoundRate;
    QVERIFY2(std::abs(ms - 1000) < 0.5, qPrintable(QStringLiteral("%1 ms").arg(ms)));
    const float peak = *std::max_element(samples.begin(), samples.end());
    QVERIFY2(peak > 0.05f, "the sound is kept");
}

// An A-law WAV, one of the compressed kinds SDL decodes, keeps its second of
// sound; one whose data chunk declares gigabytes it does not hold is decoded as
// cut short, without memory being asked for what it declares.
void TestSoundFiles::compressedWavIsDecoded() {
    for (const quint32 declared : {8000u, 0xAA8B8B8Bu}) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("alaw.wav"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QDataStream out(&file);
        out.setByteOrder(QDataStream::LittleEndian);
        out.writeRawData("RIFF", 4);
        out << quint32(36 + 8000);
        out.writeRawData("WAVEfmt ", 8);
        // A-law, mono, 8000 Hz, 8000 bytes a second, 1-byte frames of 8 bits.
        out << quint32(16) << quint16(6) << quint16(1) << quint32(8000) << quint32(8000)
            << quint16(1) << quint16(8);
        out.writeRawData("data", 4);
        out << declared;
        // The loudest A-law values, up and down: a square wave.
        for (int i = 0; i < 8000; ++i)
            out << quint8(i / 20 % 2 ? 0xAA : 0x2A);
        file.close();
        const media::DecodedSound sound = media::decodeSound(path);
        QVERIFY2(sound.problem.isEmpty(), qPrintable(sound.problem));
        QCOMPARE(sound.cutShort, declared != 8000u);
        const double ms = sound.lengthMs();
        QVERIFY2(std::abs(ms - 1000) < 0.5, qPrintable(QStringLiteral("%1 ms").arg(ms)));
        QVERIFY(*std::max_element(sound.samples.begin(), sound.samples.end()) > 16000);
    }
}

void TestSoundFiles::oversizedSoundsAreRefused_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    // Its frames are counted, not decoded: refused at once with its length.
    QTest::newRow("MP3 of 10.5 minutes")
        << "mp3"
        << "too long to keep: it lasts 10:30; at most 10:00 is kept";
    // Its header says 0.7 s: decoding finds it too long, and stops soon after 10
    // minutes (the whole 30 would take 160 MB).
    QTest::newRow("MP3 of 30 minutes declaring 0.7 s")
        << "mp3 lying"
        << "too long to keep: it lasts over 10:00; at most 10:00 is kept";
    // Its header says how long it is: refused before it is read.
    QTest::newRow("WAV of 11 minutes") << "wav"
                                       << "too long to keep: it lasts 11:00; at most 10:00 is kept";
    // 72 KB that would be resampled to 3 GB.
    QTest::newRow("WAV at 1 Hz") << "1hz"
                                 << "its sample rate of 1 Hz is outside 8000 to 192000 Hz";
}

// A sound too long to keep, or made to take gigabytes once converted, is
// refused with what really is wrong with it, and decoding it takes no more
// memory than the longest sound kept.
void TestSoundFiles::oversizedSoundsAreRefused() {
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("oversized"));
    const bool lying = kind.endsWith(QLatin1String("lying"));
    if (kind.startsWith(QLatin1String("mp3")))
        QVERIFY(writeRepeatedMp3(path, QStringLiteral(ZORBAN_TEST_DATA "/click-700ms.mp3"),
                                 lying ? 1800 : 630, lying));
    else if (kind == QLatin1String("wav"))
        QVERIFY(writeTone(path, 11 * 60 * 1000, 8000));
    else
        QVERIFY(writeTone(path, 36000 * 1000, 1));
    const media::DecodedSound sound = media::decodeSound(path);
    QCOMPARE(sound.problem, reason);
    QVERIFY(sound.samples.empty());
#ifndef __SANITIZE_ADDRESS__ // whose quarantine keeps freed memory resident
    // Ten minutes of samples are 53 MB.
    QVERIFY2(peakMegabytes() < 150, qPrintable(QStringLiteral("peak %1 MB").arg(peakMegabytes())));
#endif
}

QTEST_GUILESS_MAIN(TestSoundFiles)
#include "test_sound_files.moc"
