#pragma once

#include "amounts.h"

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

namespace game {

inline constexpr int kHistorySize = 6; // offers 1..6 are kept; index 0 is never used

// A place on the screen, in twips (1440 to the inch), where a case stands.
struct CaseSpot {
    int left = 0;
    int top = 0;
    friend bool operator==(const CaseSpot& a, const CaseSpot& b) {
        return a.left == b.left && a.top == b.top;
    }
};

// Everything a game remembers. It belongs to the application, not to the window:
// "Новая игра" rebuilds the window and keeps this object, so members that the
// window's load does not reset carry over into the next game (swapOfferChosen
// does so on purpose). All members start at zero, false or empty.
struct GameState {
    std::array<qint16, kCaseCount> caseAmount{}; // amount rank hidden in case i
    std::array<QString, kCaseCount> caseAmountText;
    qint16 ownCase = 0;     // the player's case; -1 while none is chosen
    qint16 openedCount = 0; // -1 before the own case is chosen, then cases opened
    qint16 currentCase = 0; // the case being opened
    bool offerTaken = false;
    bool swapOfferAllowed = false;
    bool swapOfferChosen = false; // never reset, not even by a new game
    bool swapPending = false;
    qint16 swapCase = 0;
    bool finalSwapDone = false;
    qint16 bankerStyle = 0;
    double bankFactor = 0;
    float bankRoll = 0;
    qint32 offerAmount = 0;
    qint16 remainingCount = 0;
    QString offerText; // the offer as digits, or the exchange offer "ОБМЕН"
    bool offerIsExchange = false;
    qint16 offerCount = 0;
    std::array<QString, kHistorySize + 1> offerHistory; // entries 1..6
    qint32 introStep = 0;
    quint8 caseSkin = 0;
    QString baseDir;
    qint16 historyStep = 0;

    // What the screen shows of the game; the window draws it and never reads
    // it back from its controls.
    // The amounts on the board, by rank: put up by the reveal of the board, taken
    // down when their case is opened. During the reveal this is not the same as
    // "not opened yet".
    std::array<bool, kCaseCount> boardShown{};
    std::array<bool, kCaseCount> caseOpened{};
    // Where a case was moved to (the own case's spot, or the place of the case
    // it was exchanged for); a case never moved stands in its cell of the pyramid.
    std::array<std::optional<CaseSpot>, kCaseCount> caseMovedTo{};
    // The cases left to open before the next offer, as the counter panel shows it.
    int counter = 0;
};

} // namespace game
