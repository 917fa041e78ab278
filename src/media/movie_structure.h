#pragma once

#include <QByteArray>
#include <QString>

namespace media {

// What makes a Lottie movie too costly to hand to rlottie, which follows a
// movie's structure without bounds: a repeater of a billion copies, groups
// nested thousands deep, precompositions that draw one another a billion times
// over, an image that decodes to gigabytes, or layers and points past any movie
// of the game's size. Everything is counted as drawn: a precomposition's
// layers, shapes and points once for every layer that uses it. Images are
// measured from their headers, never decoded; an image kept in a file is looked
// for where rlottie looks, relative to the current directory. Text that is not
// JSON is refused too: rlottie would read on past the fault. Empty when the
// movie stays within bounds (or is JSON but not an object, which rlottie
// refuses on its own).
[[nodiscard]] QString movieStructureProblem(const QByteArray& json);

// The bounds, well past the game's own movies (a few layers, repeaters of
// under ten copies, no images).
inline constexpr int kMaxMovieDepth = 64; // nested JSON objects and arrays, and precompositions
inline constexpr double kMaxMovieLayers = 1000; // layers drawn, precompositions' at every use
inline constexpr double kMaxRepeaterCopies =
    1000;                                         // copies of one repeater, and of repeaters nested
inline constexpr double kMaxMovieShapes = 20000;  // shape items, repeated copies counted
inline constexpr double kMaxMoviePoints = 200000; // points of the paths, repeated copies counted
// An image larger than a case lid or a panel ever needs, on either side.
inline constexpr int kMaxMovieImageSide = 2048;
// All images of a movie together, in pixels (4 bytes each once decoded).
inline constexpr qint64 kMaxMovieImagePixels = qint64(2048) * 2048 * 2;

} // namespace media
