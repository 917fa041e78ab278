#pragma once

#include "regular_file.h"

#include <QByteArray>
#include <QString>

// The files the game keeps between runs (statistics, settings), written so that
// nothing in them is ever lost: whatever fails, a file is either the old one
// whole or the new one whole, and games running at once take turns.
namespace kept_file {

// Replaces the file at path with bytes, creating its directory when missing.
// The bytes go to a temporary file next to it (path.XXXXXX.zorban-unsaved, a
// name no player gives a file) that takes the file's name only once every byte
// has reached the disk: a full disk, a size limit or a kill leaves the old file
// as it was. A link at path is followed to the regular file it names (a player
// may keep the file elsewhere). Returns false and says why in error; the
// temporary file is then removed, and problem (when given) gets its kind.
[[nodiscard]] bool replace(const QString& path, const QByteArray& bytes, QString* error = nullptr,
                           files::Problem* problem = nullptr);

// The lock games running at once take in turn around reading and writing the
// file at path: path.lock (files::Lock). Released when destroyed.
class Lock {
  public:
    explicit Lock(const QString& path);
    // Waits at most waitMs for the game holding it. Returns false and says why
    // in error (and of what kind in problem) when it cannot be had.
    [[nodiscard]] bool take(int waitMs, QString* error = nullptr,
                            files::Problem* problem = nullptr);

  private:
    QString path_;
    files::Lock file_;
};

// How long a game waits for another one to finish writing: a write takes
// milliseconds, so only a hung game makes it wait that long.
inline constexpr int kLockWaitMs = 2000;

// Removes the temporary files that a game killed while writing left next to
// path (named as replace() names them); nothing else. Call it holding the
// lock, so that no game is writing one of them. Returns how many went.
int removeLeftovers(const QString& path);

// Reads the regular file at path whole, up to largest bytes, without blocking
// on a named pipe or a device. Missing: empty, with exists false. Returns
// false and says why in error when it is there but cannot be read, is not a
// regular file or is larger.
struct Read {
    bool exists = false;
    QByteArray bytes;
    QString error;
};
[[nodiscard]] Read read(const QString& path, qint64 largest);

} // namespace kept_file
