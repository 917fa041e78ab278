#include "regular_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace files {

namespace {

QString describeMode(mode_t mode) {
    if (S_ISLNK(mode))
        return QStringLiteral("is a symbolic link");
    if (S_ISFIFO(mode))
        return QStringLiteral("is a named pipe");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("is a device");
    if (S_ISDIR(mode))
        return QStringLiteral("is a folder");
    if (S_ISSOCK(mode))
        return QStringLiteral("is a socket");
    return {};
}

Problem kindOfMode(mode_t mode) {
    if (S_ISLNK(mode))
        return Problem::SymbolicLink;
    if (S_ISFIFO(mode))
        return Problem::NamedPipe;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return Problem::Device;
    if (S_ISDIR(mode))
        return Problem::Folder;
    if (S_ISSOCK(mode))
        return Problem::Socket;
    return S_ISREG(mode) ? Problem::None : Problem::NotRegularFile;
}

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Why opening path failed with error, in the words of oddity() where one fits.
QString openProblem(const QString& path, Links links, int error, Problem& kind) {
    struct stat status {};
    const QByteArray name = QFile::encodeName(path);
    if ((links == Links::Follow ? ::stat(name.constData(), &status)
                                : ::lstat(name.constData(), &status)) == 0) {
        if (const QString odd = describeMode(status.st_mode); !odd.isEmpty()) {
            kind = kindOfMode(status.st_mode);
            return odd;
        }
    }
    kind = problemOf(error);
    return systemError(error);
}

} // namespace

Problem problemOf(int error) {
    switch (error) {
    case 0:
        return Problem::None;
    case EROFS:
        return Problem::ReadOnly;
    case EACCES:
    case EPERM:
        return Problem::NoPermission;
    case ENAMETOOLONG:
        return Problem::NameTooLong;
    case ENOENT:
    case ENOTDIR:
        return Problem::NoFolder;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return Problem::DiskFull;
    case ELOOP:
        return Problem::SymbolicLink;
    case EISDIR:
        return Problem::Folder;
    default:
        return Problem::Other;
    }
}

bool standsInTheWay(Problem problem) {
    switch (problem) {
    case Problem::SymbolicLink:
    case Problem::NamedPipe:
    case Problem::Device:
    case Problem::Folder:
    case Problem::Socket:
    case Problem::NotRegularFile:
        return true;
    default:
        return false;
    }
}

QString playerText(Problem problem, const QString& place, const QString& detail) {
    const QString shown = QDir::toNativeSeparators(place);
    switch (problem) {
    case Problem::None:
        return {};
    case Problem::SymbolicLink:
        return QCoreApplication::translate("FileProblem", "на месте %1 стоит символическая ссылка")
            .arg(shown);
    case Problem::NamedPipe:
        return QCoreApplication::translate("FileProblem", "на месте %1 стоит именованный канал")
            .arg(shown);
    case Problem::Device:
        return QCoreApplication::translate("FileProblem", "на месте %1 стоит устройство")
            .arg(shown);
    case Problem::Folder:
        return QCoreApplication::translate("FileProblem", "на месте %1 стоит папка").arg(shown);
    case Problem::Socket:
    case Problem::NotRegularFile:
        return QCoreApplication::translate("FileProblem", "на месте %1 стоит не обычный файл")
            .arg(shown);
    case Problem::ReadOnly:
        return QCoreApplication::translate("FileProblem",
                                           "%1 лежит на диске, открытом только для чтения")
            .arg(shown);
    case Problem::NoPermission:
        return QCoreApplication::translate("FileProblem", "нет права записи в %1").arg(shown);
    case Problem::NameTooLong:
        return QCoreApplication::translate("FileProblem",
                                           "путь к %1 длиннее, чем позволяет система")
            .arg(shown);
    case Problem::NoFolder:
        return QCoreApplication::translate("FileProblem", "папки для %1 больше нет").arg(shown);
    case Problem::DiskFull:
        return QCoreApplication::translate("FileProblem", "на диске нет места для %1").arg(shown);
    case Problem::Busy:
        return QCoreApplication::translate("FileProblem", "другая игра давно держит %1").arg(shown);
    case Problem::Other:
        break;
    }
    return QCoreApplication::translate("FileProblem", "%1: ошибка системы (%2)").arg(shown, detail);
}

