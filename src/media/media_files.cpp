#include "media_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <array>

namespace media {

namespace {

struct SoundEntry {
    Sound sound;
    QString file;
};

// Every sound file the game plays, in one place.
const std::array<SoundEntry, 15>& soundTable() {
    static const std::array<SoundEntry, 15> table = {{
        {Sound::BoardReveal, QStringLiteral("music/magic2.mp3")},
        {Sound::OwnCase, QStringLiteral("music/kolvo.mp3")},
        {Sound::Suspense, QStringLiteral("music/chosen.mp3")},
        {Sound::SuspenseAfterFinalSwap, QStringLiteral("music/end обмен.mp3")},
        {Sound::Banker, QStringLiteral("music/bank.mp3")},
        {Sound::Declined, QStringLiteral("music/нет2.mp3")},
        {Sound::Exchange, QStringLiteral("music/обмен.mp3")},
        {Sound::Winnings, QStringLiteral("music/intro.mp3")},
        {Sound::Credits, QStringLiteral("music/Rule.mp3")},
        {Sound::TinyAmount, QStringLiteral("music/funny intro.mp3")},
        {Sound::SmallAmount, QStringLiteral("music/good.mp3")},
        {Sound::MiddleAmount, QStringLiteral("music/chemodany.mp3")},
        {Sound::LargeAmount, QStringLiteral("music/large.mp3")},
        {Sound::BigAmount, QStringLiteral("music/big delete.mp3")},
        {Sound::HugeAmount, QStringLiteral("music/bad.mp3")},
    }};
    return table;
}

struct RankSound {
    int lowestRank;
    Sound sound;
};

// Grouped by the size of the amount: tiny amounts sound funny, the millions bad.
constexpr std::array<RankSound, 6> kRankSounds = {{
    {19, Sound::HugeAmount},
    {17, Sound::BigAmount},
    {14, Sound::LargeAmount},
    {8, Sound::MiddleAmount},
    {4, Sound::SmallAmount},
    {0, Sound::TinyAmount},
}};

QString& assetDirOverride() {
    static QString dir;
    return dir;
}

} // namespace

QString soundFile(Sound sound) {
    for (const SoundEntry& entry : soundTable()) {
        if (entry.sound == sound)
            return entry.file;
    }
    return {};
}

Sound amountSound(int rank) {
    for (const RankSound& entry : kRankSounds) {
        if (rank >= entry.lowestRank)
            return entry.sound;
    }
    return kRankSounds.back().sound;
}

QStringList allMovies() {
    return {kMovieOpenPlate, kMovieLidOpen, kMovieBankOpen, kMovieBankClose};
}

QStringList allSounds() {
    QStringList sounds;
    for (const SoundEntry& entry : soundTable())
        sounds << entry.file;
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
