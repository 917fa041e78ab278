#pragma once

#include "game_log.h"
#include "game_state.h"
#include "random_source.h"
#include "widgets.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class MovieWidget;
class QLabel;
class QPushButton;
class SoundPlayer;

// What the main window gets from the application that owns it.
struct Form1Services {
    game::RandomSource* random = nullptr;
    std::function<std::unique_ptr<SoundPlayer>()> makeSoundPlayer;
    std::function<void()> newGame;     // rebuild the window for a new game
    std::function<void()> showCredits; // open the credits window or bring it to the front
    std::function<void()> closed;      // the player closed the window
    // Told once per game when the log cannot be written (path, reason).
    std::function<void(const QString&, const QString&)> logFailed;
};

// The main game window. Its controls are public members named after the design;
// its behaviour is one handler per control event. The game's state lives in the
// GameState it is given, which outlives the window: "Новая игра" destroys this
// window and builds a new one on the same state.
class Form1 final : public QWidget {
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
        EndOfGame,       // the own case is being opened
        GameOver         // the winnings are shown
    };

    Form1(game::GameState& state, Form1Services services, QWidget* parent = nullptr);
    ~Form1() override;

    [[nodiscard]] Phase phase() const { return phase_; }
    [[nodiscard]] game::GameState& state() { return s; }
    [[nodiscard]] SoundPlayer* soundPlayer() const { return mp.get(); }

    // Handlers.
    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Picture1_Click();
    void main_Timer();
    void Label1_Click(int Index);
    void Timerchosen_Timer();
    void Открыть();
    void Timer1_Timer();
    void Банк();
    void BankShow();
    void TimerPredl_Timer();
    void yes_Click();
    void no_Click();
    void Обмен();
    void final_Timer();
    void finish_Timer();

    // Controls of the case pyramid, by case index.
    std::array<ClickablePicture*, game::kCaseCount> Label1{};
    std::array<QPixmap, game::kCaseCount> Chem; // the store of numbered plates
    std::array<QLabel*, game::kCaseCount> Image1{};
    std::array<QLabel*, game::kCaseCount> Label2{};
    std::array<MovieWidget*, game::kCaseCount> Крышка{};
    // The amount board, by rank.
    std::array<QLabel*, game::kCaseCount> labelSum{};
    std::array<MovieWidget*, game::kCaseCount> plast{};
    // The offer history, by row.
    std::array<QLabel*, 5> labelPredl{};
    std::array<MovieWidget*, 5> flashPredl{};

    ClickablePicture* Picture1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    QLabel* LabelBank = nullptr;
    MovieWidget* BankFlash = nullptr;
    QLabel* Label3 = nullptr;
    BackdropCover* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    ShapeWidget* Shape1 = nullptr;
    ShapeWidget* Shape2 = nullptr;
    ShapeWidget* Shape3 = nullptr;
    QLabel* winlabel = nullptr;
    QLabel* win = nullptr;
    MovieWidget* WinFlash = nullptr;
    QLabel* metka = nullptr;
    QLabel* obmenMetka = nullptr;

    std::unique_ptr<SoundPlayer> mp;

    IntervalTimer* main = nullptr;
    ClipWaitTimer* Timerchosen = nullptr;
    ClipWaitTimer* Timer1 = nullptr;
    IntervalTimer* TimerPredl = nullptr;
    IntervalTimer* final = nullptr;
    IntervalTimer* finish = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void buildControls();
    void buildCase(int i);
    void setCasesEnabled(bool enabled);
    void setCounterPanelVisible(bool visible);
    void hideHistory();
    void playSound(const QString& relativePath);
    void loadMovie(MovieWidget* movie, const QString& relativePath);
    void placeCaseAt(int caseIndex, int anchorLeft, int anchorTop);
    void writeLog(const QString& record);

    QPixmap backdrop_;
    game::GameState& s;
    Form1Services services_;
    game::GameLog log_;
    bool logFailureShown_ = false;
    Phase phase_ = Phase::Loaded;
};
