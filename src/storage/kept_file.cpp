#include "kept_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kept_file {

namespace {

bool fail(QString* error, const QString& why, files::Problem* problem = nullptr,
          files::Problem kind = files::Problem::Other) {
    if (error)
        *error = why;
    if (problem)
        *problem = kind == files::Problem::None ? files::Problem::Other : kind;
    return false;
}

mode_t readUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Read once before any thread is started: umask() changes it for a moment.
const mode_t kUmask = readUmask();

} // namespace

namespace {
const char kUnsavedSuffix[] = ".zorban-unsaved";
}

bool replace(const QString& path, const QByteArray& bytes, QString* error,
             files::Problem* problem) {
    QString target = path;
    if (const QFileInfo link(path); link.isSymLink() && link.isFile())
        target = link.canonicalFilePath();
    const QString directory = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(directory))
        return fail(error, QStringLiteral("cannot create the folder %1").arg(directory), problem,
                    files::problemOf(errno));
    QByteArray name = QFile::encodeName(target) + ".XXXXXX" + kUnsavedSuffix;
    const int fd = ::mkostemps(name.data(), int(sizeof kUnsavedSuffix - 1), O_CLOEXEC);
    if (fd < 0) {
        const int openError = errno;
        return fail(error, QString::fromLocal8Bit(std::strerror(openError)), problem,
                    files::problemOf(openError));
    }
    // Every byte is checked to be on the disk before the temporary file may
    // take the file's name: a write the disk takes only in part is short.
    qint64 written = 0;
    int writeError = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            writeError = n < 0 ? errno : ENOSPC;
            break;
        }
        written += n;
    }
    struct stat kept {};
    const mode_t mode = ::stat(QFile::encodeName(target).constData(), &kept) == 0
                            ? (kept.st_mode & 07777)
                            : mode_t(0666 & ~kUmask);
    if (writeError == 0 && (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0))
        writeError = errno;
    if (::close(fd) != 0 && writeError == 0)
        writeError = errno;
    if (writeError == 0 && ::rename(name.constData(), QFile::encodeName(target).constData()) != 0)
        writeError = errno;
    if (writeError != 0) {
        ::unlink(name.constData());
        return fail(error, QString::fromLocal8Bit(std::strerror(writeError)), problem,
                    files::problemOf(writeError));
    }
    return true;
}

Lock::Lock(const QString& path) : path_(path), file_(path + QStringLiteral(".lock")) {}

bool Lock::take(int waitMs, QString* error, files::Problem* problem) {
    const QString directory = QFileInfo(path_).absolutePath();
    if (!QDir().mkpath(directory))
        return fail(error, QStringLiteral("cannot create the folder %1").arg(directory), problem,
                    files::problemOf(errno));
    switch (file_.take(waitMs)) {
    case files::Lock::Result::Taken:
        return true;
    case files::Lock::Result::Held:
        return fail(error,
                    QStringLiteral("another game has held %1.lock for over %2 s")
                        .arg(path_)
                        .arg(waitMs / 1000.0),
                    problem, files::Problem::Busy);
    case files::Lock::Result::Refused:
        break;
    }
    if (!files::standsInTheWay(file_.problemKind()))
        return fail(error,
                    QStringLiteral("cannot make %1.lock in %2 (%3)")
                        .arg(QFileInfo(path_).fileName(), directory, file_.problem()),
                    problem, file_.problemKind());
    // Something else stands where the lock belongs (a folder, a link, a pipe):
    // no game can write the file until it is removed.
    return fail(error,
                QStringLiteral("%1.lock %2 where the lock of the file belongs; remove it "
                               "to keep the file again")
                    .arg(path_, file_.problem()),
                problem, file_.problemKind());
}

int removeLeftovers(const QString& path) {
    const QFileInfo info(path);
    const QRegularExpression leftover(QStringLiteral("^%1\\.[A-Za-z0-9]{6}%2$")
                                          .arg(QRegularExpression::escape(info.fileName()),
                                               QRegularExpression::escape(kUnsavedSuffix)));
    QDir directory = info.absoluteDir();
    int removed = 0;
    for (const QString& name :
         directory.entryList({info.fileName() + QStringLiteral(".*") + kUnsavedSuffix},
                             QDir::Files | QDir::Hidden | QDir::System)) {
        if (leftover.match(name).hasMatch() && directory.remove(name))
            ++removed;
    }
    return removed;
}

Read read(const QString& path, qint64 largest) {
    Read result;
    files::OpenFile opened(path, files::Access::Read, files::Links::Follow);
    if (!opened.isOpen()) {
        result.exists = QFileInfo::exists(path) || QFileInfo(path).isSymLink();
        if (result.exists)
            result.error = opened.problem();
        return result;
    }
    result.exists = true;
    QFile file;
    if (!file.open(opened.release(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        result.error = file.errorString();
        return result;
    }
    result.bytes = file.read(largest + 1);
    if (result.bytes.size() > largest) {
        result.bytes.clear();
        result.error = QStringLiteral("is larger than %1 bytes").arg(largest);
    } else if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
    }
    return result;
}

} // namespace kept_file
