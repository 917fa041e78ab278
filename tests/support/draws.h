#pragma once

#include <vector>

// Draws for game::ReplayRandom that make the game come out as a test wants.

// A draw that gives exactly `value` over n values.
[[nodiscard]] inline float drawFor(int value, int n) {
    return (static_cast<float>(value) + 0.5f) / static_cast<float>(n);
}

// The exchange decision's draws at 12, 15 or 18 opened cases: threshold not
// reached, or reached with one of two saying "exchange".
inline const std::vector<float> kNoExchange = {drawFor(50, 100)};
inline const std::vector<float> kYesExchange = {drawFor(99, 100), drawFor(1, 2)};

// The draws of one offer: the exchange decision's own draws, then factor 0.5 and the roll.
[[nodiscard]] inline std::vector<float> offerDraws(std::vector<float> exchangeDraws = {},
                                                   int roll = 99) {
    exchangeDraws.push_back(0.5f);
    exchangeDraws.push_back(drawFor(roll, 100));
    return exchangeDraws;
}

// The draws of a game's load and a shuffle that puts rank i into case i.
[[nodiscard]] inline std::vector<float> identityGameDraws(int caseSkin = 2) {
    std::vector<float> draws = {drawFor(caseSkin, 3)};
    for (int i = 0; i < 22; ++i)
        draws.push_back(drawFor(i, 22));
    return draws;
}
