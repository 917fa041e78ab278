#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class QWidget;

// Game pads through SDL2's game controller support, watched on a thread of its
// own: SDL is loaded and started there, never on the window's thread. SDL
// reports pads and their buttons only when asked, so the thread asks every
// 16 ms while a pad is there and once a second while none is (to find one
// plugged in). A pad plugged in or pulled out is taken or let go at once;
// the game goes on either way.
//
// What the buttons do is what the keys do (see GamePad::keyFor()).
class GamePad final : public QObject {
    Q_OBJECT
  public:
    enum class Button { Up, Down, Left, Right, A, B, Y, Start, Back };

    // window: the game window the buttons act on now (may give null).
    explicit GamePad(std::function<QWidget*()> window, QObject* parent = nullptr);
    ~GamePad() override;

    // Pads plugged in now, in this process.
    [[nodiscard]] static int connectedCount();

    // Acts on the window the way the key for the button does: the game window's
    // own key actions, the keys of the menu or of a window beside the game (the
    // rules, statistics, credits or a question), which B closes.
    void act(Button button);

  signals:
    // On the window's thread.
    void buttonPressed(GamePad::Button button);
    void padsChanged(int count);

  private:
    void watch();

    std::function<QWidget*()> window_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};
