// A whole game played with a game pad: SDL's virtual joystick with a game
// controller mapping, pressed from the test, heard by the game's own pad thread.
#include "desktop_controls.h"
#include "game_harness.h"
#include "game_pad.h"
#include "private_home.h"
#include "sdl_library.h"
#include "timings.h"

#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QtTest>
#include <SDL.h>

namespace {

constexpr int kWaitMs = 5000;

// A pad that is plugged in and pulled out like a real one.
class VirtualPad {
  public:
    VirtualPad() {
        const std::lock_guard<std::recursive_mutex> setup(media::sdlSetupMutex());
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        initialised_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    }
    ~VirtualPad() {
        unplug();
        const std::lock_guard<std::recursive_mutex> setup(media::sdlSetupMutex());
        if (initialised_)
            SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }

    // The mapping names each button and axis of the virtual device in SDL's
    // order of a game controller's buttons and axes.
    bool plugIn() {
        if (!initialised_)
            return false;
        index_ = attach();
        if (index_ < 0)
            return false;
        if (!mapped_) {
            // A mapping takes effect for devices attached after it.
            char guid[64];
            SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(index_), guid, sizeof guid);
            const QByteArray mapping =
                QByteArray(guid) +
                ",Zorban test pad,a:b0,b:b1,x:b2,y:b3,back:b4,guide:b5,start:b6,leftstick:b7,"
                "rightstick:b8,leftshoulder:b9,rightshoulder:b10,dpup:b11,dpdown:b12,dpleft:b13,"
                "dpright:b14,leftx:a0,lefty:a1,rightx:a2,righty:a3,lefttrigger:a4,"
                "righttrigger:a5";
            if (SDL_GameControllerAddMapping(mapping.constData()) < 0)
                return false;
            mapped_ = true;
            SDL_JoystickDetachVirtual(index_);
            index_ = attach();
        }
        joystick_ = index_ >= 0 ? SDL_JoystickOpen(index_) : nullptr;
        return joystick_ && SDL_IsGameController(index_);
    }

    void unplug() {
        if (!joystick_)
            return;
        SDL_JoystickClose(joystick_);
        joystick_ = nullptr;
        SDL_JoystickDetachVirtual(index_);
        index_ = -1;
    }

    void setButton(SDL_GameControllerButton button, bool down) {
        SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
    }
    void setAxis(SDL_GameControllerAxis axis, Sint16 value) {
        SDL_JoystickSetVirtualAxis(joystick_, axis, value);
    }

  private:
    static int attach() {
        return SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                         SDL_CONTROLLER_BUTTON_MAX, 0);
    }

    bool initialised_ = false;
    bool mapped_ = false;
    int index_ = -1;
    SDL_Joystick* joystick_ = nullptr;
};

} // namespace

class TestGamePad final : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        usePrivateHome();
        timings::setSpeedUp(50);
    }
    void wholeGameWithAPadPluggedInAndOut();

  private:
    // Presses and lets go; true once the game has heard the press.
    bool press(SDL_GameControllerButton button);
    bool pushStick(SDL_GameControllerAxis axis, Sint16 value);

    VirtualPad pad_;
    QSignalSpy* heard_ = nullptr;
};

bool TestGamePad::press(SDL_GameControllerButton button) {
    const qsizetype before = heard_->size();
    pad_.setButton(button, true);
    const bool heard = QTest::qWaitFor([&] { return heard_->size() > before; }, kWaitMs);
    pad_.setButton(button, false);
    QTest::qWait(50); // the release is seen before the next press
    GameHarness::runEventLoop(0);
    return heard;
}

bool TestGamePad::pushStick(SDL_GameControllerAxis axis, Sint16 value) {
    const qsizetype before = heard_->size();
    pad_.setAxis(axis, value);
    const bool heard = QTest::qWaitFor([&] { return heard_->size() > before; }, kWaitMs);
    pad_.setAxis(axis, 0);
    QTest::qWait(50);
    GameHarness::runEventLoop(0);
    return heard;
}

