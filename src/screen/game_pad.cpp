#include "game_pad.h"

#include "sdl_library.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kAskWithPad = 16ms;
constexpr auto kAskWithoutPad = 1000ms;
// A direction held down moves on again after a pause, then at a steady pace.
constexpr auto kRepeatAfter = 400ms;
constexpr auto kRepeatEvery = 150ms;
// The left stick counts as pushed past this, and as let go below the lower one.
constexpr int kStickPushed = 20000;
constexpr int kStickLetGo = 12000;

std::atomic<int> padsConnected{0};

std::optional<GamePad::Button> buttonOf(Uint8 button) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
        return GamePad::Button::Up;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return GamePad::Button::Down;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return GamePad::Button::Left;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return GamePad::Button::Right;
    case SDL_CONTROLLER_BUTTON_A:
        return GamePad::Button::A;
    case SDL_CONTROLLER_BUTTON_B:
        return GamePad::Button::B;
    case SDL_CONTROLLER_BUTTON_Y:
        return GamePad::Button::Y;
    case SDL_CONTROLLER_BUTTON_START:
        return GamePad::Button::Start;
    case SDL_CONTROLLER_BUTTON_BACK:
        return GamePad::Button::Back;
    default:
        return std::nullopt;
    }
}

bool isDirection(GamePad::Button button) {
    return button == GamePad::Button::Up || button == GamePad::Button::Down ||
           button == GamePad::Button::Left || button == GamePad::Button::Right;
}

// The key that does in the game window what the button does.
int gameKey(GamePad::Button button) {
    switch (button) {
    case GamePad::Button::Up:
        return Qt::Key_Up;
    case GamePad::Button::Down:
        return Qt::Key_Down;
    case GamePad::Button::Left:
        return Qt::Key_Left;
    case GamePad::Button::Right:
        return Qt::Key_Right;
    case GamePad::Button::A:
        return Qt::Key_Return;
    case GamePad::Button::B:
        return Qt::Key_N;
    case GamePad::Button::Y:
        return Qt::Key_Y;
    case GamePad::Button::Start:
        return Qt::Key_Menu;
    case GamePad::Button::Back:
        break;
    }
    return Qt::Key_F11;
}

void typeKey(QWidget* to, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = to->focusWidget() ? to->focusWidget() : to;
    const QString text = key == Qt::Key_Return ? QStringLiteral("\r") : QString();
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

// The game window's action for the key, as its shortcut would trigger it.
bool triggerKeyAction(QWidget* window, int key) {
    const QKeySequence sequence(key);
    for (QAction* action : window->actions()) {
        if (action->isEnabled() && action->shortcuts().contains(sequence)) {
            action->trigger();
            return true;
        }
    }
    return false;
}

} // namespace

GamePad::GamePad(std::function<QWidget*()> window, QObject* parent)
    : QObject(parent), window_(std::move(window)) {
    connect(this, &GamePad::buttonPressed, this, &GamePad::act);
    thread_ = std::thread([this] { watch(); });
}

GamePad::~GamePad() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

int GamePad::connectedCount() {
    return padsConnected.load();
}

