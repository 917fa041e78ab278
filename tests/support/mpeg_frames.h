#pragma once

#include <QByteArray>
#include <QString>

// MP3 files of any length made from the frames of a short one: MPEG audio
// frames may simply follow one another.

// The MPEG layer III audio frames of an MP3 file, without its tags and without a
// Xing or Info frame (which would declare the short file's length; put into
// *info if asked). Empty when none is found.
QByteArray mpegAudioFrames(const QByteArray& mp3, QByteArray* info = nullptr);

// The seconds of sound in such frames.
double mpegSeconds(const QByteArray& frames);

// Writes the frames of the MP3 file `source` over and over until at least
// `seconds` of sound, a copy at a time. With keepInfo, the source's Info frame
// leads them, declaring the length of one copy. False when it cannot.
bool writeRepeatedMp3(const QString& path, const QString& source, double seconds,
                      bool keepInfo = false);
