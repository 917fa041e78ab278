#include "kept_file.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace kept_file {

namespace {

constexpr unsigned long kRetryMs = 5;

bool fail(QString* error, const QString& why) {
    if (error)
        *error = why;
    return false;
}

} // namespace

bool replace(const QString& path, const QByteArray& bytes, QString* error) {
    const QString directory = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(directory))
        return fail(error, QStringLiteral("cannot create the folder %1").arg(directory));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, file.errorString());
    // The file is buffered: a write may only fill the buffer, and the disk's
    // refusal shows when the buffer is flushed; a write the disk takes only in
    // part is short, with no error set. Every byte is checked to be on the disk
    // before the temporary file may take the file's name.
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    if (!written || ::fsync(file.handle()) != 0) {
        const QString why = written ? QString::fromLocal8Bit(std::strerror(errno))
                                    : (file.error() != QFileDevice::NoError
                                           ? file.errorString()
                                           : QStringLiteral("the disk took only part of it"));
        file.cancelWriting(); // the temporary file goes with the object
        return fail(error, why);
    }
    if (!file.commit())
        return fail(error, file.errorString());
    return true;
}

Lock::Lock(const QString& path) : path_(path), file_(path + QStringLiteral(".lock")) {}

bool Lock::take(int waitMs, QString* error) {
    const QString directory = QFileInfo(path_).absolutePath();
    if (!QDir().mkpath(directory))
        return fail(error, QStringLiteral("cannot create the folder %1").arg(directory));
    // A game holds the lock for the milliseconds a write takes: it is tried
    // again every few milliseconds (QLockFile's own wait backs off to seconds).
    QElapsedTimer waited;
    waited.start();
    while (!file_.tryLock(0)) {
        if (file_.error() != QLockFile::LockFailedError || waited.elapsed() >= waitMs)
            break;
        QThread::msleep(kRetryMs);
    }
    if (file_.isLocked())
        return true;
    switch (file_.error()) {
    case QLockFile::LockFailedError:
        return fail(error, QStringLiteral("another game has held %1.lock for over %2 s")
                               .arg(path_)
                               .arg(waitMs / 1000.0));
    case QLockFile::PermissionError:
        return fail(error, QStringLiteral("cannot create %1.lock (no permission)").arg(path_));
    default:
        return fail(error, QStringLiteral("cannot create %1.lock").arg(path_));
    }
}

int removeLeftovers(const QString& path) {
    const QFileInfo info(path);
    const QRegularExpression leftover(
        QStringLiteral("^%1\\.[A-Za-z0-9]{6}$").arg(QRegularExpression::escape(info.fileName())));
    QDir directory = info.absoluteDir();
    int removed = 0;
    for (const QString& name : directory.entryList({info.fileName() + QStringLiteral(".??????")},
                                                   QDir::Files | QDir::Hidden | QDir::System)) {
        if (leftover.match(name).hasMatch() && directory.remove(name))
            ++removed;
    }
    return removed;
}

} // namespace kept_file
