#pragma once

#include <QObject>
#include <QString>

namespace media {
class SoundEngine;
}

// The player's mute and volume. They are applied to the sound engine (when the
// game has one) and kept in the user's settings between runs.
class SoundSettings final : public QObject {
    Q_OBJECT
  public:
    static constexpr int kVolumeStep = 10;

    // Reads the remembered settings and applies them to the engine, which may be null.
    explicit SoundSettings(media::SoundEngine* engine, QObject* parent = nullptr);

    [[nodiscard]] bool isMuted() const { return muted_; }
    // In percent, 0..100.
    [[nodiscard]] int volume() const { return volume_; }

    // Each is applied at once and remembered on its own: a volume change does not
    // make a mute of this run only a remembered one.
    void setMuted(bool muted);
    void setVolume(int percent);
    // A step louder also turns the sound back on.
    void louder();
    void quieter();
    // Mutes this run only ("--mute"): the remembered setting stays as it is.
    void muteThisRun();

  signals:
    void changed();

  private:
    void apply();

    media::SoundEngine* engine_;
    bool muted_ = false;
    int volume_ = 100;
};
