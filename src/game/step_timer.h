#pragma once

#include <QTimer>
#include <functional>
#include <memory>

namespace game {

// A timed step of the game: idle until started, then it runs its step every
// interval until stopped. Starting it again restarts it.
class StepTimer {
  public:
    virtual ~StepTimer() = default;
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    [[nodiscard]] bool isRunning() const { return interval_ > 0; }
    // The designed interval (0 while stopped), also while the steps are sped up.
    [[nodiscard]] int interval() const { return interval_; }
    // Runs the step now, as the timer does when its time comes.
    void fireNow() {
        if (step_)
            step_();
    }

  protected:
    explicit StepTimer(std::function<void()> step) : step_(std::move(step)) {}
    int interval_ = 0;

  private:
    std::function<void()> step_;
};

// Where the game's timed steps come from.
class TimerSource {
  public:
    virtual ~TimerSource() = default;
    [[nodiscard]] virtual std::unique_ptr<StepTimer> create(std::function<void()> step) = 0;
};

// Steps timed by QTimer, in real time (or sped up for tests, timings.h).
class QtTimerSource final : public TimerSource {
  public:
    [[nodiscard]] std::unique_ptr<StepTimer> create(std::function<void()> step) override;
};

// Steps that run only when a test fires them: a whole game at full speed,
// deterministic.
class ManualTimerSource final : public TimerSource {
  public:
    [[nodiscard]] std::unique_ptr<StepTimer> create(std::function<void()> step) override;
};

} // namespace game