void GamePad::watch() {
    const media::SdlLibrary* sdl = media::sdlLibrary();
    if (!sdl)
        return; // said by the sound output, which needs SDL too
    {
        const std::lock_guard<std::recursive_mutex> setup(media::sdlSetupMutex());
        sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // The game's window is not SDL's: pads are heard whatever has the focus.
        sdl->SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        if (sdl->InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
            std::fprintf(stderr, "zorban: game pads cannot be used: %s\n", sdl->GetError());
            return;
        }
    }
    std::map<SDL_JoystickID, SDL_GameController*> pads;
    std::optional<Button> held; // a direction held on a D-pad or the stick
    Clock::time_point nextRepeat;
    int stickX = 0;
    int stickY = 0;
    constexpr int kStickCentred = -1;
    int stick = kStickCentred; // a Button while the stick is pushed
    auto press = [&](Button button) {
        QMetaObject::invokeMethod(
            this, [this, button] { emit buttonPressed(button); }, Qt::QueuedConnection);
        if (isDirection(button)) {
            held = button;
            nextRepeat = Clock::now() + kRepeatAfter;
        }
    };
    auto release = [&](Button button) {
        if (held == button)
            held.reset();
    };
    auto followStick = [&] {
        const int reach = std::max(std::abs(stickX), std::abs(stickY));
        int now = kStickCentred;
        if (reach > (stick != kStickCentred ? kStickLetGo : kStickPushed)) {
            if (std::abs(stickX) >= std::abs(stickY))
                now = static_cast<int>(stickX < 0 ? Button::Left : Button::Right);
            else
                now = static_cast<int>(stickY < 0 ? Button::Up : Button::Down);
        }
        if (now == stick)
            return;
        if (stick != kStickCentred)
            release(static_cast<Button>(stick));
        stick = now;
        if (stick != kStickCentred)
            press(static_cast<Button>(stick));
    };

    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        lock.unlock();
        const size_t padsBefore = pads.size();
        SDL_Event event;
        while (sdl->PollEvent(&event)) {
            switch (event.type) {
            case SDL_CONTROLLERDEVICEADDED:
                if (SDL_GameController* pad = sdl->GameControllerOpen(event.cdevice.which)) {
                    const SDL_JoystickID id =
                        sdl->JoystickInstanceID(sdl->GameControllerGetJoystick(pad));
                    if (!pads.emplace(id, pad).second)
                        sdl->GameControllerClose(pad); // already open
                }
                break;
            case SDL_CONTROLLERDEVICEREMOVED:
                if (const auto pad = pads.find(event.cdevice.which); pad != pads.end()) {
                    sdl->GameControllerClose(pad->second);
                    pads.erase(pad);
                    held.reset();
                    stick = kStickCentred;
                    stickX = stickY = 0;
                }
                break;
            case SDL_CONTROLLERBUTTONDOWN:
                if (const std::optional<Button> button = buttonOf(event.cbutton.button))
                    press(*button);
                break;
            case SDL_CONTROLLERBUTTONUP:
                if (const std::optional<Button> button = buttonOf(event.cbutton.button))
                    release(*button);
                break;
            case SDL_CONTROLLERAXISMOTION:
                if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
                    stickX = event.caxis.value;
                else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)
                    stickY = event.caxis.value;
                else
                    break;
                followStick();
                break;
            default:
                break;
            }
        }
        if (held && Clock::now() >= nextRepeat) {
            const Button again = *held;
            press(again);
            nextRepeat = Clock::now() + kRepeatEvery;
        }
        if (pads.size() != padsBefore) {
            const int count = static_cast<int>(pads.size());
            padsConnected.store(count);
            QMetaObject::invokeMethod(
                this, [this, count] { emit padsChanged(count); }, Qt::QueuedConnection);
        }
        lock.lock();
        wake_.wait_for(lock, pads.empty() ? kAskWithoutPad : kAskWithPad,
                       [this] { return stopping_; });
    }
    lock.unlock();
    for (const auto& [id, pad] : pads)
        sdl->GameControllerClose(pad);
    padsConnected.store(0);
    const std::lock_guard<std::recursive_mutex> setup(media::sdlSetupMutex());
    sdl->QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void GamePad::act(Button button) {
    QWidget* window = window_ ? window_() : nullptr;
    if (!window)
        return;
    // The menu: its entries with the directions, A chooses, B and Start close it.
    if (QWidget* menu = QApplication::activePopupWidget()) {
        int key = gameKey(button);
        if (button == Button::B || button == Button::Start)
            key = Qt::Key_Escape;
        if (isDirection(button) || key == Qt::Key_Return || key == Qt::Key_Escape)
            typeKey(menu, key);
        return;
    }
    // A question, or the rules, statistics or credits in front of the game.
    QWidget* beside = QApplication::activeModalWidget();
    if (!beside && QApplication::activeWindow() != window)
        beside = QApplication::activeWindow();
    if (beside && beside->isVisible()) {
        switch (button) {
        case Button::B:
            beside->close();
            break;
        case Button::Y:
            if (auto* question = qobject_cast<QMessageBox*>(beside);
                question && question->button(QMessageBox::Yes))
                question->button(QMessageBox::Yes)->click();
            break;
        case Button::Up:
        case Button::Down:
        case Button::A:
            typeKey(beside, gameKey(button));
            break;
        case Button::Left:
            typeKey(beside, Qt::Key_Backtab, Qt::ShiftModifier);
            break;
        case Button::Right:
            typeKey(beside, Qt::Key_Tab);
            break;
        case Button::Back:
            triggerKeyAction(window, gameKey(button));
            break;
        case Button::Start:
            break;
        }
        return;
    }
    triggerKeyAction(window, gameKey(button));
}
