#pragma once

#include <QList>
#include <QPair>
#include <QRect>
#include <QString>
#include <optional>

namespace storage {

// The player's settings kept between runs: an INI file in the form QSettings
// reads and writes ("[sound]" then "volume=80"), at the place QSettings keeps
// them, so that files of earlier versions stay good. Unlike QSettings, a write
// that fails says so and leaves the file as it was (kept_file::replace), and
// games running at once take turns under the lock QSettings also takes.
// QSettings itself cannot be used: with Qt 6.4, a write past a size limit
// (RLIMIT_FSIZE) cut zorban.conf to the limit's 100 bytes while sync() and
// status() reported NoError; and it drops the lines it cannot parse.
class SettingsFile {
  public:
    // zorban/zorban.conf in the user's configuration folder
    // (~/.config, $XDG_CONFIG_HOME).
    [[nodiscard]] static QString userFile();

    explicit SettingsFile(QString path) : path_(std::move(path)) {}
    [[nodiscard]] const QString& path() const { return path_; }

    // The values of "section/key" (a key without a section is in [General]) as
    // written, without quotes; none when missing or the file cannot be read.
    [[nodiscard]] std::optional<QString> value(const QString& key) const;
    // Read as QSettings reads them: any text but "", "0" and "false" is true.
    [[nodiscard]] std::optional<bool> boolValue(const QString& key) const;
    [[nodiscard]] std::optional<int> intValue(const QString& key) const;
    // "@Rect(x y width height)".
    [[nodiscard]] std::optional<QRect> rectValue(const QString& key) const;

    [[nodiscard]] static QString boolText(bool value);
    [[nodiscard]] static QString rectText(const QRect& rect);

    // Removes the temporary files a game killed while writing left, unless
    // another game is writing now.
    void removeLeftovers() const;

    // Under the lock, reads the file as it is now and sets these keys to these
    // texts, keeping every other line as it stands. Returns false and says why
    // in error; the file is then as it was.
    [[nodiscard]] bool set(const QList<QPair<QString, QString>>& values,
                           QString* error = nullptr) const;

  private:
    QString path_;
};

} // namespace storage
