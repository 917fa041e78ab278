#pragma once

#include "game_log.h"
#include "game_state.h"
#include "media_files.h"
#include "random_source.h"
#include "statistics.h"
#include "widgets.h"

#include <QWidget>
#include <array>
#include <memory>
#include <optional>

class MovieWidget;
class QLabel;
class QPushButton;
class SoundPlayer;

// The game window: the case pyramid, the amount board, the banker's offer and
// the counter panel, played through staged steps. The game's facts live in the
// GameState it is given, which outlives the window ("Новая игра" destroys this
// window and builds a new one on the same state); the window draws them. It
// tells its owner what happened through its signals.
class GameWindow final : public QWidget {
    Q_OBJECT
  public:
    // Where play stands; clicks and ticks that the phase does not expect are ignored.
    enum class Phase {
        Loaded,          // before "Начать игру"
        ChoosingOwnCase, // the board is revealed; the first click chooses the own case
        WaitingForClick, // the player picks the next case to open
        Suspense,        // the suspense sound plays before an opening
        OfferPending,    // the round's last sound plays before the offer
        OfferShown,      // the offer waits for "ДА" or "НЕТ"
        ExchangePick,    // the player picks the case to take in exchange
        EndOfGame,       // the own case is opened, then the winnings shown
        GameOver         // the winnings are shown
    };

    // Every control of the window and its timed steps. The window owns them.
    struct Controls {
        // The case pyramid, by case index.
        std::array<ClickablePicture*, game::kCaseCount> casePlates{};
        std::array<QLabel*, game::kCaseCount> caseBriefcases{};
        std::array<QLabel*, game::kCaseCount> caseAmounts{};
        std::array<MovieWidget*, game::kCaseCount> caseLids{};
        // The amount board, by rank.
        std::array<QLabel*, game::kCaseCount> boardAmounts{};
        std::array<MovieWidget*, game::kCaseCount> boardPlates{};
        // The offer history, by row, its title, the frame around them (shown with
        // the title) and the cover that hides it.
        std::array<QLabel*, 5> historyAmounts{};
        std::array<MovieWidget*, 5> historyPlates{};
        QLabel* historyTitle = nullptr;
        QLabel* historyFrame = nullptr;
        BackdropCover* historyCover = nullptr;
        // The banker's offer.
        QLabel* offerAmount = nullptr;
        MovieWidget* offerPanel = nullptr;
        QPushButton* acceptButton = nullptr;
        QPushButton* declineButton = nullptr;
        // The counter panel under the cases.
        QLabel* counterCaption = nullptr;
        QLabel* counterNumber = nullptr;
        QLabel* phoneGlyph = nullptr;
        RoundedFrame* captionFrame = nullptr;
        RoundedFrame* numberFrame = nullptr;
        RoundedFrame* phoneFrame = nullptr;
        // The winnings.
        QLabel* winningsTitle = nullptr;
        QLabel* winningsAmount = nullptr;
        MovieWidget* winningsPanel = nullptr;
        QPushButton* startButton = nullptr;
        QPushButton* newGameButton = nullptr;
        ClickablePicture* logo = nullptr;

        // The timed steps, each named after what it waits for.
        StepTimer* boardRevealTimer = nullptr;
        ClipEndWait* suspenseWait = nullptr; // the suspense sound, before an opening
        ClipEndWait* roundEndWait = nullptr; // the round's last sound, before the offer
        StepTimer* historyRevealTimer = nullptr;
        StepTimer* ownCaseWait = nullptr;  // the last opening's sound, before the own case
        StepTimer* winningsWait = nullptr; // the own case's sound, before the winnings
    };

    GameWindow(game::GameState& state, game::RandomSource& random,
               std::unique_ptr<SoundPlayer> sound, QWidget* parent = nullptr);
    ~GameWindow() override;

    [[nodiscard]] Phase phase() const { return phase_; }
    // Started and not over yet: leaving now needs the player's word.
    [[nodiscard]] bool gameUnderWay() const {
        return phase_ != Phase::Loaded && phase_ != Phase::GameOver;
    }
    // What the game under way leaves for the statistics if the player leaves it
    // now: its record once it is decided (money taken from the banker, or the
    // own case being opened), with what the own case holds; nothing before.
    [[nodiscard]] std::optional<game::GameRecord> decidedRecord() const;
    [[nodiscard]] game::GameState& state() { return s; }
    [[nodiscard]] SoundPlayer* soundPlayer() const { return sound_.get(); }
    // The controls, for tests and tools that look at the window from outside.
    [[nodiscard]] const Controls& controls() const { return ui_; }
    // The window's geometry, or while it is full screen the one it had before.
    [[nodiscard]] QRect placeOutsideFullScreen() const;

  signals:
    void newGameRequested();
    void creditsRequested();
    void closed();
    // The log could not be written; said once per game.
    void logWriteFailed(const QString& path, const QString& reason);
    // The winnings are shown; what the game leaves for the statistics.
    void gameFinished(const game::GameRecord& record);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void buildControls();
    // The pictures at the size they are drawn: loaded (again when the scale
    // calls for the other size), then set on the controls.
    void loadPictures();
    void showPictures();
    void scaleBackdrop();
    void buildCase(int caseIndex);
    void prepareNewGame();
    void enterPhase(Phase phase);

    // Starting a game.
    void onStartClicked();
    void revealNextBoardEntry();
    void onNewGameClicked();
    void onLogoClicked();
    // Choosing the own case and opening the others.
    void onCaseClicked(int caseIndex);
    void onSuspenseEnded();
    void openCurrentCase();
    // The banker's offer and the answer.
    void onRoundEndSoundEnded();
    void computeOffer();
    void showOffer();
    void revealNextHistoryRow();
    void onAcceptClicked();
    void onDeclineClicked();
    // The exchange and the end.
    void swapOwnCase();
    void openOwnCase();
    void showWinnings();

    // Drawing the model.
    void setCasesEnabled(bool enabled);
    void setCounterPanelVisible(bool visible);
    void showBoardEntry(int rank, bool shown);
    void placeCase(int caseIndex);
    void hideHistory();
    // The history's title and its frame come and go together.
    void setHistoryTitleShown(bool shown);
    void playSound(media::Sound sound);
    void loadMovie(MovieWidget* movie, const QString& relativePath);
    void writeLog(const QString& record);

    Controls ui_;
    std::array<QPixmap, game::kCaseCount> platePixmaps_; // the numbered plates
    QPixmap designedBackdrop_;
    QPixmap backdrop_; // at the size drawn
    QPixmap briefcasePicture_;
    QPixmap logoPicture_;
    QPixmap historyFramePicture_;
    QRect placeBeforeFullScreen_;
    bool picturesLoaded_ = false;
    bool doubleSizePictures_ = false;
    game::GameState& s;
    game::RandomSource& random_;
    std::unique_ptr<SoundPlayer> sound_;
    game::GameLog log_;
    game::GameRecord record_; // filled in as the game goes
    bool logFailureShown_ = false;
    bool casesEnabled_ = false;
    // The earlier offers are on show (the history reveal stops when they go).
    bool historyShown_ = false;
    Phase phase_ = Phase::Loaded;
};
