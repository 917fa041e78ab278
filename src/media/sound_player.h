#pragma once

#include <QObject>
#include <QString>

// The one sound player of a window. One clip plays at a time.
class SoundPlayer : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    ~SoundPlayer() override = default;

    // Starts the file at once from its start, replacing the clip that was playing
    // (a replaced clip never counts as ended). A file that is missing or cannot be
    // played counts as a clip that has ended at once.
    virtual void start(const QString& path) = 0;
    [[nodiscard]] virtual QString file() const = 0;

    // Repeats the current clip until another is started (true), or plays it once
    // (false). Applies to the current clip and stays set for the clips that follow.
    virtual void setLooping(bool looping) = 0;
    [[nodiscard]] virtual bool isLooping() const = 0;

    // Milliseconds. Once a clip that plays once has ended, the position stays
    // equal to the length and both are above 0.
    [[nodiscard]] virtual double position() const = 0;
    [[nodiscard]] virtual double length() const = 0;

    // Starts the current clip again if it stands still (stopped or ended); a
    // clip that is playing goes on undisturbed.
    virtual void resume() = 0;

    // Silences the player; the current clip does not count as ended.
    virtual void stop() = 0;

  signals:
    // The current clip has come to its end (or could not be played). Emitted
    // once per clip, never from inside start().
    void clipEnded();
};
