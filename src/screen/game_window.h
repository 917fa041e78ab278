#pragma once

#include "game.h"
#include "media_files.h"
#include "widgets.h"

#include <QHash>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace a11y {
class Narrator;
}
class MovieWidget;
class QLabel;
class QPushButton;
class SoundPlayer;

// The game window: the case pyramid, the amount board, the banker's offer and
// the counter panel. It draws what the game (game::Game) tells it, plays the
// game's cues and forwards the player's clicks and the ends of the cues; the
// game decides. One window plays every game of a run: a new game draws it afresh.
class GameWindow final : public QWidget {
    Q_OBJECT
  public:
    using Phase = game::Phase;

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
        std::array<QLabel*, game::kHistoryRowsShown> historyAmounts{};
        std::array<MovieWidget*, game::kHistoryRowsShown> historyPlates{};
        // Marks the row of the offer the own case was sold for.
        std::array<QLabel*, game::kHistoryRowsShown> historySoldMarks{};
        QLabel* historyTitle = nullptr;
        QLabel* historyFrame = nullptr;
        BackdropCover* historyCover = nullptr;
        // The banker's offer.
        QLabel* offerAmount = nullptr;
        MovieWidget* offerPanel = nullptr;
        QPushButton* acceptButton = nullptr;
        QPushButton* declineButton = nullptr;
        // Beside the offer while it stands sold ("ДА" to money).
        QLabel* soldCaption = nullptr;
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
    };

    // Draws the game as newly loaded (game.newGame() has been called).
    GameWindow(game::Game& game, std::unique_ptr<SoundPlayer> sound, QWidget* parent = nullptr);
    ~GameWindow() override;

    [[nodiscard]] Phase phase() const { return game_.phase(); }
    // Started and not over yet: leaving now needs the player's word.
    [[nodiscard]] bool gameUnderWay() const { return game_.isInProgress(); }
    [[nodiscard]] const game::GameState& state() const { return game_.state(); }
    [[nodiscard]] game::Game& game() const { return game_; }
    [[nodiscard]] SoundPlayer* soundPlayer() const { return sound_.get(); }
    // Every word a screen reader gets about this window.
    [[nodiscard]] a11y::Narrator& narrator() const { return *narrator_; }
    // The controls: which widget is which, for the keys, the accessible
    // interfaces, tests and tools. Only the window changes them.
    [[nodiscard]] const Controls& controls() const { return ui_; }
    // Reads what the first screen does not show (the movies of the board, the
    // offers and the winnings, the counter panel's symbol), so that the first
    // moves find it ready. Called once the window's first frame is drawn; what
    // is needed before is read then.
    void prepareForPlay();
    // The window's geometry, or while it is full screen the one it had before.
    [[nodiscard]] QRect placeOutsideFullScreen() const;

  signals:
    void creditsRequested();
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void buildControls();
    // The window's own texts and the game's texts shown, in the language spoken now.
    void retranslate();
    // Shows a text made from the game's facts (an amount, an offer, a prompt,
    // the counter's words) in the language spoken now, and again after every
    // switch of language.
    void showGameText(QLabel* label, std::function<QString()> text);
    // The pictures at the size they are drawn: loaded (again when the scale
    // calls for the other size), then set on the controls.
    void loadPictures();
    void showPictures();
    void scaleBackdrop();
    void buildCase(int caseIndex);
    void drawNewGame();
    void connectGame();

    // Drawing what the game tells.
    void setCasesEnabled(bool enabled);
    void setCounterPanelVisible(bool visible);
    void showPrompt(QString (*prompt)());
    void hidePrompt();
    void showAmountsInCases();
    void placeCase(int caseIndex, int place);
    void openCase(int caseIndex);
    void showOffer(const game::Offer& offer);
    void showHistoryRow(int row, const game::Offer& offer);
    void hideHistory();
    void coverHistory();
    // The history's title and its frame come and go together.
    void setHistoryTitleShown(bool shown);
    void showWinnings();
    void playCue(game::Cue cue, int rank);
    void loadMovie(MovieWidget* movie, const QString& relativePath);

    Controls ui_;
    FittedSymbol* phoneGlyph_ = nullptr;                 // ui_.phoneGlyph
    std::array<QPixmap, game::kCaseCount> platePixmaps_; // the numbered plates
    QPixmap designedBackdrop_;
    QPixmap backdrop_; // at the size drawn
    QPixmap briefcasePicture_;
    QPixmap logoPicture_;
    QPixmap historyFramePicture_;
    QRect placeBeforeFullScreen_;
    bool picturesLoaded_ = false;
    bool doubleSizePictures_ = false;
    game::Game& game_;
    std::unique_ptr<SoundPlayer> sound_;
    a11y::Narrator* narrator_ = nullptr;
    QString baseDir_;                                    // where the movies are looked for
    QHash<QLabel*, std::function<QString()>> gameTexts_; // what each label made from the game shows
    // The entry of the earlier offers (1..) that holds the offer sold; 0: none.
    int soldHistoryEntry_ = 0;
};
