#pragma once

#include "amounts.h"

#include <array>
#include <optional>
#include <vector>

namespace game {

// How the player answered an offer.
enum class OfferAnswer {
    Unknown, // kept by a version that did not record it
    Declined,
    Accepted,
    NotAsked // money offered after money was taken: shown, never asked
};

// One offer of the banker as the player saw it.
struct OfferRecord {
    OfferRecord() = default;
    OfferRecord(bool isExchange, double money, double average)
        : exchange(isExchange), amount(money), boardAverage(average) {}

    bool exchange = false; // the exchange offer; amount is 0 then
    double amount = 0;
    double boardAverage = 0; // the average of the amounts on the board when it was made
    OfferAnswer answer = OfferAnswer::Unknown;
    // The amounts on the board when it was made, by rank; unknown in files
    // written before it was kept.
    std::optional<std::array<bool, kCaseCount>> onBoard;
    friend bool operator==(const OfferRecord& a, const OfferRecord& b) {
        return a.exchange == b.exchange && a.amount == b.amount &&
               a.boardAverage == b.boardAverage && a.answer == b.answer && a.onBoard == b.onBoard;
    }
};

// An exchange of cases the player took: what the case given away held and what
// the case taken held.
struct ExchangeRecord {
    double given = 0;
    double taken = 0;
    friend bool operator==(const ExchangeRecord& a, const ExchangeRecord& b) {
        return a.given == b.given && a.taken == b.taken;
    }
};

// What one finished game leaves for the statistics.
struct GameRecord {
    std::vector<OfferRecord> offers;
    std::optional<double> acceptedOffer; // the money the player took from the banker
    // Which of offers was accepted; unknown in files written before it was kept.
    std::optional<int> acceptedAt;
    std::vector<ExchangeRecord> exchanges;
    double ownCaseAmount = 0; // what the own case held when it was opened

    // The money taken from the banker, or else the own case's amount.
    [[nodiscard]] double winnings() const { return acceptedOffer.value_or(ownCaseAmount); }
};

// The average of the amounts whose board entry is shown; 0 when none is.
[[nodiscard]] double boardAverage(const std::array<bool, kCaseCount>& shown);

} // namespace game
