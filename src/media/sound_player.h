#pragma once

#include <QObject>
#include <QString>

// The one sound player of a window. One clip plays at a time.
class SoundPlayer : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    ~SoundPlayer() override = default;

    // Opens the file and starts it at once from its start, replacing the clip
    // that was playing (a replaced clip never counts as ended). A file that is
    // missing or cannot be played counts as a clip that has ended at once.
    virtual void setFileName(const QString& path) = 0;
    [[nodiscard]] virtual QString fileName() const = 0;

    // 0 repeats the current clip until another file is set, 1 plays it once.
    // Applies to the current clip and stays set for the clips that follow.
    virtual void setPlayCount(int count) = 0;
    [[nodiscard]] virtual int playCount() const = 0;

    // Milliseconds. Once a clip that plays once has ended, the position stays
    // equal to the length and both are above 0.
    [[nodiscard]] virtual double currentPosition() const = 0;
    [[nodiscard]] virtual double length() const = 0;

    // The player's method 2001: starts the current clip if it is not playing;
    // a clip that is already playing goes on undisturbed.
    virtual void play() = 0;

    // Silences the player; the current clip does not count as ended.
    virtual void stop() = 0;

    // The game's own test for "the clip has ended".
    [[nodiscard]] bool hasClipEnded() const {
        const double position = currentPosition();
        return position > 0 && position == length();
    }

  signals:
    // The current clip has come to its end (or could not be played). Emitted
    // once per clip, never from inside setFileName().
    void clipEnded();
};
