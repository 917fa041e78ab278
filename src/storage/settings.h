#pragma once

#include <QList>
#include <QPair>
#include <QRect>
#include <QString>
#include <optional>

namespace storage {

// The player's settings kept between runs, and the one place that names their
// keys in the settings file (SettingsFile). Each value is read from the file as
// it stands when asked (after this run's own writes), so that a choice another
// game made meanwhile counts. Each change is written at once, or, once
// writeInBackground() is called, on the writing thread (background_writes),
// where a slow disk or a lock held by another game stalls no window. The first
// write of a run that fails is said on stderr; the file then stays as it was.
class Settings {
  public:
    // The user's settings (zorban/zorban.conf in the configuration folder), or
    // those in path.
    Settings();
    explicit Settings(QString path);
    [[nodiscard]] const QString& path() const { return path_; }

    [[nodiscard]] bool muted() const;
    // In percent, 0..100.
    [[nodiscard]] int volume() const;
    // The game window's place outside full screen, as it was left; none when
    // none is kept.
    [[nodiscard]] std::optional<QRect> windowPlace() const;
    [[nodiscard]] bool fullScreen() const;
    // "ru" or "en" as the player chose it; empty when none is kept or the one
    // kept is not a language the game has.
    [[nodiscard]] QString language() const;
    // The quick pace of play; the designed one unless chosen.
    [[nodiscard]] bool quickPace() const;
    // The game's summary opens by itself at the end of each game; off unless chosen.
    [[nodiscard]] bool summaryAtEnd() const;

    // Every change from now on is written on the writing thread.
    static void writeInBackground();

    // Each returns false when the file could not take it (written at once), or
    // true once the write is asked for (in the background).
    bool setMuted(bool muted) const;
    bool setVolume(int percent) const;
    bool setWindow(const QRect& place, bool fullScreen) const;
    bool setLanguage(const QString& language) const;
    bool setQuickPace(bool quick) const;
    bool setSummaryAtEnd(bool shown) const;

    // Removes the temporary files a game killed while writing left, unless
    // another game is writing now.
    void removeLeftovers() const;

  private:
    bool write(const QList<QPair<QString, QString>>& values) const;

    QString path_;
};

} // namespace storage
