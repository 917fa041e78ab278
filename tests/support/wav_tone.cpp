#include "wav_tone.h"

#include <QDataStream>
#include <QFile>
#include <cmath>

bool writeTone(const QString& path, int milliseconds, int rate, int channels) {
    const auto frames = static_cast<quint32>(qint64(milliseconds) * rate / 1000);
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
            out << qint16(3000 * std::sin(i * 0.05));
    }
    return out.status() == QDataStream::Ok;
}
