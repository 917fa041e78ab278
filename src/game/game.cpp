#include "game.h"

#include "banker.h"
#include "offer_format.h"
#include "shuffle.h"
#include "timings.h"

#include <QDir>
#include <algorithm>
#include <cstdio>
#include <utility>

namespace game {

Game::Game(RandomSource& random, TimerSource& timers, QObject* parent)
    : QObject(parent), random_(random) {
    revealTimer_ = timers.create([this] { revealNextBoardEntry(); });
    historyTimer_ = timers.create([this] { revealNextHistoryRow(); });
    ownCaseTimer_ = timers.create([this] { openOwnCase(); });
    winningsTimer_ = timers.create([this] { showWinnings(); });
    soundCutTimer_ = timers.create([this] {
        soundCutTimer_->stop();
        cueEnded();
    });
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
        return *winningsTimer_;
    case Step::SoundCut:
        break;
    }
    return *soundCutTimer_;
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
    for (StepTimer* t : {revealTimer_.get(), historyTimer_.get(), ownCaseTimer_.get(),
                         winningsTimer_.get(), soundCutTimer_.get()})
        t->stop();
    historyShown_ = false;
    revealStep_ = 0;
    historyStep_ = 0;
    casesEnabled_ = false;
    record_ = {};

    // Every case closed in its cell, and the first count.
    s.caseOpened.fill(false);
    for (int i = 0; i < kCaseCount; ++i)
        s.casePlace[static_cast<size_t>(i)] = i;
    s.counter = kFirstRoundCount;
    s.swapOfferAllowed = true;
    s.finalSwapDone = false;

    // The log is kept in the directory the game is loaded in.
    log_.setPath(logFile_.value_or(QDir::current().filePath(QStringLiteral("log.txt"))));
    if (!log_.reset() && !std::exchange(logResetFailureShown_, true)) {
        // The game can be played without its log; say so once and go on.
        std::fprintf(stderr, "zorban: cannot empty the game log %s: %s\n",
                     qPrintable(logShownName()), qPrintable(log_.lastError()));
    }

    s.offerCount = 0;
    s.boardShown.fill(false);
    s.openedCount = 0;
    s.ownCase = -1;
    random_.reseedFromTimeOfDay();
    s.caseSkin = static_cast<quint8>(drawBelow(random_, 3));
    phase_ = Phase::Loaded;
    emit newGameLoaded();
}

