#pragma once

#include <QByteArray>

namespace media {

// What a walk over the frames of an MPEG audio file finds.
struct Mp3Scan {
    // The file starts (after an ID3v2 tag) with an MPEG audio frame.
    bool recognised = false;
    int frames = 0;
    // The frame count the encoder wrote into its Xing/Info header, or -1.
    int declaredFrames = -1;
    // The last frame runs past the end of the file, or fewer frames are there than
    // the header declares: the file was cut short.
    bool cutShort = false;
};

// Whether the bytes begin like a sound file a player could know: MPEG audio, or
// the header of another common audio container (RIFF, Ogg, FLAC, MP4, AAC).
[[nodiscard]] bool looksLikeSound(const QByteArray& data);

// Walks the frames of an MP3 file held in memory. Bytes that are not a frame end
// the walk (a trailing ID3v1 tag, for one).
[[nodiscard]] Mp3Scan scanMp3(const QByteArray& data);

} // namespace media
