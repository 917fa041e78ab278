#include "mpeg_frames.h"

#include <QFile>

namespace {

struct Frame {
    int bytes = 0;
    int samples = 0;
    int rate = 0;
};

// The frame whose header starts at `at`, if there is one (layer III only).
Frame frameAt(const QByteArray& data, qsizetype at) {
    if (at + 4 > data.size())
        return {};
    const auto* h = reinterpret_cast<const uchar*>(data.constData() + at);
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0 || ((h[1] >> 1) & 3) != 1)
        return {};
    const int version = (h[1] >> 3) & 3; // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    const int bitrateIndex = h[2] >> 4;
    const int rateIndex = (h[2] >> 2) & 3;
    if (version == 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return {};
    static constexpr int kBitrates1[] = {0,   32,  40,  48,  56,  64,  80, 96,
                                         112, 128, 160, 192, 224, 256, 320};
    static constexpr int kBitrates2[] = {0,  8,  16, 24,  32,  40,  48, 56,
                                         64, 80, 96, 112, 128, 144, 160};
    static constexpr int kRates[] = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    Frame frame;
    frame.rate = kRates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    const int bitrate = 1000 * (mpeg1 ? kBitrates1 : kBitrates2)[bitrateIndex];
    frame.samples = mpeg1 ? 1152 : 576;
    frame.bytes = frame.samples / 8 * bitrate / frame.rate + ((h[2] >> 1) & 1);
    return frame;
}

} // namespace

QByteArray mpegAudioFrames(const QByteArray& mp3, QByteArray* info) {
    qsizetype at = 0;
    // An ID3v2 tag: ten bytes of header and a size in 7-bit bytes.
    if (mp3.startsWith("ID3") && mp3.size() >= 10) {
        const auto* s = reinterpret_cast<const uchar*>(mp3.constData() + 6);
        at = 10 + (qsizetype(s[0]) << 21 | qsizetype(s[1]) << 14 | qsizetype(s[2]) << 7 | s[3]);
    }
    QByteArray frames;
    while (at < mp3.size()) {
        const Frame frame = frameAt(mp3, at);
        if (frame.bytes <= 0 || at + frame.bytes > mp3.size()) {
            ++at; // not a frame: look further
            continue;
        }
        const QByteArray bytes = mp3.mid(at, frame.bytes);
        const QByteArray head = bytes.left(48);
        if (!head.contains("Xing") && !head.contains("Info"))
            frames += bytes;
        else if (info)
            *info = bytes;
        at += frame.bytes;
    }
    return frames;
}

double mpegSeconds(const QByteArray& frames) {
    double seconds = 0;
    qsizetype at = 0;
    while (at < frames.size()) {
        const Frame frame = frameAt(frames, at);
        if (frame.bytes <= 0)
            break;
        seconds += double(frame.samples) / frame.rate;
        at += frame.bytes;
    }
    return seconds;
}

bool writeRepeatedMp3(const QString& path, const QString& source, double seconds, bool keepInfo) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QByteArray info;
    const QByteArray frames = mpegAudioFrames(in.readAll(), &info);
    const double each = mpegSeconds(frames);
    if (each <= 0)
        return false;
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || (keepInfo && out.write(info) != info.size()))
        return false;
    for (double written = 0; written < seconds; written += each) {
        if (out.write(frames) != frames.size())
            return false;
    }
    return out.flush();
}
