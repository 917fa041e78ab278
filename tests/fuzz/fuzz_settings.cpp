// The settings file as the game reads it, and a setting written into it.
#include "fuzz_input_file.h"
#include "settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = inputFile(data, size, QStringLiteral("zorban.conf"));
    const storage::Settings settings(path);
    const int volume = settings.volume();
    if (volume < 0 || volume > 100)
        std::abort();
    (void)settings.muted();
    (void)settings.windowPlace();
    (void)settings.fullScreen();
    (void)settings.language();
    // A change keeps every other line: the value is read back as written.
    if (settings.setVolume(37) && settings.volume() != 37)
        std::abort();
    return 0;
}
