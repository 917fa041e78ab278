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

    void setFileName(const QString& path) override;
    [[nodiscard]] QString fileName() const override { return m_current; }
    void setPlayCount(int count) override;
    [[nodiscard]] int playCount() const override { return m_playCount; }
    [[nodiscard]] double currentPosition() const override { return m_position; }
    [[nodiscard]] double length() const override { return kClipLength; }
    void play() override;
    void stop() override { m_playing = false; }

    // Ends the current clip (looping or not) and emits clipEnded() before it returns.
    void endClip();

    // Every file set, in order, and for each the last play count set while it
    // was the current clip (a count applies to the clip then current).
    [[nodiscard]] const QStringList& history() const { return m_history; }
    [[nodiscard]] const QList<int>& playCounts() const { return m_playCounts; }
    [[nodiscard]] QString current() const { return m_current; }
    [[nodiscard]] bool isPlaying() const { return m_playing; }

    // These files behave as missing: they end at once, the signal comes queued.
    void setMissing(const QStringList& paths) { m_missing = paths; }

    // Ends every clip that plays once by itself, delayMs after it starts, from the
    // event loop. A clip set to repeat (play count 0 when its time comes) goes on,
    // as with the real player. Negative, the default: clips end only on endClip().
    void setAutoEnd(int delayMs) { m_autoEndMs = delayMs; }

    static constexpr double kClipLength = 1000;

  private:
    void start();

    QString m_current;
    QStringList m_history;
    QList<int> m_playCounts;
    QStringList m_missing;
    int m_playCount = 1;
    int m_autoEndMs = -1;
    double m_position = 0;
    bool m_playing = false;
    quint64 m_generation = 0;
};
