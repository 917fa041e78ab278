#pragma once

#include <QHash>
#include <QKeySequence>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>

namespace a11y {
enum class Fact;
}
class FocusRing;
class GameWindow;
class QAction;
class QActionGroup;
class QLabel;
class QMessageBox;
class QWidget;
class SoundSettings;

// Plays the game window like a desktop game: every action from the keyboard,
// with a ring round the case or button in focus; the context menu; the rules;
// full screen; mute and volume, with a mark on the backdrop while muted; the
// choice of language, whose change every text here follows at once.
// The keys and the menu are one set of actions with their shortcuts, added to
// whichever game window it was last attached to. The cases and buttons that can
// be pressed take the window's keyboard focus from the keys (not from the
// mouse), and the ring is drawn where the focus is.
// A key presses a control only where a click could (shown and enabled), and the
// window's own handlers decide whether the phase takes it.
// Once the keys are in use, or a screen reader is there, the focus follows play:
// to "ДА" when an offer comes, back to a case to open after the answer and after
// an opening, to "Новая игра" at the end. Tab goes round the cases in their
// numbers' order, then the buttons.
class DesktopControls final : public QObject {
    Q_OBJECT
  public:
    explicit DesktopControls(SoundSettings& sound, QObject* parent = nullptr);
    ~DesktopControls() override;

    void attach(GameWindow* window);

    // The menu of the window attached last, built when first asked for: as a
    // child of the window it would otherwise be laid out, its texts measured,
    // while the window draws its first frame.
    [[nodiscard]] QMenu* menu();
    // The case plate or button that has the keyboard focus; null when none.
    [[nodiscard]] QWidget* focused() const;
    // Shown round the focused control.
    [[nodiscard]] const QWidget* focusRing() const;
    // Shown on the backdrop while the sound is off.
    [[nodiscard]] const QWidget* mutedMark() const { return mutedMark_; }
    // Shown on the backdrop for a moment after + or −: "Громкость 70 %".
    [[nodiscard]] const QLabel* volumeMark() const { return volumeMark_; }

    void showRules();
    void toggleFullScreen();
    // The menu's mark on "Итоги в конце партии".
    void setSummaryAtEnd(bool shown);
    // Mid-game it asks first; before the start and at the end it starts over at once.
    void requestNewGame();
    // Closes the window, which ends the program: the same question mid-game.
    // Every way to close the window (its close button too) asks it.
    void requestQuit();

  signals:
    void newGameRequested();
    void creditsRequested();
    void statisticsRequested();
    void summaryRequested();
    // The player chose whether the summary opens at the end of each game.
    void summaryAtEndChosen(bool shown);
    // The player chose the quick pace or the designed one in the menu.
    void quickPaceChosen(bool quick);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    [[nodiscard]] GameWindow* gameWindow() const;
    void createActions();
    // The actions' texts in the language spoken now; the menu is built anew
    // when next asked for, and an open question takes the new texts.
    void retranslate();
    // An action of the keys (and of the menu where it is added there). Any key
    // but a digit ends the typing of a case number.
    // text is the Russian source, translated in retranslate().
    QAction* addAction(const char* text, const QList<QKeySequence>& keys,
                       const std::function<void()>& act);
    void buildMenu();
    void showMenu(const QPoint& globalPos);
    // Chooses the open menu's first entry, unless one is chosen already.
    void chooseFirstEntry();
    // The case plates a click could press now, by the numbers on their plates,
    // then the buttons.
    [[nodiscard]] QList<QWidget*> targets() const;
    [[nodiscard]] bool isTarget(const QWidget* widget) const;
    // Only the cases and buttons that can be pressed take focus.
    void updateFocusPolicies();
    // Where the keys are now: the focus goes there when it can be pressed,
    // else to the window (and back there once it can).
    void moveTo(QWidget* widget, Qt::FocusReason reason);
    void syncFocus(Qt::FocusReason reason);
    void onFocusChanged(QWidget* old, QWidget* now);
    // Where the keys go once a step of the game is over (see the class comment).
    [[nodiscard]] bool followsPlay() const;
    void scheduleFollow();
    void followPlay();
    // The case the keys are at if it can be pressed, else the next one by number
    // after the case they were at last.
    [[nodiscard]] QWidget* nextCase() const;
    void moveFocus(int dx, int dy);
    void stepFocus(int step);
    // The keys read the amount board: the focus goes to its lowest amount, the
    // arrows move along it, and the same key, Esc or Return bring it back.
    void toggleBoard();
    void leaveBoard();
    // An arrow on the board; false when the keys are not reading it.
    bool stepOnBoard(int dx, int dy);
    void typeDigit(int digit);
    bool press(QWidget* widget);
    void pressEnter();
    // A press during the suspense skips the rest of it; true if it did.
    bool skipSuspense();
    void updateMutedMark();
    void showVolumeMark();
    void sayVolume(); // to a screen reader
    // Has a screen reader say text or a fact now; nothing without one.
    void say(const QString& text);
    void say(a11y::Fact fact);
    // Asks whether to leave the game under way; leave() runs on "Да". One
    // question at a time: asked again, the open one comes to the front.
    // title and question are the Russian sources, shown translated.
    void askToLeave(const char* title, const char* question, const std::function<void()>& leave);

    SoundSettings& sound_;
    QPointer<QWidget> attached_;
    QPointer<FocusRing> focusRing_;
    QPointer<QWidget> mutedMark_;
    QPointer<QLabel> volumeMark_;
    QTimer volumeMarkTimeout_;
    // The control the keys moved to last, pressable or not: the arrows go on from
    // there.
    QPointer<QWidget> at_;
    // The case the keys were at last.
    QPointer<QWidget> lastCase_;
    // The board's amount the keys read, while they read the board.
    QPointer<QWidget> onBoard_;
    // The player has moved the focus with the keys.
    bool keysUsed_ = false;
    bool followScheduled_ = false;
    QString typed_;
    QTimer typingTimeout_;
    QPointer<QMenu> menu_;
    bool firstEntryDue_ = false; // the menu has opened, its first entry not chosen yet
    static constexpr int kFirstEntryLatestMs = 400;
    QList<QAction*> actions_;
    // The source text of each action (the digits' actions take their digit).
    QHash<QAction*, const char*> actionTexts_;
    QAction* newGameAction_ = nullptr;
    QAction* rulesAction_ = nullptr;
    QAction* soundAction_ = nullptr;
    QAction* louderAction_ = nullptr;
    QAction* quieterAction_ = nullptr;
    QAction* fullScreenAction_ = nullptr;
    QAction* quickPaceAction_ = nullptr;
    QAction* statisticsAction_ = nullptr;
    QAction* summaryAction_ = nullptr;
    QAction* summaryAtEndAction_ = nullptr;
    QAction* creditsAction_ = nullptr;
    QAction* quitAction_ = nullptr;
    QList<QAction*> factActions_;
    QActionGroup* volumeLevels_ = nullptr;
    QPointer<QMessageBox> leaveQuestion_;
    // The player has agreed to leave: the window's close goes through.
    bool leaving_ = false;
};
