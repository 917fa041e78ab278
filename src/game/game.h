#pragma once

#include "game_log.h"
#include "game_record.h"
#include "game_state.h"
#include "random_source.h"
#include "rounds.h"
#include "step_timer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

namespace game {
Q_NAMESPACE

// Where play stands; presses and ends of waits that the phase does not expect
// are ignored.
enum class Phase {
    Loaded,          // before "Начать игру"
    ChoosingOwnCase, // the board is revealed; the first case pressed is the own case
    WaitingForClick, // the player picks the next case to open
    Suspense,        // the suspense sound plays before an opening
    OfferPending,    // the round's last sound plays before the offer
    OfferShown,      // the offer waits for "ДА" or "НЕТ"
    ExchangePick,    // the player picks the case to take in exchange
    EndOfGame,       // the own case is opened, then the winnings shown
    GameOver         // the winnings are shown
};
Q_ENUM_NS(Phase) // names for tests and tools: QMetaEnum::fromType<Phase>()

// The sounds of a game, by what they mean; the screen picks the files.
enum class Cue {
    BoardReveal,
    OwnCase, // the own case chosen, and opened at the end
    Suspense,
    SuspenseAfterFinalSwap, // the first suspense after the exchange at the last offer
    Amount,                 // a case opened: the sound of its amount
    Banker,
    Exchange,
    Declined,
    Winnings
};

// What a press on a case does now.
enum class PressKind {
    Nothing,
    ChooseOwnCase,
    Open,
    TakeInExchange // the case taken for the own case (the own case itself leaves all as it is)
};

// One game after another: the state, the phase and every decision of a turn.
// It takes the player's actions (start(), pressCase(), accept(), decline(),
// askNewGame()) and the ends of the waits it asked for (cueEnded(), and its
// timed steps through the timer source), and tells the screen what happened
// through its signals, in order. It writes the log from its own facts.
//
// A cue's end is reported by the screen through cueEnded(), later than the
// request, never from inside it; a cue that cannot be played ends at once.
class Game final : public QObject {
    Q_OBJECT
  public:
    // The timed steps, each named after what it waits for.
    enum class Step {
        BoardReveal,
        HistoryReveal, // one earlier offer after another
        // From the end of the last opening's sound to the next whole second of
        // the end, then the own case opens.
        OwnCaseWait,
        // From the end of the own case's sound to the next whole second counted
        // from its opening, then the winnings.
        WinningsWait,
        SoundCut // at the quick pace, a waited-for sound counts as ended
    };

    // random and timers outlive the game.
    Game(RandomSource& random, TimerSource& timers, QObject* parent = nullptr);
    ~Game() override;

    // Loads a new game: what one game resets (the rest of the state carries
    // over), the log emptied, the plates' arrangement drawn; the phase is set to
    // Loaded directly (no phaseChanged()), then newGameLoaded() tells the window,
    // which draws it afresh.
    void newGame();

    // The player's actions.
    void start(); // "Начать игру"
    void pressCase(int caseIndex);
    void accept();     // "ДА"
    void decline();    // "НЕТ"
    void askNewGame(); // "Новая игра" on the end screen
    // The cue last asked for has ended.
    void cueEnded();
    // The player does not wait for the rest of the suspense: the case opens now.
    void skipSuspense();

    // The quick pace (see timings.h) or the designed one; the game and its log
    // are the same at either, only its waits differ. From the next wait on.
    void setQuickPace(bool quick);
    [[nodiscard]] bool isQuickPace() const { return quickPace_; }

    [[nodiscard]] Phase phase() const { return phase_; }
    [[nodiscard]] const GameState& state() const { return s; }
    // Cases take presses.
    [[nodiscard]] bool casesEnabled() const { return casesEnabled_; }
    // What a press on the case would do now; the one answer for the screen, the
    // keys and the screen readers.
    [[nodiscard]] PressKind pressKind(int caseIndex) const;
    [[nodiscard]] bool canPress(int caseIndex) const {
        return pressKind(caseIndex) != PressKind::Nothing;
    }
    // A game has been started and its winnings are not shown yet.
    [[nodiscard]] bool isInProgress() const {
        return phase_ != Phase::Loaded && phase_ != Phase::GameOver;
    }
    // What the game has left for the statistics so far (whole once over).
    [[nodiscard]] const GameRecord& recordSoFar() const { return record_; }
    // Every amount of the board has been put up.
    [[nodiscard]] bool boardRevealed() const { return revealStep_ >= kCaseCount; }
    // The plate of the amount of that rank is up on the board (the reveal puts
    // them up from the top amount down).
    [[nodiscard]] bool boardPlateUp(int rank) const { return revealStep_ > kCaseCount - 1 - rank; }
    // No opened case holds the amount of that rank (before the start: every one).
    [[nodiscard]] bool amountInPlay(int rank) const;
    // The cases still closed besides the own case.
    [[nodiscard]] int closedOtherCases() const;
    // The last of them by index; 0 when there is none.
    [[nodiscard]] int lastClosedCase() const;
    [[nodiscard]] StepTimer& timer(Step step) const;
    // Where the next games' logs go (log.txt in the current directory unless
    // set; none when set empty), and the name messages give it.
    void setLogFile(const QString& path, const QString& shownName);
    // What the game under way leaves for the statistics if the player leaves it
    // now: its record once it is decided (money taken from the banker, or the
    // own case being opened), with what the own case holds; nothing before.
    [[nodiscard]] std::optional<GameRecord> decidedRecord() const;

