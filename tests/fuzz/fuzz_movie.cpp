// A movie of flashes/ as the game loads it (structure check, rlottie's parser,
// the game's own checks), and its first frame drawn small.
#include "fuzz_input_file.h"
#include "movie_animation.h"

#include <QCoreApplication>
#include <rlottie.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = inputFile(data, size, QStringLiteral("movie.json"));
    const std::shared_ptr<const MovieFile> movie = MovieFile::open(path);
    if (!movie)
        return 0;
    const std::unique_ptr<rlottie::Animation> animation =
        rlottie::Animation::loadFromData(movie->json(), "fuzz", "", false);
    if (!animation)
        return 0;
    constexpr size_t kSide = 32;
    uint32_t pixels[kSide * kSide];
    rlottie::Surface surface(pixels, kSide, kSide, kSide * sizeof(uint32_t));
    animation->renderSync(0, surface);
    return 0;
}
