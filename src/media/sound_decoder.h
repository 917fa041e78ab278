#pragma once

#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <vector>

namespace media {

// The format every sound is decoded into, and the sound output's: 16-bit mono
// at 44.1 kHz. Every sound of the game is mono; a stereo file is mixed down.
inline constexpr int kSoundRate = 44100;

struct DecodedSound {
    std::vector<int16_t> samples;
    // Why the file cannot be played; empty when it can.
    QString problem;
    // The file decodes to less than its header declares: what is there is kept.
    bool cutShort = false;

    [[nodiscard]] double lengthMs() const { return 1000.0 * double(samples.size()) / kSoundRate; }
};

// The longest sound kept: ten minutes take 53 MB as the output's samples.
inline constexpr qint64 kLongestSoundFrames = qint64(10) * 60 * kSoundRate;

// What all decoded sounds together may take (about 12 minutes of sound): a
// re-skin of long sounds under every name keeps the game's memory bounded. A
// sound that would pass it is not kept, and is said so.
inline constexpr qint64 kAllSoundsBytes = qint64(128) * 1024 * 1024;

// Decodes a whole MP3 (through libmpg123) or WAV file. Any other file, one with
// no sound in it, one longer than kLongestSoundFrames (said as such, with its
// length) and one whose decoded samples would take more than roomBytes give a
// problem. The decoded size is first estimated from the header (the frames an
// MP3 declares or seems to hold, a WAV's data size), so that a sound that would
// not fit is not decoded at all. Samples are converted as they are decoded:
// beyond the decoded sound, decoding holds at most a few hundred kilobytes, and
// it stops once a sound turns out too long or too large. Safe on any thread.
[[nodiscard]] DecodedSound decodeSound(const QString& path, qint64 roomBytes = kAllSoundsBytes);

} // namespace media
