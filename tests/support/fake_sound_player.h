#pragma once

#include "sound_player.h"

#include <QList>
#include <QStringList>

// A silent sound player for tests: it records what the game asks for and ends
// clips only when the test says so.
class FakeSoundPlayer final : public SoundPlayer {
    Q_OBJECT
  public:
    using SoundPlayer::SoundPlayer;

    void start(const QString& path) override;
    [[nodiscard]] QString file() const override { return m_current; }
    void setLooping(bool looping) override;
    [[nodiscard]] bool isLooping() const override { return m_looping; }
    [[nodiscard]] double position() const override { return m_position; }
    [[nodiscard]] double length() const override { return kClipLength; }
    void resume() override;
    void stop() override { m_playing = false; }

    // Ends the current clip (looping or not) and emits clipEnded() before it returns.
    void endClip();

    // Every file started, in order, and for each whether it was last set to loop
    // while it was the current clip (looping applies to the clip then current).
    [[nodiscard]] const QStringList& history() const { return m_history; }
    [[nodiscard]] const QList<bool>& loopings() const { return m_loopings; }
    [[nodiscard]] QString current() const { return m_current; }
    [[nodiscard]] bool isPlaying() const { return m_playing; }

    // These files behave as missing: they end at once, the signal comes queued.
    void setMissing(const QStringList& paths) { m_missing = paths; }

    // Ends every clip that plays once by itself, delayMs after it starts, from the
    // event loop. A clip set to loop when its time comes goes on, as with the real
    // player. Negative, the default: clips end only on endClip().
    void setAutoEnd(int delayMs) { m_autoEndMs = delayMs; }

    static constexpr double kClipLength = 1000;

  private:
    void begin();

    QString m_current;
    QStringList m_history;
    QList<bool> m_loopings;
    QStringList m_missing;
    bool m_looping = false;
    int m_autoEndMs = -1;
    double m_position = 0;
    bool m_playing = false;
    quint64 m_generation = 0;
};
