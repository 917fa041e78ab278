#pragma once

#include <QString>

namespace files {

// Whether a symbolic link in the file's place is followed. A file the game
// creates or writes in a folder it does not own never follows one: a link
// planted there would point the write at another file.
enum class Links { Follow, Refuse };

// What keeps the game from a file, as a kind the player can be told of in
// their language (playerText) rather than as the system's words.
enum class Problem {
    None,
    // Something that is not a regular file stands where the file belongs.
    SymbolicLink,
    NamedPipe,
    Device,
    Folder,
    Socket,
    NotRegularFile,
    // The place itself cannot take the file.
    ReadOnly,     // a read-only file system
    NoPermission, // the folder or file may not be written
    NameTooLong,  // the path is longer than the system allows
    NoFolder,     // the folder is not there (any more)
    DiskFull,     // no room left, or a size limit reached
    Busy,         // another game holds the file's lock
    Other,
};

// The kind of an errno value.
[[nodiscard]] Problem problemOf(int error);
// Something odd stands at the file's name: removing it would let the game
// write again, which is not so for the other kinds.
[[nodiscard]] bool standsInTheWay(Problem problem);
// What the player reads: the problem with the file or folder at place, in
// the language spoken now; detail (the system's words) only for Other.
[[nodiscard]] QString playerText(Problem problem, const QString& place, const QString& detail = {});

enum class Access {
    Read,
    // Created when missing; never cut on opening (OpenFile::truncate() does
    // it once the file is known to be a regular one).
    Write,
    Append,
};

// A descriptor of a regular file, closed when destroyed. Opening never blocks
// (a named pipe, a device) and succeeds only for a regular file.
class OpenFile {
  public:
    OpenFile() = default;
    OpenFile(const QString& path, Access access, Links links);
    ~OpenFile();
    OpenFile(OpenFile&& other) noexcept;
    OpenFile& operator=(OpenFile&& other) noexcept;
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    [[nodiscard]] bool isOpen() const { return fd_ >= 0; }
    [[nodiscard]] int fd() const { return fd_; }
    // Gives the descriptor away (to QFile, mpg123 ...), which closes it.
    [[nodiscard]] int release();
    // Why it could not be opened ("is a symbolic link", "is a named pipe" ...).
    [[nodiscard]] const QString& problem() const { return problem_; }
    [[nodiscard]] Problem problemKind() const { return kind_; }
    bool truncate();

  private:
    int fd_ = -1;
    QString problem_;
    Problem kind_ = Problem::None;
};

// What stands at path when it is not a regular file the game may use, in
// words: "is a symbolic link", "is a named pipe", "is a device", "is a
// folder"; empty for a regular file or nothing at all.
[[nodiscard]] QString oddity(const QString& path, Links links);

// A lock file beside the file it guards, taken by games running at once in
// turn: flock() on path, which the system lets go when the holder dies, so a
// killed game's lock is never in the way. QLockFile takes the same lock. The
// lock file is never a link followed, nor anything but a regular file; it is
// removed on release.
class Lock {
  public:
    explicit Lock(QString path);
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    enum class Result { Taken, Held, Refused };
    // Tries until waitMs have passed while another holds it. Refused: no lock
    // can be made at path; problem() says why.
    Result take(int waitMs);
    [[nodiscard]] bool isTaken() const { return fd_ >= 0; }
    [[nodiscard]] const QString& problem() const { return problem_; }
    [[nodiscard]] Problem problemKind() const { return kind_; }
    void release();

  private:
    Result tryOnce();
    Result lockOnce();

    QString path_;
    int fd_ = -1;
    QString problem_;
    Problem kind_ = Problem::None;
};

} // namespace files
