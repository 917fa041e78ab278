#include "step_timer.h"

#include "timings.h"

#include <algorithm>

namespace {
int speedUpFactor = 1;
} // namespace

void timings::setSpeedUp(int factor) {
    speedUpFactor = std::max(1, factor);
}

int timings::speedUp() {
    return speedUpFactor;
}

namespace game {

namespace {

class QtStepTimer final : public StepTimer {
  public:
    explicit QtStepTimer(std::function<void()> step) : StepTimer(std::move(step)) {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { fireNow(); });
    }
    void start(int intervalMs) override {
        interval_ = std::max(1, intervalMs);
        timer_.start(std::max(1, interval_ / timings::speedUp()));
    }
    void stop() override {
        interval_ = 0;
        timer_.stop();
    }

  private:
    QTimer timer_;
};

class ManualStepTimer final : public StepTimer {
  public:
    explicit ManualStepTimer(std::function<void()> step) : StepTimer(std::move(step)) {}
    void start(int intervalMs) override { interval_ = std::max(1, intervalMs); }
    void stop() override { interval_ = 0; }
};

} // namespace

std::unique_ptr<StepTimer> QtTimerSource::create(std::function<void()> step) {
    return std::make_unique<QtStepTimer>(std::move(step));
}

std::unique_ptr<StepTimer> ManualTimerSource::create(std::function<void()> step) {
    return std::make_unique<ManualStepTimer>(std::move(step));
}

} // namespace game
