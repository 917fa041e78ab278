#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <vector>

namespace game {

// The game's one source of chance. Every draw u lies in [0, 1) with single
// precision; a draw over n values is floor(u * n), always below n.
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    // Seeds the generator anew from the time of day (seconds since midnight).
    virtual void reseedFromTimeOfDay() = 0;
    [[nodiscard]] virtual float next() = 0;
};

// floor(u * n) for the next draw u.
[[nodiscard]] int drawBelow(RandomSource& random, int n);

[[nodiscard]] int systemSecondsSinceMidnight();

// The game's own generator: 24 random bits of a Mersenne twister divided by 2^24.
class TimeSeededRandom final : public RandomSource {
  public:
    explicit TimeSeededRandom(
        std::function<int()> secondsSinceMidnight = systemSecondsSinceMidnight);
    void reseedFromTimeOfDay() override;
    [[nodiscard]] float next() override;
    void seed(std::uint32_t value) { engine_.seed(value); }

  private:
    std::function<int()> clock_;
    std::mt19937 engine_;
};

// Replays a fixed list of draws, for tests and for replaying a game. Reseeding
// is counted but changes nothing. Past the end of the list every draw is 0.
class ReplayRandom final : public RandomSource {
  public:
    ReplayRandom() = default;
    explicit ReplayRandom(std::vector<float> draws) : draws_(std::move(draws)) {}
    void reseedFromTimeOfDay() override { ++reseeds_; }
    [[nodiscard]] float next() override;

    void append(std::vector<float> draws);
    [[nodiscard]] int used() const { return static_cast<int>(position_); }
    [[nodiscard]] int remaining() const { return static_cast<int>(draws_.size() - position_); }
    [[nodiscard]] int reseeds() const { return reseeds_; }
    [[nodiscard]] int overdrawn() const { return overdrawn_; }

  private:
    std::vector<float> draws_;
    size_t position_ = 0;
    int reseeds_ = 0;
    int overdrawn_ = 0;
};

} // namespace game
