#include "regular_file.h"

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

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Why opening path failed with error, in the words of oddity() where one fits.
QString openProblem(const QString& path, Links links, int error) {
    if (const QString odd = oddity(path, links); !odd.isEmpty())
        return odd;
    return systemError(error);
}

} // namespace

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
        problem_ = openProblem(path, links, errno);
        return;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        problem_ = ::fstat(fd, &status) == 0 ? describeMode(status.st_mode) : systemError(errno);
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
    : fd_(std::exchange(other.fd_, -1)), problem_(std::move(other.problem_)) {}

OpenFile& OpenFile::operator=(OpenFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        problem_ = std::move(other.problem_);
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
    folderUnwritable_ = false;
    const QByteArray name = QFile::encodeName(path_);
    const int fd = ::open(name.constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY, 0644);
    if (fd < 0) {
        const int error = errno;
        folderUnwritable_ = error == EACCES || error == EROFS || error == EPERM;
        problem_ = openProblem(path_, Links::Refuse, error);
        return Result::Refused;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        problem_ = describeMode(opened.st_mode);
        ::close(fd);
        return Result::Refused;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return Result::Held;
        problem_ = systemError(error);
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
