#pragma once

#include <QByteArray>
#include <QString>

namespace game {

// The texts of the log records; the writer adds one line end to each.
namespace records {
[[nodiscard]] QString amount(const QString& boardText);  // an opened case
[[nodiscard]] QString offer(const QString& shownOffer);  // the banker's offer as displayed
[[nodiscard]] QString declined();                        // "НЕТ"
[[nodiscard]] QString accepted();                        // "ДА" to money
[[nodiscard]] QString ownCase(const QString& boardText); // the end of the game
} // namespace records

// Converts text to the log's Windows-1251 code page. Characters the code page
// lacks become '?'.
[[nodiscard]] QByteArray toWindows1251(const QString& text);

// The plain-text record of the game in progress. Every record is written by its
// own open-append-close, so the file is complete after every step; nothing is
// kept open between records. Failures are returned, never thrown.
class GameLog {
  public:
    explicit GameLog(QString path = {}) : path_(std::move(path)) {}

    void setPath(const QString& path) { path_ = path; }
    [[nodiscard]] const QString& path() const { return path_; }

    // Creates the file or cuts it to length 0.
    [[nodiscard]] bool reset();
    // Appends the record's text and a CR LF.
    [[nodiscard]] bool append(const QString& record);
    // Why the last failed call failed.
    [[nodiscard]] const QString& lastError() const { return lastError_; }

  private:
    bool write(const QByteArray& bytes, bool truncate);

    QString path_;
    QString lastError_;
};

} // namespace game
