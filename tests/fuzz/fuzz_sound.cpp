// A sound file through the game's decoder (libmpg123 for MP3, the game's own
// WAV reader), named as the build says: sound.mp3 or sound.wav.
#include "fuzz_input_file.h"
#include "sound_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = inputFile(data, size, QStringLiteral(ZORBAN_FUZZ_SOUND_NAME));
    const media::DecodedSound sound = media::decodeSound(path);
    if (!sound.problem.isEmpty() && !sound.samples.empty() && !sound.cutShort)
        std::abort(); // a refused file keeps no samples
    return 0;
}
