#pragma once

#include "sound_player.h"

#include <QTimer>
#include <chrono>
#include <memory>

namespace media {

struct SoundCore;

// A player of the sound engine. Its clips are timed on the game's monotonic
// clock from the moment they start and their decoded length: the position runs
// from 0 to the length and stays there once a clip that plays once has ended,
// whatever the audio device does. A clip waiting to be decoded stands at 0.
class EngineSoundPlayer final : public SoundPlayer {
    Q_OBJECT
  public:
    explicit EngineSoundPlayer(std::shared_ptr<SoundCore> core);
    ~EngineSoundPlayer() override;

    void start(const QString& path) override;
    [[nodiscard]] QString file() const override { return path_; }
    void setLooping(bool looping) override;
    [[nodiscard]] bool isLooping() const override { return loopWanted_; }
    [[nodiscard]] double position() const override;
    [[nodiscard]] double length() const override;
    void resume() override;
    void stop() override;

    // The engine has decoded (or failed to decode) this file.
    void fileDecoded(const QString& absolutePath);

  private:
    using Clock = std::chrono::steady_clock;
    enum class State { Idle, Waiting, Playing, Stopped, Ended };

    void beginClip();
    void startPlaying(quint64 clipId, double lengthMs);
    void endAtOnce();
    void sendStart();
    void armEndTimer();
    void onEndTimer();
    [[nodiscard]] double elapsedMs() const;
    [[nodiscard]] double positionNow() const;

    std::shared_ptr<SoundCore> core_;
    int channel_;
    QString path_;
    QString waitingFor_;      // the absolute path of a clip still being decoded
    bool loopWanted_ = false; // as last set; looping_ is what the current clip does
    State state_ = State::Idle;
    // Counts the clips begun, so that news for a replaced clip is dropped.
    quint64 generation_ = 0;
    quint64 clipId_ = 0;
    double lengthMs_ = 0;
    bool looping_ = false;
    // Where, from the start, the last pass of the clip begins: 0 for a clip that
    // plays once, a whole number of lengths for a loop told to play once more.
    double lastPassMs_ = 0;
    double stoppedAtMs_ = 0;
    Clock::time_point startedAt_;
    // The start is handed to the audio thread once the current handler is done,
    // so that looping set right after the file applies from the first sample.
    bool startQueued_ = false;
    QTimer endTimer_;
};

} // namespace media
