#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>

class GameWindow;
class QAction;
class QActionGroup;
class QKeyEvent;
class QMessageBox;
class QWidget;
class SoundSettings;

// Plays the game window like a desktop game: every action from the keyboard,
// with a ring round the case or button in focus; the context menu; the rules;
// full screen; mute and volume, with a mark on the backdrop while muted.
// A key presses a control only where a click could (shown and enabled), and the
// window's own handlers decide whether the phase takes it.
// It follows whichever game window it was last attached to.
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
    // The case plate or button the keys act on; null when none.
    [[nodiscard]] QWidget* focused() const { return focused_; }
    // Shown round the focused control once the keys have moved to it.
    [[nodiscard]] const QWidget* focusRing() const { return focusRing_; }
    // Shown on the backdrop while the sound is off.
    [[nodiscard]] const QWidget* mutedMark() const { return mutedMark_; }

    void showRules();
    void toggleFullScreen();
    // Mid-game it asks first; before the start and at the end it starts over at once.
    void requestNewGame();
    // Closes the window, which ends the program: the same question mid-game.
    // Every way to close the window (its close button too) asks it.
    void requestQuit();

  signals:
    void newGameRequested();
    void creditsRequested();
    void statisticsRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    [[nodiscard]] GameWindow* gameWindow() const;
    bool handleKey(const QKeyEvent* event);
    void buildMenu();
    void showMenu(const QPoint& globalPos);
    // The case plates and buttons a click could press now, in reading order.
    [[nodiscard]] QList<QWidget*> targets() const;
    [[nodiscard]] bool isTarget(const QWidget* widget) const;
    void focusOn(QWidget* widget);
    void moveFocus(int dx, int dy);
    void stepFocus(int step);
    void typeDigit(int digit);
    bool press(QWidget* widget);
    void pressEnter();
    void updateFocusRing();
    void updateMutedMark();
    // Asks whether to leave the game under way; leave() runs on "Да". One
    // question at a time: asked again, the open one comes to the front.
    void askToLeave(const QString& title, const QString& question,
                    const std::function<void()>& leave);

    SoundSettings& sound_;
    QPointer<QWidget> attached_;
    QPointer<QWidget> focusRing_;
    QPointer<QWidget> mutedMark_;
    QPointer<QWidget> focused_;
    QString typed_;
    QTimer typingTimeout_;
    QPointer<QMenu> menu_;
    QAction* soundAction_ = nullptr;
    QAction* fullScreenAction_ = nullptr;
    QActionGroup* volumeLevels_ = nullptr;
    QPointer<QMessageBox> leaveQuestion_;
    // The player has agreed to leave: the window's close goes through.
    bool leaving_ = false;
};