  signals:
    void newGameLoaded(); // every case closed again: the game is drawn afresh
    // The phase changed during play (not by newGame()).
    void phaseChanged(game::Phase phase);
    // What the screen shows and plays, in the order it happens.
    void cue(game::Cue cue, int rank); // rank: the amount's, for Cue::Amount
    void cueLooping(bool looping);     // the current cue and the next ones loop or not
    void cueResumed();                 // the current cue starts again if it stands still
    void casesEnabledChanged(bool enabled);
    void started();                    // the amounts are in the cases
    void boardPlateRevealed(int rank); // the plate of an amount of the board comes up
    void boardAmountShown(int rank, bool shown);
    void ownCasePrompted();
    void exchangePrompted();
    void promptHidden();
    void counterChanged(int count); // the cases left before the next offer
    void counterShown(bool shown);
    void ownCaseChosen(int caseIndex);
    void caseMoved(int caseIndex, int place); // place: kOwnCasePlace or a cell
    // The own case given for the one taken (the cases' moves come before).
    void casesExchanged(int given, int taken);
    void caseOpened(int caseIndex, int rank);
    void offerShown(const game::Offer& offer); // the banker's panel with the offer
    void answerButtonsShown(bool shown);
    void answered(bool accepted); // "ДА" or "НЕТ" to the offer on show
    void offerPanelClosed();
    void offerAmountHidden();
    void historyOpened(); // the title of the earlier offers; the rows follow
    void historyRowShown(int row, const game::Offer& offer);
    void historyCovered(); // the title goes and the cover hides the rows
    void historyHidden();
    void offerAccepted(qint64 amount);
    void ownCaseOpened(int caseIndex);
    void winningsFromBoard(int rank); // the own case's amount, when no money was taken
    void winningsShown();
    void paceChanged(bool quick);
    // "Новая игра" was taken on the end screen.
    void newGameRequested();
    // The log could not be written; said once per run.
    void logWriteFailed(const QString& path, const QString& reason, files::Problem problem);
    // The winnings are shown; what the game leaves for the statistics.
    void gameFinished(const game::GameRecord& record);

  private:
    void enterPhase(Phase phase);
    void setCasesEnabled(bool enabled);
    void showBoardAmount(int rank, bool shown);
    void moveCase(int caseIndex, int place);
    void playCue(Cue cue, int rank = -1);
    void hideHistory();
    void addToHistory();
    void writeLog(const QString& record);
    [[nodiscard]] QString logShownName() const;

    void revealNextBoardEntry();
    void revealBoardEntry();
    void chooseOwnCase(int caseIndex);
    void openCase(int caseIndex);
    void takeInExchange(int caseIndex);
    void openCurrentCase();
    void makeOffer();
    void showOffer();
    void revealNextHistoryRow();
    void revealHistoryRow();
    void swapOwnCase(int taken);
    void waitForNextWholeSecond(StepTimer& timer);
    void openOwnCase();
    void showWinnings();

    GameState s;
    RandomSource& random_;
    std::unique_ptr<StepTimer> revealTimer_;
    std::unique_ptr<StepTimer> historyTimer_;
    std::unique_ptr<StepTimer> ownCaseTimer_;
    std::unique_ptr<StepTimer> winningsTimer_;
    std::unique_ptr<StepTimer> soundCutTimer_;
    Phase phase_ = Phase::Loaded;
    GameLog log_;
    std::optional<QString> logFile_;
    QString logShownName_;
    GameRecord record_;
    // A failure of the log is said once per run, not again with every game.
    bool logFailureShown_ = false;
    bool logResetFailureShown_ = false;
    bool casesEnabled_ = false;
    bool quickPace_ = false;
    // Since the start of the current wait of the end.
    QElapsedTimer endWaitClock_;
    // The earlier offers are on show (the history reveal stops when they go).
    bool historyShown_ = false;
    int revealStep_ = 0;
    int historyStep_ = 0;
};

} // namespace game
