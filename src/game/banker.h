#pragma once

#include "amounts.h"
#include "random_source.h"
#include "rounds.h"

#include <QString>
#include <array>

namespace game {

// What the banker looks at. An amount is still on the board while its board entry
// is shown.
struct BankerInput {
    std::array<bool, kCaseCount> onBoard{};
    int openedCount = 0; // an offer point
    int bankerStyle = 0; // 0 or 1
    bool swapOfferChosen = false;
    bool swapOfferAllowed = false;
};

struct BankerOffer {
    bool swapOfferChosen = false;
    bool swapOfferAllowed = false;
    qint16 remainingCount = 0;
    qint64 offerAmount = 0; // the money, also worked out for an exchange offer
    double bankFactor = 0;
    float bankRoll = 0;
    bool isExchange = false; // the offer is the exchange of cases, not the money
};

// Base exponent of the divisor by the number of opened cases.
[[nodiscard]] double baseExponent(int openedCount);

// Whether the banker offers an exchange this time. Draws only where the number of
// opened cases calls for it; otherwise the previous decision stands.
[[nodiscard]] bool decideExchange(int openedCount, bool swapOfferChosen, RandomSource& random);

// Shapes the offer after the division by the roll R into round or eye-catching
// figures; the rules apply one after another, each to the value the earlier ones
// left. Returns the new offer; rearmsExchange tells whether the roll re-arms an
// exchange offer.
[[nodiscard]] qint64 shapeOffer(qint64 offer, int roll, bool* rearmsExchange = nullptr);

// One offer: the exchange decision, then the banker's computation. The draws are
// taken in a fixed order: exchange decision, factor, roll, and a second roll for
// the cautious banker (style 1).
[[nodiscard]] BankerOffer makeOffer(const BankerInput& input, RandomSource& random);

} // namespace game
