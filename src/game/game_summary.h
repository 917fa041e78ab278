#pragma once

#include "game_record.h"

#include <optional>
#include <vector>

namespace game {

// One offer of a finished game, with what the player could weigh it against.
struct OfferSummary {
    int openedCount = 0; // cases opened when it was made
    bool exchange = false;
    double amount = 0;  // the money offered; 0 for an exchange
    double average = 0; // of the amounts on the board then
    // The offer against that average (0.5: half of it); none for an exchange
    // or an empty board.
    std::optional<double> shareOfAverage;
    OfferAnswer answer = OfferAnswer::Unknown;
    // Of the amountsInPlay, those above the offer: the own case, equally
    // likely to hold any of them, held more with the chance
    // amountsAbove / amountsInPlay. Both 0 for an exchange, or when the record
    // does not say which amounts were on the board.
    int amountsInPlay = 0;
    int amountsAbove = 0;
    [[nodiscard]] std::optional<double> chanceOwnCaseHigher() const {
        if (amountsInPlay == 0)
            return std::nullopt;
        return double(amountsAbove) / amountsInPlay;
    }
};

// A finished game told offer by offer, then how it ended.
struct GameSummary {
    std::vector<OfferSummary> offers;
    std::vector<ExchangeRecord> exchanges; // in the order taken
    double ownCase = 0;                    // what the own case held
    double winnings = 0;
    // What taking the money gained (above 0) or lost against the own case;
    // none when no money was taken.
    std::optional<double> dealGain;
};

[[nodiscard]] GameSummary summarizeGame(const GameRecord& record);

} // namespace game
