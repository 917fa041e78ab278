#include "media_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <array>

namespace media {

namespace {

struct RankSound {
    int lowestRank;
    QString file;
};

// Grouped by the size of the amount: tiny amounts sound funny, the millions bad.
const std::array<RankSound, 6>& rankSounds() {
    static const std::array<RankSound, 6> table = {{
        {19, QStringLiteral("music/bad.mp3")},
        {17, QStringLiteral("music/big delete.mp3")},
        {14, QStringLiteral("music/large.mp3")},
        {8, QStringLiteral("music/chemodany.mp3")},
        {4, QStringLiteral("music/good.mp3")},
        {0, QStringLiteral("music/funny intro.mp3")},
    }};
    return table;
}

QString& assetDirOverride() {
    static QString dir;
    return dir;
}

} // namespace

QString amountSound(int rank) {
    for (const RankSound& entry : rankSounds()) {
        if (rank >= entry.lowestRank)
            return entry.file;
    }
    return rankSounds().back().file;
}

QStringList allMovies() {
    return {kMovieOpenPlate, kMovieLidOpen, kMovieBankOpen, kMovieBankClose};
}

QStringList allSounds() {
    QStringList sounds = {
        kSoundBoardReveal, kSoundOwnCase,  kSoundSuspense, kSoundSuspenseAfterFinalSwap,
        kSoundBanker,      kSoundDeclined, kSoundExchange, kSoundWinnings,
        kSoundCredits};
    for (auto it = rankSounds().rbegin(); it != rankSounds().rend(); ++it)
        sounds << it->file;
    return sounds;
}

QString assetDirectory() {
    if (!assetDirOverride().isEmpty())
        return assetDirOverride();
    return QCoreApplication::applicationDirPath() + QStringLiteral("/assets");
}

void setAssetDirectory(const QString& directory) {
    assetDirOverride() = directory;
}

// ZORBAN_DATA_FROM_BIN: the installed media directory relative to the installed
// binary, set by the build from the install directories (e.g. "../share/zorban").
QString installedDirectory() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                           QStringLiteral(ZORBAN_DATA_FROM_BIN));
}

QStringList bundledDirectories() {
    if (!assetDirOverride().isEmpty())
        return {assetDirOverride()};
    return {assetDirectory(), installedDirectory()};
}

QString locate(const QString& directory, const QString& relativePath) {
    const QString local = QDir(directory).filePath(relativePath);
    if (QFileInfo::exists(local))
        return local;
    for (const QString& bundledDir : bundledDirectories()) {
        const QString bundled = QDir(bundledDir).filePath(relativePath);
        if (QFileInfo::exists(bundled))
            return bundled;
    }
    return local;
}

} // namespace media
