#include "game_summary.h"

#include "rounds.h"

namespace game {

namespace {

// The answer where the record has none (files of earlier versions): money is
// told by which offer was taken; an exchange stays unknown.
OfferAnswer answerOf(const GameRecord& record, int index) {
    const OfferRecord& offer = record.offers[static_cast<size_t>(index)];
    if (offer.answer != OfferAnswer::Unknown || offer.exchange)
        return offer.answer;
    if (!record.acceptedOffer)
        return OfferAnswer::Declined;
    if (!record.acceptedAt)
        return OfferAnswer::Unknown;
    if (index < *record.acceptedAt)
        return OfferAnswer::Declined;
    return index == *record.acceptedAt ? OfferAnswer::Accepted : OfferAnswer::NotAsked;
}

} // namespace

GameSummary summarizeGame(const GameRecord& record) {
    GameSummary summary;
    const int count = static_cast<int>(record.offers.size());
    for (int i = 0; i < count; ++i) {
        const OfferRecord& offer = record.offers[static_cast<size_t>(i)];
        OfferSummary told;
        // The banker makes an offer at every offer point, in order.
        if (i < kOffersPerGame)
            told.openedCount = kOfferPoints[static_cast<size_t>(i)].openedCount;
        told.exchange = offer.exchange;
        told.amount = offer.amount;
        told.average = offer.boardAverage;
        told.answer = answerOf(record, i);
        if (!offer.exchange && offer.boardAverage > 0)
            told.shareOfAverage = offer.amount / offer.boardAverage;
        if (!offer.exchange && offer.onBoard) {
            for (int rank = 0; rank < kCaseCount; ++rank) {
                if (!(*offer.onBoard)[static_cast<size_t>(rank)])
                    continue;
                ++told.amountsInPlay;
                if (amountValue(rank) > offer.amount)
                    ++told.amountsAbove;
            }
        }
        summary.offers.push_back(told);
    }
    summary.exchanges = record.exchanges;
    summary.ownCase = record.ownCaseAmount;
    summary.winnings = record.winnings();
    if (record.acceptedOffer)
        summary.dealGain = *record.acceptedOffer - record.ownCaseAmount;
    return summary;
}

} // namespace game