QString oddity(const QString& path, Links links) {
    struct stat status {};
    const QByteArray name = QFile::encodeName(path);
    const int found = links == Links::Follow ? ::stat(name.constData(), &status)
                                             : ::lstat(name.constData(), &status);
    if (found != 0)
        return {};
    if (links == Links::Follow && S_ISLNK(status.st_mode))
        return {};
    return describeMode(status.st_mode);
}

OpenFile::OpenFile(const QString& path, Access access, Links links) {
    int flags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    if (links == Links::Refuse)
        flags |= O_NOFOLLOW;
    switch (access) {
    case Access::Read:
        flags |= O_RDONLY;
        break;
    case Access::Write:
        flags |= O_WRONLY | O_CREAT;
        break;
    case Access::Append:
        flags |= O_WRONLY | O_CREAT | O_APPEND;
        break;
    }
    const int fd = ::open(QFile::encodeName(path).constData(), flags, 0666);
    if (fd < 0) {
        problem_ = openProblem(path, links, errno, kind_);
        return;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const int error = errno;
        const bool known = ::fstat(fd, &status) == 0;
        problem_ = known ? describeMode(status.st_mode) : systemError(error);
        kind_ = known ? kindOfMode(status.st_mode) : problemOf(error);
        if (problem_.isEmpty())
            problem_ = QStringLiteral("is not a regular file");
        ::close(fd);
        return;
    }
    // A regular file never blocks; the flag goes so that readers see no EAGAIN.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
}

OpenFile::~OpenFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

OpenFile::OpenFile(OpenFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), problem_(std::move(other.problem_)), kind_(other.kind_) {}

OpenFile& OpenFile::operator=(OpenFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        problem_ = std::move(other.problem_);
        kind_ = other.kind_;
    }
    return *this;
}

int OpenFile::release() {
    return std::exchange(fd_, -1);
}

bool OpenFile::truncate() {
    if (fd_ < 0)
        return false;
    if (::ftruncate(fd_, 0) != 0) {
        kind_ = problemOf(errno);
        problem_ = systemError(errno);
        return false;
    }
    return true;
}

Lock::Lock(QString path) : path_(std::move(path)) {}

Lock::~Lock() {
    release();
}

Lock::Result Lock::take(int waitMs) {
    // A game holds the lock for the milliseconds a write takes: it is tried
    // again every few milliseconds.
    constexpr unsigned long kRetryMs = 5;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        const Result result = tryOnce();
        if (result != Result::Held || waited.elapsed() >= waitMs)
            return result;
        QThread::msleep(kRetryMs);
    }
}

Lock::Result Lock::tryOnce() {
    if (fd_ >= 0)
        return Result::Taken;
    // The holder before removed the file on release: a lock taken on a file no
    // longer at path is tried again on the one there now.
    constexpr int kAttempts = 8;
    Result result = Result::Held;
    for (int attempt = 0; attempt < kAttempts && result == Result::Held && fd_ < 0; ++attempt)
        result = lockOnce();
    return fd_ >= 0 ? Result::Taken : result;
}

Lock::Result Lock::lockOnce() {
    problem_.clear();
    kind_ = Problem::None;
    const QByteArray name = QFile::encodeName(path_);
    const int fd = ::open(name.constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY, 0644);
    if (fd < 0) {
        problem_ = openProblem(path_, Links::Refuse, errno, kind_);
        return Result::Refused;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        problem_ = describeMode(opened.st_mode);
        kind_ = kindOfMode(opened.st_mode);
        ::close(fd);
        return Result::Refused;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return Result::Held;
        problem_ = systemError(error);
        kind_ = problemOf(error);
        return Result::Refused;
    }
    struct stat named {};
    if (::lstat(name.constData(), &named) != 0 || named.st_ino != opened.st_ino ||
        named.st_dev != opened.st_dev) {
        ::close(fd);
        return Result::Held; // tried again by tryOnce()
    }
    fd_ = fd;
    return Result::Taken;
}

void Lock::release() {
    if (fd_ < 0)
        return;
    // Removed while held, so that no other game holds a lock on a file that
    // is gone.
    ::unlink(QFile::encodeName(path_).constData());
    ::close(fd_);
    fd_ = -1;
}

} // namespace files
