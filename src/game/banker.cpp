#include "banker.h"

#include "rounds.h"

#include <algorithm>
#include <cmath>

namespace game {

namespace {

// Rounds to the nearest integer, halves to the even one.
double roundHalfEven(double value) {
    return std::nearbyint(value);
}

} // namespace

double baseExponent(int openedCount) {
    const OfferPoint* point = offerPoint(openedCount);
    return point ? point->exponent : kOfferPoints.front().exponent;
}

bool decideExchange(int openedCount, bool swapOfferChosen, RandomSource& random) {
    if (openedCount == kLastOfferPoint)
        return drawBelow(random, 2) != 0;
    const OfferPoint* point = offerPoint(openedCount);
    if (point && point->exchangeRollAbove >= 0) {
        const int roll = drawBelow(random, 100);
        if (roll > point->exchangeRollAbove)
            return drawBelow(random, 2) != 0;
    }
    return swapOfferChosen;
}

qint64 shapeOffer(qint64 x, int r, bool* rearmsExchange) {
    if (rearmsExchange)
        *rearmsExchange = false;
    if (x >= 100 && x < 1000)
        x = (x / 100) * 100;
    if (x >= 1000)
        x = (x / 100) * 100; // with the rule above: every offer of 100 or more is whole hundreds
    if (r > 10 && x >= 1000)
        x = (x / 1000) * 1000;
    if (r >= 10 && r <= 18 && r % 2 == 0 && x >= 1000)
        x += 900;
    if (r >= 18 && r < 22 && x >= 1000)
        x += 999;
    if (r >= 22 && r < 25 && x >= 10000)
        x = (x / 1000) * 1001;
    if (r == 25)
        x += 1;
    if (r > 25 && r <= 28 && x >= 10000 && x < 100000)
        x = (x / 10000) * 11111;
    if (r >= 29 && r <= 31 && x >= 10000 && x < 100000)
        x = (x / 10000) * 10101;
    if (r >= 32 && r <= 34 && rearmsExchange)
        *rearmsExchange = true;
    if (r > 34 && r <= 36 && x >= 100000 && x < 1000000)
        x = (x / 100000) * 111111;
    if (r >= 37 && r <= 38 && x >= 100000 && x < 1000000)
        x = (x / 100000) * 101010;
    if (r >= 39 && r <= 50 && x >= 1000000 && x < 1200000)
        x = 999999;
    if (r >= 53 && r <= 54 && x > 10 && x < 50)
        x = 49;
    if (r >= 55 && r <= 56 && x < 10)
        x = 10;
    if (r >= 57 && r <= 58 && x > 80 && x < 100)
        x = 100;
    if (r == 63 && x == 0)
        x = 1;
    if (r >= 64 && r <= 68 && x >= 6500 && x < 10000)
        x = 7755;
    if (r >= 69 && r <= 72 && x >= 100000 && x < 1000000)
        x = (x / 10000) * 11111 + (x / 100000) * 100000;
    if (r == 73 && x >= 1000 && x < 10000) {
        const qint64 q = x / 1000;
        x = 1000 * q + 100 * (q + 1) + 10 * (q + 2) + (q + 3);
    }
    if (r == 74 && x >= 10000 && x < 100000) {
        const qint64 q = x / 10000;
        x = 10000 * q + 1000 * (q + 1) + 100 * (q + 2) + 10 * (q + 3) + (q + 4);
    }
    if (r == 75 && x >= 100000 && x < 1000000) {
        const qint64 q = x / 100000;
        x = 100000 * q + 10000 * (q + 1) + 1000 * (q + 2) + 100 * (q + 3) + 10 * (q + 4) + (q + 5);
    }
    return x;
}

BankerOffer makeOffer(const BankerInput& input, RandomSource& random) {
    BankerOffer offer;
    offer.swapOfferAllowed = input.swapOfferAllowed;
    offer.swapOfferChosen = decideExchange(input.openedCount, input.swapOfferChosen, random);

    // The running total is rounded after every addition, so 0.01 and 0.1 add nothing.
    qint64 sum = 0;
    for (int k = 0; k < kCaseCount; ++k) {
        if (!input.onBoard[static_cast<size_t>(k)])
            continue;
        sum = static_cast<qint64>(roundHalfEven(static_cast<double>(sum) + amountValue(k)));
        ++offer.remainingCount;
    }

    const double u1 = static_cast<double>(random.next());
    offer.bankFactor = 0.2 * u1 - 0.1;
    for (int k = 0; k < kCaseCount; ++k) {
        if (input.onBoard[static_cast<size_t>(k)])
            offer.bankFactor += k <= kLowHalfTopRank ? 0.02 : -0.02;
    }
    if (sum < 2000)
        offer.bankFactor = 0;

    const double exponent = baseExponent(input.openedCount) + offer.bankFactor;
    // With nothing left on the board the divisor would be 0; it is never below 1.
    const auto divisor = std::max<qint64>(
        1, static_cast<qint64>(roundHalfEven(std::pow(offer.remainingCount, exponent))));
    qint64 x = sum / divisor;

    int roll = drawBelow(random, 100);
    if (input.bankerStyle == 1)
        roll = drawBelow(random, 20);
    offer.bankRoll = static_cast<float>(roll);

    bool rearms = false;
    x = shapeOffer(x, roll, &rearms);
    if (rearms)
        offer.swapOfferAllowed = true;
    offer.offerAmount = x;

    const bool exchangePoint =
        input.openedCount >= kFirstExchangePoint && isOfferPoint(input.openedCount);
    offer.isExchange = exchangePoint && offer.swapOfferChosen && offer.swapOfferAllowed;
    return offer;
}

} // namespace game
