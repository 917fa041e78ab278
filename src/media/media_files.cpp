#include "media_files.h"

#include "movie_structure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

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

// A directory whose name is not text, and the path that stands for it.
struct HeldDirectory {
    QByteArray name;
    QString path;
};

// Kept for the run: a descriptor path must never come to mean another directory.
std::vector<HeldDirectory>& heldDirectories() {
    static std::vector<HeldDirectory> held;
    return held;
}

QByteArray currentDirectoryName() {
    QByteArray name(256, Qt::Uninitialized);
    while (!::getcwd(name.data(), static_cast<size_t>(name.size()))) {
        if (errno != ERANGE)
            return {};
        name.resize(name.size() * 2);
    }
    name.truncate(static_cast<qsizetype>(qstrlen(name.constData())));
    return name;
}

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

QString refusal(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        return info.isDir() ? QStringLiteral("is a directory")
                            : QStringLiteral("is not a regular file");
    if (!info.isReadable())
        return QStringLiteral("cannot be read");
    if (path.endsWith(QLatin1String(".json")) && info.size() > kMaxMovieFileBytes)
        return QStringLiteral("is larger than %1 MiB").arg(kMaxMovieFileBytes >> 20);
    if (path.endsWith(QLatin1String(".json"))) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("cannot be read");
        if (const QString problem = movieStructureProblem(file.read(kMaxMovieFileBytes));
            !problem.isEmpty())
            return QStringLiteral("is a movie too costly to play (%1)").arg(problem);
    }
    return {};
}

QString currentDirectory() {
    const QByteArray name = currentDirectoryName();
    if (name.isEmpty())
        return QStringLiteral(".");
    const QString decoded = QFile::decodeName(name);
    if (QFile::encodeName(decoded) == name)
        return decoded;
    for (const HeldDirectory& held : heldDirectories()) {
        if (held.name == name)
            return held.path;
    }
    const int descriptor = ::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    QString path = QStringLiteral("/proc/self/fd/%1").arg(descriptor);
    if (descriptor < 0 || !QFileInfo(path).isDir()) {
        if (descriptor >= 0)
            ::close(descriptor);
        path = QStringLiteral(".");
    }
    heldDirectories().push_back({name, path});
    return path;
}

QByteArray nativePath(const QString& path) {
    for (const HeldDirectory& held : heldDirectories()) {
        if (held.path == QLatin1String("."))
            continue;
        if (path == held.path)
            return held.name;
        if (path.startsWith(held.path + QLatin1Char('/')))
            return held.name + QFile::encodeName(path.mid(held.path.size()));
    }
    return QFile::encodeName(path);
}

QString readablePath(const QString& path) {
    return QDir::toNativeSeparators(QString::fromUtf8(nativePath(path)));
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
