#include "mp3_scan.h"

#include <array>

namespace media {

namespace {

struct FrameHeader {
    int length = 0;   // bytes, header included
    int sideInfo = 0; // bytes of side information after the header
};

quint32 bigEndian32(const QByteArray& data, qsizetype at) {
    const auto byte = [&](qsizetype i) {
        return static_cast<quint32>(static_cast<quint8>(data[i]));
    };
    return byte(at) << 24 | byte(at + 1) << 16 | byte(at + 2) << 8 | byte(at + 3);
}

// The header at `at`, or a length of 0 when the bytes there are not a Layer III frame.
FrameHeader readHeader(const QByteArray& data, qsizetype at) {
    if (at + 4 > data.size())
        return {};
    const quint32 h = bigEndian32(data, at);
    if ((h >> 21) != 0x7FF)
        return {};
    const int version = (h >> 19) & 3; // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    const int layer = (h >> 17) & 3;   // 1: Layer III
    const int bitrateIndex = (h >> 12) & 15;
    const int rateIndex = (h >> 10) & 3;
    const int padding = (h >> 9) & 1;
    const bool mono = ((h >> 6) & 3) == 3;
    if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return {};
    static constexpr std::array<int, 15> kBitratesV1 = {0,   32,  40,  48,  56,  64,  80, 96,
                                                        112, 128, 160, 192, 224, 256, 320};
    static constexpr std::array<int, 15> kBitratesV2 = {0,  8,  16, 24,  32,  40,  48, 56,
                                                        64, 80, 96, 112, 128, 144, 160};
    static constexpr std::array<int, 3> kRatesV1 = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    const int bitrate = (mpeg1 ? kBitratesV1 : kBitratesV2)[size_t(bitrateIndex)] * 1000;
    int rate = kRatesV1[size_t(rateIndex)];
    if (version == 2)
        rate /= 2;
    else if (version == 0)
        rate /= 4;
    FrameHeader header;
    header.length = (mpeg1 ? 144 : 72) * bitrate / rate + padding;
    header.sideInfo = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    return header;
}

qsizetype skipId3v2(const QByteArray& data) {
    if (data.size() < 10 || !data.startsWith("ID3"))
        return 0;
    qsizetype size = 0;
    for (int i = 6; i < 10; ++i)
        size = (size << 7) | (static_cast<quint8>(data[i]) & 0x7F);
    return 10 + size;
}

} // namespace

Mp3Scan scanMp3(const QByteArray& data) {
    Mp3Scan scan;
    qsizetype at = skipId3v2(data);
    const FrameHeader first = readHeader(data, at);
    if (first.length == 0)
        return scan;
    scan.recognised = true;

    // An encoder's header frame: "Xing" or "Info" after the side information.
    const qsizetype tag = at + 4 + first.sideInfo;
    if (tag + 12 <= data.size()) {
        const QByteArray name = data.mid(tag, 4);
        if ((name == "Xing" || name == "Info") && (bigEndian32(data, tag + 4) & 1))
            scan.declaredFrames = static_cast<int>(bigEndian32(data, tag + 8));
    }
    if (scan.declaredFrames >= 0)
        at += first.length; // the header frame holds no sound

    for (;;) {
        const FrameHeader header = readHeader(data, at);
        if (header.length == 0)
            break;
        if (at + header.length > data.size()) {
            scan.cutShort = true;
            break;
        }
        ++scan.frames;
        at += header.length;
    }
    if (scan.declaredFrames >= 0 && scan.frames < scan.declaredFrames)
        scan.cutShort = true;
    return scan;
}

bool looksLikeSound(const QByteArray& data) {
    if (scanMp3(data.left(64 * 1024)).recognised)
        return true;
    const qsizetype at = skipId3v2(data);
    const QByteArray head = data.mid(at, 12);
    const bool adts = head.size() >= 2 && static_cast<quint8>(head[0]) == 0xFF &&
                      (static_cast<quint8>(head[1]) & 0xF6) == 0xF0;
    return adts || head.startsWith("RIFF") || head.startsWith("OggS") || head.startsWith("fLaC") ||
           head.mid(4, 4) == "ftyp";
}

} // namespace media
