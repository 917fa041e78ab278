#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// Writes a 16-bit PCM WAV file of a soft tone, exactly that many milliseconds
// long, at this rate and channel count. False when it cannot be written.
bool writeTone(const QString& path, int milliseconds, int rate = 44100, int channels = 1);

// Writes these 16-bit mono samples as a PCM WAV file at this rate.
bool writeSamples(const QString& path, const std::vector<int16_t>& samples, int rate = 44100);
