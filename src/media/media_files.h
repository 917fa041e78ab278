#pragma once

#include <QString>
#include <QStringList>

// The movie and sound files the game plays, by the names they have on disk.
namespace media {

// Movies, relative to the start-up directory.
inline const QString kMovieOpenPlate = QStringLiteral("flashes/open plast.json");
inline const QString kMovieLidOpen = QStringLiteral("flashes/крышка open.json");
inline const QString kMovieBankOpen = QStringLiteral("flashes/bank open.json");
inline const QString kMovieBankClose = QStringLiteral("flashes/bank close.json");

// The game's sounds, by what they mean.
enum class Sound {
    BoardReveal,            // the amounts come onto the board
    OwnCase,                // the own case is chosen, or opened at the end
    Suspense,               // before a case opens
    SuspenseAfterFinalSwap, // before the first opening after the exchange at 20 cases
    Banker,                 // the banker's offer (repeats)
    Declined,               // "НЕТ"
    Exchange,               // "ДА" to an exchange (repeats)
    Winnings,               // "ДА" to money, and the winnings
    Credits,                // the credits' music (repeats)
    // An opened case, by the size of its amount.
    TinyAmount,
    SmallAmount,
    MiddleAmount,
    LargeAmount,
    BigAmount,
    HugeAmount,
};

// The file of a sound, relative to the current directory.
[[nodiscard]] QString soundFile(Sound sound);

// The sound of an opened case, by the rank of the amount it held.
[[nodiscard]] Sound amountSound(int rank);

// Every movie and sound file the game names.
[[nodiscard]] QStringList allMovies();
[[nodiscard]] QStringList allSounds();

// Where a media file is found: first under the given directory (the start-up
// directory for movies, the current one for sounds), then in the game's own
// directories (bundledDirectories()). When none has it, the path under the
// given directory is returned, so that the report names the expected place.
[[nodiscard]] QString locate(const QString& directory, const QString& relativePath);

// Why the game will not play a media file that is there (empty when it will):
// not a regular file (a directory, a FIFO, a device, a link to one), not
// readable, or a movie larger than kMaxMovieFileBytes.
[[nodiscard]] QString refusal(const QString& path);
inline constexpr qint64 kMaxMovieFileBytes = qint64(16) * 1024 * 1024;

// The current directory as a path that opens the files in it. That is its name,
// unless the name is not text: a folder named in another code page (bytes that
// are not UTF-8, such as Windows-1251) has no QString that gives its bytes back.
// Then it is a path through a descriptor held open on the directory for the
// rest of the run ("/proc/self/fd/N"), or "." where there is no /proc.
[[nodiscard]] QString currentDirectory();
// The bytes the system knows the path by: the directory's own name in place of
// a descriptor path made by currentDirectory().
[[nodiscard]] QByteArray nativePath(const QString& path);
// The path for messages, with the directory's own name (bytes that are not
// UTF-8 are shown as U+FFFD).
[[nodiscard]] QString readablePath(const QString& path);

// The game's own asset directory ("assets" next to the binary, as in the build
// tree). Tests may point it elsewhere.
[[nodiscard]] QString assetDirectory();
void setAssetDirectory(const QString& directory);

// The installed media directory, found from the binary's place so that the
// installed tree may be moved as a whole (bin/zorban and share/zorban).
[[nodiscard]] QString installedDirectory();

// The game's own directories in the order locate() tries them: the asset
// directory, then the installed one. A directory set by setAssetDirectory()
// stands alone, so tests do not depend on what lies around their binary.
[[nodiscard]] QStringList bundledDirectories();

} // namespace media