// The one place where the phase changes; each phase that waits for something
// starts its wait here.
void Game::enterPhase(Phase phase) {
    phase_ = phase;
    switch (phase) {
    case Phase::ChoosingOwnCase:
        revealTimer_->start(quickPace_ ? timings::kQuickOpeningFirstTick
                                       : timings::kOpeningFirstTick);
        break;
    case Phase::EndOfGame:
        endWaitClock_.start();
        break;
    case Phase::Loaded:
    case Phase::Suspense:
    case Phase::OfferPending:
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
    soundCutTimer_->stop();
    emit cue(which, rank);
    if (!quickPace_)
        return;
    switch (which) {
    case Cue::Suspense:
    case Cue::SuspenseAfterFinalSwap:
        soundCutTimer_->start(timings::kQuickSuspense);
        break;
    case Cue::Amount:
    case Cue::OwnCase:
        soundCutTimer_->start(timings::kQuickSoundWait);
        break;
    default:
        break;
    }
}

void Game::setQuickPace(bool quick) {
    if (quick == quickPace_)
        return;
    quickPace_ = quick;
    emit paceChanged(quick);
}

void Game::skipSuspense() {
    if (phase_ == Phase::Suspense)
        cueEnded();
}

void Game::cueEnded() {
    switch (phase_) {
    case Phase::Suspense:
        openCurrentCase();
        break;
    case Phase::OfferPending:
        playCue(Cue::Banker);
        emit cueLooping(true);
        random_.reseedFromTimeOfDay();
        makeOffer();
        showOffer();
        break;
    case Phase::EndOfGame:
        // The last opening's sound, then the own case's.
        if (ownCaseTimer_->isRunning() || winningsTimer_->isRunning())
            break;
        waitForNextWholeSecond(s.caseOpened[static_cast<size_t>(s.ownCase)] ? *winningsTimer_
                                                                            : *ownCaseTimer_);
        break;
    case Phase::Loaded:
    case Phase::ChoosingOwnCase:
    case Phase::WaitingForClick:
    case Phase::OfferShown:
    case Phase::ExchangePick:
    case Phase::GameOver:
        break;
    }
}

// Each step of the end comes on a whole second counted from the start of its
// wait, the first one after the sound before it has ended.
void Game::waitForNextWholeSecond(StepTimer& timer) {
    const qint64 waited = endWaitClock_.elapsed() * timings::speedUp();
    const int beat = quickPace_ ? timings::kQuickEndStepBeat : timings::kEndStepBeat;
    timer.start(static_cast<int>(beat - waited % beat));
}

void Game::writeLog(const QString& record) {
    if (log_.append(record) || logFailureShown_)
        return;
    logFailureShown_ = true;
    std::fprintf(stderr, "zorban: cannot write the game log %s: %s\n", qPrintable(logShownName()),
                 qPrintable(log_.lastError()));
    emit logWriteFailed(logShownName(), log_.lastError(), log_.lastProblem());
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

// One entry of the board, from the top amount down: the first tick, half a
// second after "Начать игру", only counts; the top entry and the music come with
// the second, at one second, and the next entries every 75 ms, the last at
// 2575 ms. The prompt to choose comes with the last one, unless the own case was
// chosen before.
void Game::revealNextBoardEntry() {
    // At the quick pace the whole board in one step.
    do {
        revealBoardEntry();
    } while (quickPace_ && revealStep_ >= 0 && revealStep_ < kCaseCount);
}

void Game::revealBoardEntry() {
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
            if (phase_ == Phase::ChoosingOwnCase)
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

PressKind Game::pressKind(int index) const {
    if (index < 0 || index >= kCaseCount || !casesEnabled_ ||
        s.caseOpened[static_cast<size_t>(index)])
        return PressKind::Nothing;
    switch (phase_) {
    case Phase::ChoosingOwnCase:
        return PressKind::ChooseOwnCase;
    case Phase::WaitingForClick:
        return index == s.ownCase ? PressKind::Nothing : PressKind::Open;
    case Phase::ExchangePick:
        return PressKind::TakeInExchange;
    case Phase::Loaded:
    case Phase::Suspense:
    case Phase::OfferPending:
    case Phase::OfferShown:
    case Phase::EndOfGame:
    case Phase::GameOver:
        break;
    }
    return PressKind::Nothing;
}

void Game::pressCase(int index) {
    switch (pressKind(index)) {
    case PressKind::Nothing:
        break;
    case PressKind::ChooseOwnCase:
        chooseOwnCase(index);
        break;
    case PressKind::Open:
        openCase(index);
        break;
    case PressKind::TakeInExchange:
        takeInExchange(index);
        break;
    }
}

void Game::chooseOwnCase(int index) {
    emit counterChanged(s.counter);
    emit counterShown(true);
    playCue(Cue::OwnCase);
    random_.reseedFromTimeOfDay();
    s.bankerStyle = static_cast<qint16>(drawBelow(random_, 2));
    s.ownCase = static_cast<qint16>(index);
    moveCase(index, kOwnCasePlace);
    emit ownCaseChosen(index);
    enterPhase(Phase::WaitingForClick);
}

void Game::openCase(int index) {
    // The counter is set for the count left after this opening and stays
    // hidden until the opening is over. A case opened at once (once money is
    // taken) leaves the cases taking presses unless the round ends: disabling
    // and enabling them in one step is a flood of changes to a screen reader,
    // which then drops what the opening says.
    if (!s.offerTaken)
        setCasesEnabled(false);
    s.counter = counterAfterClick(s.counter, s.openedCount);
    emit counterChanged(s.counter);
    emit counterShown(false);
    s.currentCase = static_cast<qint16>(index);
    if (s.offerTaken) {
        // Once money is taken a case opens at once.
        openCurrentCase();
        return;
    }
    playCue(s.finalSwapDone ? Cue::SuspenseAfterFinalSwap : Cue::Suspense);
    emit cueLooping(false);
    enterPhase(Phase::Suspense);
    emit historyCovered();
    s.finalSwapDone = false;
}

void Game::takeInExchange(int index) {
    swapOwnCase(index);
    emit promptHidden();
    enterPhase(Phase::WaitingForClick);
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
        if (casesEnabled_)
            setCasesEnabled(false);
        enterPhase(Phase::OfferPending);
        break;
    case AfterOpening::EndOfGame:
        if (casesEnabled_)
            setCasesEnabled(false);
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
    s.offer = {offer.isExchange, offer.offerAmount};
    OfferRecord made;
    made.exchange = s.offer.exchange;
    made.amount = s.offer.exchange ? 0 : static_cast<double>(s.offer.amount);
    made.boardAverage = boardAverage(s.boardShown);
    made.onBoard = s.boardShown;
    // Money offered once money was taken is only shown.
    if (!s.offer.exchange && s.offerTaken)
        made.answer = OfferAnswer::NotAsked;
    record_.offers.push_back(made);
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
    // At the quick pace every row in one step.
    do {
        revealHistoryRow();
    } while (quickPace_ && historyTimer_->isRunning());
}

void Game::revealHistoryRow() {
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
    record_.offers.back().answer = OfferAnswer::Accepted;
    setCasesEnabled(true);
    emit offerPanelClosed();
    emit answerButtonsShown(false);
    hideHistory();

    if (s.openedCount == kLastOfferPoint && s.offer.exchange) {
        playCue(Cue::Exchange);
        emit cueLooping(true);
        swapOwnCase(lastClosedCase());
        enterPhase(Phase::WaitingForClick);
    }
    if (s.openedCount < kLastOfferPoint && s.offer.exchange) {
        addToHistory();
        playCue(Cue::Exchange);
        emit cueLooping(true);
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
    record_.offers.back().answer = OfferAnswer::Declined;
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

// The one closed case left besides the own case.
bool Game::amountInPlay(int rank) const {
    if (phase_ == Phase::Loaded)
        return true;
    for (int i = 0; i < kCaseCount; ++i) {
        if (s.caseOpened[static_cast<size_t>(i)] && s.caseAmount[static_cast<size_t>(i)] == rank)
            return false;
    }
    return true;
}

int Game::closedOtherCases() const {
    int closed = 0;
    for (int i = 0; i < kCaseCount; ++i) {
        if (i != s.ownCase && !s.caseOpened[static_cast<size_t>(i)])
            ++closed;
    }
    return closed;
}

int Game::lastClosedCase() const {
    int last = 0;
    for (int i = 0; i < kCaseCount; ++i) {
        if (i != s.ownCase && !s.caseOpened[static_cast<size_t>(i)])
            last = i;
    }
    return last;
}

void Game::swapOwnCase(int taken) {
    emit offerAmountHidden();
    const int former = s.ownCase;
    record_.exchanges.push_back({amountValue(s.caseAmount[static_cast<size_t>(former)]),
                                 amountValue(s.caseAmount[static_cast<size_t>(taken)])});
    // The former own case goes where the taken one stood.
    const int takenFrom = s.casePlace[static_cast<size_t>(taken)];
    moveCase(taken, kOwnCasePlace);
    moveCase(former, takenFrom);
    if (s.openedCount == kLastOfferPoint)
        s.finalSwapDone = true;
    s.ownCase = static_cast<qint16>(taken);
    s.swapOfferAllowed = false;
    emit casesExchanged(former, taken);
}

void Game::openOwnCase() {
    ownCaseTimer_->stop();
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
    endWaitClock_.start();
}

void Game::showWinnings() {
    winningsTimer_->stop();
    playCue(Cue::Winnings);
    emit cueResumed();
    emit winningsShown();
    writeLog(records::ownCase(amountText(s.caseAmount[static_cast<size_t>(s.ownCase)])));
    enterPhase(Phase::GameOver);
    record_.ownCaseAmount = amountValue(s.caseAmount[static_cast<size_t>(s.ownCase)]);
    emit gameFinished(record_);
}

} // namespace game