// Start, choose, open (skipping the suspense with A), answer НЕТ with B and ДА
// to an exchange with Y, pick the case to take, pull the pad out and plug it in
// again mid-game, the menu and the rules opened and closed, full screen and
// back, and a new game: every step by the pad alone.
void TestGamePad::wholeGameWithAPadPluggedInAndOut() {
    const std::vector<float> none;
    const std::vector<float> twentyNo = {0.25f};
    GameHarness h(wholeGameDraws({none, none, kYesExchange, kNoExchange, kNoExchange, twentyNo}));
    h.app->useGamePads();
    QVERIFY(h.app->gamePad());
    QSignalSpy heard(h.app->gamePad(), &GamePad::buttonPressed);
    QSignalSpy pads(h.app->gamePad(), &GamePad::padsChanged);
    heard_ = &heard;
    QVERIFY(pad_.plugIn());
    QTRY_COMPARE_WITH_TIMEOUT(GamePad::connectedCount(), 1, kWaitMs);
    GameWindow* w = h.w();
    const GameWindow::Controls& ui = w->controls();
    auto phase = [&h] { return h.w()->phase(); };

    QVERIFY(press(SDL_CONTROLLER_BUTTON_A)); // "Начать игру"
    QTRY_VERIFY_WITH_TIMEOUT(w->game().boardRevealed(), kWaitMs);
    QVERIFY(press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT)); // the ring comes to a case
    QVERIFY(pushStick(SDL_CONTROLLER_AXIS_LEFTX, 32767));
    QWidget* chosen = QApplication::focusWidget();
    QVERIFY(std::find(ui.casePlates.begin(), ui.casePlates.end(), chosen) != ui.casePlates.end());
    QVERIFY(press(SDL_CONTROLLER_BUTTON_A));
    QCOMPARE(phase(), GameWindow::Phase::WaitingForClick);
    QCOMPARE(ui.casePlates[h.app->state().ownCase], chosen);

    int offers = 0;
    bool replugged = false;
    for (int step = 0; step < 400 && phase() != GameWindow::Phase::GameOver; ++step) {
        switch (phase()) {
        case GameWindow::Phase::WaitingForClick:
        case GameWindow::Phase::ExchangePick:
            // The focus has followed play to a case to open (or to take).
            QTRY_VERIFY_WITH_TIMEOUT(h.app->desktopControls().focused() != nullptr, kWaitMs);
            QVERIFY(press(SDL_CONTROLLER_BUTTON_A));
            break;
        case GameWindow::Phase::Suspense: {
            const qint16 opened = h.app->state().openedCount;
            QVERIFY(press(SDL_CONTROLLER_BUTTON_A)); // the rest of the suspense skipped
            QCOMPARE(h.app->state().openedCount, qint16(opened + 1));
            break;
        }
        case GameWindow::Phase::OfferPending:
        case GameWindow::Phase::EndOfGame:
            h.endSound();
            GameHarness::runEventLoop(30);
            break;
        case GameWindow::Phase::OfferShown:
            ++offers;
            if (offers == 2 && !replugged) {
                // Pulled out and plugged in again with the offer standing.
                const QByteArray log = h.logBytes();
                pad_.unplug();
                QTRY_COMPARE_WITH_TIMEOUT(GamePad::connectedCount(), 0, kWaitMs);
                QCOMPARE(phase(), GameWindow::Phase::OfferShown);
                QCOMPARE(h.logBytes(), log);
                QVERIFY(pad_.plugIn());
                QTRY_COMPARE_WITH_TIMEOUT(GamePad::connectedCount(), 1, kWaitMs);
                replugged = true;
            }
            if (h.app->state().offer.exchange) {
                QVERIFY(press(SDL_CONTROLLER_BUTTON_Y));
            } else {
                QVERIFY(press(SDL_CONTROLLER_BUTTON_B));
            }
            QVERIFY(phase() != GameWindow::Phase::OfferShown);
            break;
        default:
            GameHarness::runEventLoop(10);
            break;
        }
        if (QTest::currentTestFailed())
            return;
    }
    QCOMPARE(phase(), GameWindow::Phase::GameOver);
    QCOMPARE(offers, 6);
    QVERIFY(replugged);
    QCOMPARE(h.random->remaining(), 0);
    QCOMPARE(h.app->statistics().gamesPlayed(), 1);
    QCOMPARE(h.app->statistics().lastGame()->exchanges.size(), size_t(1));
    QVERIFY(pads.size() >= 3); // in, out, in again
    QCOMPARE(pads.last().at(0).toInt(), 1);
    QVERIFY(h.logBytes().count("\r\n") > 20);

    // Start opens the menu, B closes it; Back goes full screen and back.
    QVERIFY(press(SDL_CONTROLLER_BUTTON_START));
    QTRY_VERIFY(h.app->desktopControls().menu()->isVisible());
    QVERIFY(press(SDL_CONTROLLER_BUTTON_B));
    QTRY_VERIFY(!h.app->desktopControls().menu()->isVisible());
    QVERIFY(press(SDL_CONTROLLER_BUTTON_BACK));
    QTRY_VERIFY(w->isFullScreen());
    QVERIFY(press(SDL_CONTROLLER_BUTTON_BACK));
    QTRY_VERIFY(!w->isFullScreen());
    // B closes the rules.
    h.app->desktopControls().showRules();
    QPointer<QDialog> rules = w->findChild<QDialog*>();
    QVERIFY(rules);
    // With a pad plugged in, the rules name its buttons.
    QVERIFY(rules->findChild<QTextBrowser*>()->toPlainText().contains(QStringLiteral("Геймпад")));
    QTRY_COMPARE(QApplication::activeWindow(), rules.data());
    QVERIFY(press(SDL_CONTROLLER_BUTTON_B));
    QTRY_VERIFY(!rules || !rules->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), w);

    // "Новая игра" with A, and in the new game the menu's "Новая игра" asks;
    // B answers the question «Нет».
    QVERIFY(press(SDL_CONTROLLER_BUTTON_A));
    QTRY_COMPARE(phase(), GameWindow::Phase::Loaded);
    QVERIFY(press(SDL_CONTROLLER_BUTTON_A));
    QTRY_COMPARE(phase(), GameWindow::Phase::ChoosingOwnCase);
    QVERIFY(press(SDL_CONTROLLER_BUTTON_START));
    QTRY_VERIFY(h.app->desktopControls().menu()->isVisible());
    QVERIFY(press(SDL_CONTROLLER_BUTTON_DPAD_DOWN)); // "Новая игра"
    QVERIFY(press(SDL_CONTROLLER_BUTTON_A));
    QPointer<QMessageBox> question = h.w()->findChild<QMessageBox*>();
    QVERIFY(question);
    QVERIFY(press(SDL_CONTROLLER_BUTTON_B));
    QTRY_VERIFY(!question);
    QCOMPARE(phase(), GameWindow::Phase::ChoosingOwnCase);
    heard_ = nullptr;
}

QTEST_MAIN(TestGamePad)
#include "test_game_pad.moc"
