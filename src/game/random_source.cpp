#include "random_source.h"

#include <QTime>
#include <cmath>

namespace game {

int drawBelow(RandomSource& random, int n) {
    // The product is taken in double precision: for a single-precision u below 1
    // it is exact, so the result stays below n even for u = 1 - 2^-24.
    const double u = static_cast<double>(random.next());
    const int value = static_cast<int>(std::floor(u * n));
    return value < n ? value : n - 1;
}

int systemSecondsSinceMidnight() {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000;
}

TimeSeededRandom::TimeSeededRandom(std::function<int()> secondsSinceMidnight)
    : clock_(std::move(secondsSinceMidnight)) {
    reseedFromTimeOfDay();
}

void TimeSeededRandom::reseedFromTimeOfDay() {
    engine_.seed(static_cast<std::uint32_t>(clock_ ? clock_() : 0));
}

float TimeSeededRandom::next() {
    constexpr float kScale = 1.0f / 16777216.0f; // 2^-24
    return static_cast<float>(engine_() >> 8) * kScale;
}

float ReplayRandom::next() {
    if (position_ >= draws_.size()) {
        ++overdrawn_;
        return 0.0f;
    }
    return draws_[position_++];
}

void ReplayRandom::append(std::vector<float> draws) {
    draws_.insert(draws_.end(), draws.begin(), draws.end());
}

} // namespace game
