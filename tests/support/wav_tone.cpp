#include "wav_tone.h"

#include <QDataStream>
#include <QFile>
#include <cmath>
#include <functional>

namespace {

// sample(frame, channel) gives each sample in turn.
bool writeWav(const QString& path, quint32 frames, int rate, int channels,
              const std::function<qint16(quint32, int)>& sample) {
    const auto frameBytes = static_cast<quint16>(2 * channels);
    const quint32 dataBytes = frames * frameBytes;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + dataBytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(channels) << quint32(rate)
        << quint32(rate) * frameBytes << frameBytes << quint16(16);
    out.writeRawData("data", 4);
    out << dataBytes;
    for (quint32 i = 0; i < frames; ++i) {
        for (int channel = 0; channel < channels; ++channel)
            out << sample(i, channel);
    }
    return out.status() == QDataStream::Ok;
}

} // namespace

bool writeTone(const QString& path, int milliseconds, int rate, int channels) {
    const auto frames = static_cast<quint32>(qint64(milliseconds) * rate / 1000);
    return writeWav(path, frames, rate, channels,
                    [](quint32 i, int) { return qint16(3000 * std::sin(i * 0.05)); });
}

bool writeSamples(const QString& path, const std::vector<int16_t>& samples, int rate) {
    return writeWav(path, quint32(samples.size()), rate, 1,
                    [&samples](quint32 i, int) { return samples[i]; });
}
