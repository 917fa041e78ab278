#pragma once

#include "amounts.h"

#include <QtGlobal>
#include <array>

namespace game {

inline constexpr int kHistorySize = 6; // offers 1..6 are kept; index 0 is never used
// The earlier offers shown beside a new one, the latest first.
inline constexpr int kHistoryRowsShown = 5;

// One offer of the banker: money, or the exchange of cases.
struct Offer {
    bool exchange = false;
    qint64 amount = 0; // the money worked out, also for an exchange offer
    friend bool operator==(const Offer& a, const Offer& b) {
        return a.exchange == b.exchange && a.amount == b.amount;
    }
};

// Where a case stands: in the cell of the pyramid of the case of that index, or
// at the own case's place.
inline constexpr int kOwnCasePlace = -1;

// Everything a game remembers. It belongs to the game (game::Game), which
// outlives the windows: a new game resets some members and keeps the others,
// so members that the load of a game does not reset carry over into the next
// game (swapOfferChosen does so on purpose). All members start at zero, false
// or empty.
struct GameState {
    std::array<qint16, kCaseCount> caseAmount{}; // amount rank hidden in case i
    qint16 ownCase = 0;                          // the player's case; -1 while none is chosen
    qint16 openedCount = 0;                      // cases opened, the own case never counted
    qint16 currentCase = 0;                      // the case being opened
    bool offerTaken = false;
    bool swapOfferAllowed = false;
    bool swapOfferChosen = false; // never reset, not even by a new game
    bool finalSwapDone = false;
    qint16 bankerStyle = 0;
    Offer offer; // the latest offer
    qint16 offerCount = 0;
    std::array<Offer, kHistorySize + 1> offerHistory{}; // entries 1..6
    quint8 caseSkin = 0; // the arrangement of the numbered plates (rounds.h)

    // The amounts on the board, by rank: put up by the reveal of the board, taken
    // down when their case is opened. During the reveal this is not the same as
    // "not opened yet".
    std::array<bool, kCaseCount> boardShown{};
    std::array<bool, kCaseCount> caseOpened{};
    // Where each case stands (kOwnCasePlace, or the index of the cell); a case
    // moves to the own case's place when chosen, and the former own case to the
    // place of the case it was exchanged for.
    std::array<int, kCaseCount> casePlace{};
    // The cases left to open before the next offer, as the counter panel shows it.
    int counter = 0;
};

} // namespace game
