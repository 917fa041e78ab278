#pragma once

#include <QString>

// Writes a 16-bit PCM WAV file of a soft tone, exactly that many milliseconds
// long, at this rate and channel count. False when it cannot be written.
bool writeTone(const QString& path, int milliseconds, int rate = 44100, int channels = 1);
