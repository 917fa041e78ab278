#include "game.h"

#include "banker.h"
#include "offer_format.h"
#include "shuffle.h"
#include "timings.h"

#include <QDir>
#include <algorithm>
#include <cstdio>

namespace game {

Game::Game(RandomSource& random, TimerSource& timers, QObject* parent)
    : QObject(parent), random_(random) {
    revealTimer_ = timers.create([this] { revealNextBoardEntry(); });
    historyTimer_ = timers.create([this] { revealNextHistoryRow(); });
    ownCaseTimer_ = timers.create([this] { openOwnCase(); });
    winningsTimer_ = timers.create([this] { showWinnings(); });
}

Game::~Game() = default;

StepTimer& Game::timer(Step step) const {
    switch (step) {
    case Step::BoardReveal:
        return *revealTimer_;
    case Step::HistoryReveal:
        return *historyTimer_;
    case Step::OwnCaseWait:
        return *ownCaseTimer_;
    case Step::WinningsWait:
        break;
    }
    return *winningsTimer_;
}

void Game::setLogFile(const QString& path, const QString& shownName) {
    logFile_ = path;
    logShownName_ = shownName;
}

QString Game::logShownName() const {
    return logShownName_.isEmpty() ? QDir::toNativeSeparators(log_.path()) : logShownName_;
}

std::optional<GameRecord> Game::decidedRecord() const {
    if (!isInProgress() || s.ownCase < 0 || (!s.offerTaken && phase_ != Phase::EndOfGame))
        return std::nullopt;
    GameRecord record = record_;
    record.ownCaseAmount = amountValue(s.caseAmount[static_cast<size_t>(s.ownCase)]);
    return record;
}

void Game::newGame() {
    for (StepTimer* t :
         {revealTimer_.get(), historyTimer_.get(), ownCaseTimer_.get(), winningsTimer_.get()})
        t->stop();
    waitingForCue_ = false;
    cueEnded_ = false;
    historyShown_ = false;
    revealStep_ = 0;
    historyStep_ = 0;
    casesEnabled_ = false;
    logFailureShown_ = false;
    record_ = {};

    // Every case closed in its cell, and the first count.
    s.caseOpened.fill(false);
    for (int i = 0; i < kCaseCount; ++i)
        s.casePlace[static_cast<size_t>(i)] = i;
    s.counter = kFirstRoundCount;
    s.swapOfferAllowed = true;
    s.swapPending = false;
    s.finalSwapDone = false;

    // The log is kept in the directory the game is loaded in.
    log_.setPath(logFile_.value_or(QDir::current().filePath(QStringLiteral("log.txt"))));
    if (!log_.reset()) {
        // The game can be played without its log; say so once and go on.
        std::fprintf(stderr, "zorban: cannot empty the game log %s: %s\n",
                     qPrintable(logShownName()), qPrintable(log_.lastError()));
    }

    s.offerCount = 0;
    s.boardShown.fill(false);
    s.openedCount = -1;
    s.ownCase = -1;
    random_.reseedFromTimeOfDay();
    s.caseSkin = static_cast<quint8>(drawBelow(random_, 3));
    phase_ = Phase::Loaded;
}

// The one place where the phase changes; each phase that waits for something
// starts its wait here.
void Game::enterPhase(Phase phase) {
    phase_ = phase;
    switch (phase) {
    case Phase::ChoosingOwnCase:
        revealTimer_->start(timings::kOpeningFirstTick);
        break;
    case Phase::Suspense:
    case Phase::OfferPending:
        waitingForCue_ = true;
        break;
    case Phase::EndOfGame:
        ownCaseTimer_->start(timings::kEndPhasePoll);
        break;
    case Phase::Loaded:
    case Phase::WaitingForClick:
    case Phase::OfferShown:
    case Phase::ExchangePick:
    case Phase::GameOver:
        break;
    }
    emit phaseChanged(phase);
}

void Game::setCasesEnabled(bool enabled) {
    casesEnabled_ = enabled;
    emit casesEnabledChanged(enabled);
}

void Game::showBoardAmount(int rank, bool shown) {
    s.boardShown[static_cast<size_t>(rank)] = shown;
    emit boardAmountShown(rank, shown);
}

void Game::moveCase(int caseIndex, int place) {
    s.casePlace[static_cast<size_t>(caseIndex)] = place;
    emit caseMoved(caseIndex, place);
}

void Game::playCue(Cue which, int rank) {
    cueEnded_ = false;
    emit cue(which, rank);
}

void Game::cueEnded() {
    cueEnded_ = true;
    if (!waitingForCue_)
        return;
    if (phase_ == Phase::Suspense) {
        waitingForCue_ = false;
        openCurrentCase();
    } else if (phase_ == Phase::OfferPending) {
        waitingForCue_ = false;
        playCue(Cue::Banker);
        emit cueLooping(true);
        random_.reseedFromTimeOfDay();
        makeOffer();
        showOffer();
    }
}

void Game::writeLog(const QString& record) {
    if (log_.append(record) || logFailureShown_)
        return;
    logFailureShown_ = true;
    std::fprintf(stderr, "zorban: cannot write the game log %s: %s\n", qPrintable(logShownName()),
                 qPrintable(log_.lastError()));
    emit logWriteFailed(logShownName(), log_.lastError());
}

// Starting a game and the reveal of the board.

void Game::start() {
    if (phase_ != Phase::Loaded)
        return;
    revealStep_ = -1;
    setCasesEnabled(true);
    shuffle(s, random_);
    emit started();
    enterPhase(Phase::ChoosingOwnCase);
}

// One entry of the board, from the top amount down, every 75 ms after the first
// half second; the prompt to choose comes with the last one, unless the own case
// was chosen before.
void Game::revealNextBoardEntry() {
    if (revealStep_ >= 0 && revealStep_ < kCaseCount) {
        if (revealStep_ == 0)
            playCue(Cue::BoardReveal);
        revealTimer_->start(timings::kOpeningStep);
        const int k = kCaseCount - 1 - revealStep_;
        emit boardPlateRevealed(k);
        // A case can be opened before the reveal is over (once the own case is
        // chosen); its amount has left the board and is not put back.
        bool opened = false;
        for (int i = 0; i < kCaseCount; ++i) {
            if (s.caseAmount[static_cast<size_t>(i)] == k && i != s.ownCase)
                opened = s.caseOpened[static_cast<size_t>(i)];
        }
        if (!opened)
            showBoardAmount(k, true);
        if (revealStep_ == kCaseCount - 1) {
            if (s.openedCount == -1)
                emit ownCasePrompted();
            revealTimer_->stop();
        }
    }
    if (revealStep_ < kCaseCount)
        ++revealStep_;
}

void Game::askNewGame() {
    if (phase_ != Phase::GameOver)
        return;
    enterPhase(Phase::Loaded);
    emit newGameRequested();
}

// Choosing the own case and opening the others.

void Game::pressCase(int index) {
    if (index < 0 || index >= kCaseCount)
        return;
    if (!casesEnabled_ || s.caseOpened[static_cast<size_t>(index)])
        return;
    // The steps below test the state as it was at the press: no step changes
    // what a later one tests.
    const bool chosen = s.openedCount != -1;
    const bool otherCase = index != s.ownCase;
    const bool pending = s.swapPending;

    if (chosen && otherCase && !pending) {
        // The counter is set for the count left after this opening and stays
        // hidden until the opening is over.
        setCasesEnabled(false);
        const CounterPanel panel = counterAfterClick(s.counter, s.openedCount);
        s.counter = panel.count;
        emit counterChanged(panel.count, panel.words);
        emit counterShown(false);
    }

    if (chosen && otherCase && !s.offerTaken && !pending) {
        s.currentCase = static_cast<qint16>(index);
        playCue(s.finalSwapDone ? Cue::SuspenseAfterFinalSwap : Cue::Suspense);
        emit cueLooping(false);
        enterPhase(Phase::Suspense);
        emit historyCovered();
        s.finalSwapDone = false;
    } else if (chosen && otherCase && s.offerTaken && !pending) {
        // Once money is taken a case opens at once.
        s.currentCase = static_cast<qint16>(index);
        openCurrentCase();
    }

    if (!chosen) {
        emit counterChanged(s.counter, kFirstRoundWords);
        emit counterShown(true);
        playCue(Cue::OwnCase);
        random_.reseedFromTimeOfDay();
        s.bankerStyle = static_cast<qint16>(drawBelow(random_, 2));
        s.ownCase = static_cast<qint16>(index);
        moveCase(index, kOwnCasePlace);
        s.openedCount = 0;
        emit ownCaseChosen(index);
        enterPhase(Phase::WaitingForClick);
    }

    if (pending) {
        s.swapCase = static_cast<qint16>(index);
        swapOwnCase();
        s.swapPending = false;
        emit promptHidden();
        enterPhase(Phase::WaitingForClick);
    }
}

void Game::addToHistory() {
    ++s.offerCount;
    if (s.offerCount <= kHistorySize)
        s.offerHistory[static_cast<size_t>(s.offerCount)] = s.offer;
}

void Game::openCurrentCase() {
    if (s.offerTaken && isOfferPoint(s.openedCount)) {
        // The offer still on show after money was accepted is put away and
        // recorded.
        emit offerAmountHidden();
        emit offerPanelClosed();
        addToHistory();
        hideHistory();
    }

    if (s.currentCase == s.ownCase || s.openedCount < 0)
        return;

    const int i = s.currentCase;
    const int rank = s.caseAmount[static_cast<size_t>(i)];
    s.caseOpened[static_cast<size_t>(i)] = true;
    emit caseOpened(i, rank);
    emit cueLooping(false);
    playCue(Cue::Amount, rank);
    writeLog(records::amount(amountText(rank)));
    showBoardAmount(rank, false);
    ++s.openedCount;

    switch (afterOpening(s.openedCount)) {
    case AfterOpening::NextCase:
        setCasesEnabled(true);
        emit counterShown(true);
        enterPhase(Phase::WaitingForClick);
        break;
    case AfterOpening::Offer:
        enterPhase(Phase::OfferPending);
        break;
    case AfterOpening::EndOfGame:
        enterPhase(Phase::EndOfGame);
        break;
    }
}

// The banker's offer and the answer.

void Game::makeOffer() {
    BankerInput input;
    // The banker counts what is still on the board: an amount leaves it when its
    // case is opened.
    input.onBoard = s.boardShown;
    input.openedCount = s.openedCount;
    input.bankerStyle = s.bankerStyle;
    input.swapOfferChosen = s.swapOfferChosen;
    input.swapOfferAllowed = s.swapOfferAllowed;

    const BankerOffer offer = game::makeOffer(input, random_);
    s.swapOfferChosen = offer.swapOfferChosen;
    s.swapOfferAllowed = offer.swapOfferAllowed;
    s.remainingCount = offer.remainingCount;
    s.bankFactor = offer.bankFactor;
    s.bankRoll = offer.bankRoll;
    s.offer = {offer.isExchange, offer.offerAmount};
    record_.offers.push_back({s.offer.exchange,
                              s.offer.exchange ? 0 : static_cast<double>(s.offer.amount),
                              boardAverage(s.boardShown)});
}

void Game::showOffer() {
    if (s.offerCount > 0) {
        historyShown_ = true;
        emit historyOpened();
        historyStep_ = 0;
        historyTimer_->start(timings::kHistoryStep);
    }
    emit offerShown(s.offer);
    if (!s.offer.exchange && s.offerTaken) {
        setCasesEnabled(true);
        enterPhase(Phase::WaitingForClick);
    } else {
        setCasesEnabled(false);
        emit answerButtonsShown(true);
        enterPhase(Phase::OfferShown);
    }
    writeLog(records::offer(formatOffer(s.offer)));
}

// The earlier offers, the latest first, one row every 100 ms.
void Game::revealNextHistoryRow() {
    // An answer, or the next opening, may have put the history away already.
    if (!historyShown_) {
        historyTimer_->stop();
        return;
    }
    const int n = std::min<int>(s.offerCount, kHistorySize);
    const int lastRow = std::min(n, kHistoryRowsShown) - 1;
    if (historyStep_ <= lastRow)
        emit historyRowShown(historyStep_, s.offerHistory[static_cast<size_t>(n - historyStep_)]);
    if (historyStep_ >= lastRow)
        historyTimer_->stop();
    ++historyStep_;
}

void Game::hideHistory() {
    historyShown_ = false;
    emit historyHidden();
}

void Game::accept() {
    if (phase_ != Phase::OfferShown)
        return;
    emit answered(true);
    setCasesEnabled(true);
    emit offerPanelClosed();
    emit answerButtonsShown(false);
    hideHistory();

    if (s.openedCount == kLastOfferPoint && s.offer.exchange) {
        playCue(Cue::Exchange);
        emit cueLooping(true);
        swapOwnCase();
        enterPhase(Phase::WaitingForClick);
    }
    if (s.openedCount < kLastOfferPoint && s.offer.exchange) {
        addToHistory();
        playCue(Cue::Exchange);
        emit cueLooping(true);
        s.swapPending = true;
        emit exchangePrompted();
        enterPhase(Phase::ExchangePick);
    }
    if (!s.offer.exchange) {
        if (s.openedCount < kLastOfferPoint)
            emit counterShown(true);
        emit cueLooping(false);
        playCue(Cue::Winnings);
        s.offerTaken = true;
        record_.acceptedOffer = static_cast<double>(s.offer.amount);
        record_.acceptedAt = static_cast<int>(record_.offers.size()) - 1;
        emit offerAccepted(s.offer.amount);
        writeLog(records::accepted());
        enterPhase(Phase::WaitingForClick);
    }
}

void Game::decline() {
    if (phase_ != Phase::OfferShown)
        return;
    emit answered(false);
    hideHistory();
    emit offerPanelClosed();
    if (s.openedCount < kLastOfferPoint)
        emit counterShown(true);
    emit cueLooping(false);
    playCue(Cue::Declined);
    setCasesEnabled(true);
    addToHistory();
    if (s.offer.exchange)
        s.swapOfferAllowed = false;
    emit offerAmountHidden();
    emit answerButtonsShown(false);
    writeLog(records::declined());
    enterPhase(Phase::WaitingForClick);
}

// The exchange and the end.

void Game::swapOwnCase() {
    if (s.openedCount == kLastOfferPoint) {
        // The one closed case left besides the own case is taken.
        for (int i = 0; i < kCaseCount; ++i) {
            if (i != s.ownCase && !s.caseOpened[static_cast<size_t>(i)])
                s.swapCase = static_cast<qint16>(i);
        }
    }
    emit offerAmountHidden();
    const int taken = s.swapCase;
    const int former = s.ownCase;
    record_.exchanges.push_back({amountValue(s.caseAmount[static_cast<size_t>(former)]),
                                 amountValue(s.caseAmount[static_cast<size_t>(taken)])});
    // The former own case goes where the taken one stood.
    const int takenFrom = s.casePlace[static_cast<size_t>(taken)];
    moveCase(taken, kOwnCasePlace);
    moveCase(former, takenFrom);
    if (s.openedCount == kLastOfferPoint)
        s.finalSwapDone = true;
    s.ownCase = s.swapCase;
    s.swapCase = 0;
    s.swapOfferAllowed = false;
    emit casesExchanged(former, taken);
}

// Polled once a second after the last opening: once its sound has ended, the
// own case opens.
void Game::openOwnCase() {
    if (!cueEnded_)
        return;
    playCue(Cue::OwnCase);
    s.caseOpened[static_cast<size_t>(s.ownCase)] = true;
    emit ownCaseOpened(s.ownCase);
    if (!s.offerTaken) {
        for (int r = kCaseCount - 1; r >= 0; --r) {
            if (s.boardShown[static_cast<size_t>(r)]) {
                emit winningsFromBoard(r);
                break;
            }
        }
    }
    // The winnings follow the own case's sound, within the same phase.
    winningsTimer_->start(timings::kEndPhasePoll);
    ownCaseTimer_->stop();
}

// Polled once a second: once the own case's sound has ended, the winnings.
void Game::showWinnings() {
    if (!cueEnded_)
        return;
    playCue(Cue::Winnings);
    emit cueResumed();
    emit winningsShown();
    writeLog(records::ownCase(amountText(s.caseAmount[static_cast<size_t>(s.ownCase)])));
    winningsTimer_->stop();
    enterPhase(Phase::GameOver);
    record_.ownCaseAmount = amountValue(s.caseAmount[static_cast<size_t>(s.ownCase)]);
    emit gameFinished(record_);
}

} // namespace game
