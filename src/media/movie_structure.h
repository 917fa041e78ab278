#pragma once

#include <QByteArray>
#include <QString>

namespace media {

// What makes a Lottie movie too costly to hand to rlottie, which follows a
// movie's structure without bounds: a repeater of a billion copies, groups
// nested thousands deep, or layers and points past any movie of the game's
// size. Empty when the movie stays within bounds (or is not JSON at all, which
// rlottie refuses on its own).
[[nodiscard]] QString movieStructureProblem(const QByteArray& json);

// The bounds, well past the game's own movies (a few layers, repeaters of
// under ten copies).
inline constexpr int kMaxMovieDepth = 64;    // nested JSON objects and arrays
inline constexpr int kMaxMovieLayers = 1000; // layers, precompositions included
inline constexpr double kMaxRepeaterCopies =
    1000;                                         // copies of one repeater, and of repeaters nested
inline constexpr qint64 kMaxMovieShapes = 20000;  // shape items, repeated copies counted
inline constexpr qint64 kMaxMoviePoints = 200000; // points of the paths, repeated copies counted

} // namespace media
