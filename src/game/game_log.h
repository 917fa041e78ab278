#pragma once

#include "regular_file.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

namespace game {

// The texts of the log records; the writer adds one line end to each.
namespace records {
[[nodiscard]] QString amount(const QString& boardText);  // an opened case
[[nodiscard]] QString offer(const QString& shownOffer);  // the banker's offer as displayed
[[nodiscard]] QString declined();                        // "НЕТ"
[[nodiscard]] QString accepted();                        // "ДА" to money
[[nodiscard]] QString ownCase(const QString& boardText); // the end of the game
} // namespace records

// Converts text to the log's Windows-1251 code page with the system's converter
// (iconv, opened once for each thread), the whole text at once. A character the code page lacks is
// never written as '?':
//  - a space the code page lacks becomes 0xA0 (no-break space) when it does not
//    break a line either (U+2007, U+202F), and 0x20 otherwise;
//  - a decimal digit of another script becomes its ASCII digit;
//  - anything else (ideographs, direction marks, ...) is left out.
// Empty when the system has no Windows-1251 converter: no other bytes are made
// in its place.
[[nodiscard]] std::optional<QByteArray> toWindows1251(const QString& text);

// Whether Windows-1251 has a byte of its own for every character of text, so
// that toWindows1251 writes it unchanged. ASCII always fits; other characters
// only when the system's converter is there to say so.
[[nodiscard]] bool fitsWindows1251(const QString& text);

// The log file of the game running in a directory, held for as long as this
// object lives by a lock file beside it ("log.txt.lock"), so that two games
// never write one log. A game that finds log.txt held by another running game
// writes log-2.txt (a third log-3.txt, up to log-9.txt; past that no log). A
// killed game's lock is let go by the system. Where no lock can be made (a
// read-only directory, one deleted, a path too long), log.txt is used as it
// is, and its writes say what is wrong. A log or lock that is a
// symbolic link, a named pipe, a device or a folder is left exactly as it is,
// and the game keeps no log: problem() says why.
class LogFileClaim {
  public:
    explicit LogFileClaim(const QString& directory);
    ~LogFileClaim();
    LogFileClaim(const LogFileClaim&) = delete;
    LogFileClaim& operator=(const LogFileClaim&) = delete;

    // The log file to write; empty when no log is kept.
    [[nodiscard]] const QString& path() const { return path_; }
    // Another game held log.txt: this one writes path() instead, or no log.
    [[nodiscard]] bool apart() const { return apart_; }
    // Why no log is kept although the names were free: the file standing in
    // the way (a name in the directory) and what it is ("is a symbolic link").
    [[nodiscard]] const QString& refusedName() const { return refusedName_; }
    [[nodiscard]] const QString& problem() const { return problem_; }
    [[nodiscard]] files::Problem problemKind() const { return problemKind_; }

    // The claim this program holds on the directory, shared by all who ask
    // while any of them keeps it; made anew when none does.
    [[nodiscard]] static std::shared_ptr<const LogFileClaim> shared(const QString& directory);

  private:
    std::unique_ptr<files::Lock> lock_;
    QString path_;
    bool apart_ = false;
    QString refusedName_;
    QString problem_;
    files::Problem problemKind_ = files::Problem::None;
};

// The plain-text record of the game in progress. Every record is written by its
// own open-append-close, so the file is complete after every step; nothing is
// kept open between records. Failures are returned, never thrown. With an empty
// path no log is kept, and nothing is written. The file is opened only as a
// regular file, never through a symbolic link, and never blocks.
class GameLog {
  public:
    explicit GameLog(QString path = {}) : path_(std::move(path)) {}

    void setPath(const QString& path) { path_ = path; }
    [[nodiscard]] const QString& path() const { return path_; }

    // Creates the file or cuts it to length 0.
    [[nodiscard]] bool reset();
    // Appends the record's text and a CR LF. Fails, writing nothing, when the
    // system has no Windows-1251 converter.
    [[nodiscard]] bool append(const QString& record);
    // Why the last failed call failed, and of what kind.
    [[nodiscard]] const QString& lastError() const { return lastError_; }
    [[nodiscard]] files::Problem lastProblem() const { return lastProblem_; }

  private:
    bool write(const QByteArray& bytes, bool truncate);

    bool fail(const QString& error, files::Problem problem);

    QString path_;
    QString lastError_;
    files::Problem lastProblem_ = files::Problem::None;
};

} // namespace game
