// Makes an oversized re-skin in the given directory, as a player might drop one
// into the game's start folder: music/bank.mp3 a 60-minute MP3 (the frames of
// the game's own banker music over and over), music/good.mp3 a 72 KB WAV at
// 1 Hz. tools/bench-reskin.sh starts the game there and reads its peak memory.
#include "media_files.h"
#include "mpeg_frames.h"
#include "wav_tone.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_reskin DIRECTORY\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const QString banker = media::soundFile(media::Sound::Banker);
    const QString good = media::soundFile(media::Sound::SmallAmount);
    if (!dir.mkpath(QStringLiteral("music")) ||
        !writeRepeatedMp3(dir.filePath(banker),
                          QStringLiteral(ZORBAN_SOURCE_DIR "/assets/") + banker, 60 * 60) ||
        !writeTone(dir.filePath(good), 36000 * 1000, 1)) {
        std::fprintf(stderr, "bench_reskin: cannot write into %s\n", argv[1]);
        return 1;
    }
    std::printf("%s\n%s\n", qPrintable(dir.filePath(banker)), qPrintable(dir.filePath(good)));
    return 0;
}
