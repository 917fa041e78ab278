// The game played from the keyboard and the context menu, through the real
// event loop, and the sound settings kept between runs.
#include "desktop_controls.h"
#include "game_harness.h"
#include "language.h"
#include "private_home.h"
#include "rounds.h"
#include "settings_file.h"
#include "sound_settings.h"
#include "statistics.h"
#include "timings.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

constexpr int kSpeedUp = 50;
constexpr int kWaitMs = 5000;

// Every draw of a game in which case i holds rank i and the player declines two
// offers, accepts the third and sees the rest through.
std::vector<float> declineTwiceThenAcceptDraws() {
    std::vector<float> draws = identityGameDraws();
    draws.push_back(drawFor(0, 2)); // the banker's manner
    for (const std::vector<float>& exchange :
         {std::vector<float>{}, std::vector<float>{}, kNoExchange, kNoExchange, kNoExchange,
          std::vector<float>{0.25f}}) {
        const std::vector<float> offer = offerDraws(exchange, 99);
        draws.insert(draws.end(), offer.begin(), offer.end());
    }
    return draws;
}

// The keys are the window's shortcuts: they act while it is the active window.
void typeKey(QWidget* window, Qt::Key key, const QString& text = {},
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    if (!window->isActiveWindow()) {
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
    }
    QTest::sendKeyEvent(QTest::Click, window, key, text, modifiers);
}

void typeCaseNumber(GameHarness& h, int caseIndex) {
    const int number = game::plateForCase(h.app->state().caseSkin, caseIndex) + 1;
    for (const QChar digit : QString::number(number))
        typeKey(h.w(), Qt::Key(Qt::Key_0 + digit.digitValue()), digit);
}

bool canPress(const QWidget* control) {
    return control->isVisible() && control->isEnabled();
}

// What a key that does not apply must leave as it was.
struct Snapshot {
    GameWindow::Phase phase;
    qint16 openedCount;
    qint16 ownCase;
    qsizetype sounds;
    QByteArray log;
    bool operator==(const Snapshot& other) const {
        return phase == other.phase && openedCount == other.openedCount &&
               ownCase == other.ownCase && sounds == other.sounds && log == other.log;
    }
};

Snapshot snapshot(const GameHarness& h) {
    return {h.w()->phase(), h.app->state().openedCount, h.app->state().ownCase,
            h.sound()->history().size(), h.logBytes()};
}

QAction* menuAction(DesktopControls& controls, const QString& text) {
    for (QAction* action : controls.menu()->actions()) {
        if (action->text().section(QLatin1Char('\t'), 0, 0) == text)
            return action;
    }
    return nullptr;
}

} // namespace

class TestDesktopControls final : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void init();
    void cleanup() { timings::setSpeedUp(1); }
    void keyboardGameLeavesTheLogOfAMouseGame();
    void keysThatDoNotApplyDoNothing_data();
    void keysThatDoNotApplyDoNothing();
    void theFocusIsWhereTheKeysAreAndOnlyThere();
    void muteAndVolumeAreRemembered();
    void volumeCaptionFitsAtEveryVolume();
    void windowsBesideTheGameFitAndCloseFromTheKeys_data();
    void windowsBesideTheGameFitAndCloseFromTheKeys();
    void newGameFromTheMenuAsksMidGame();
    void quittingMidGameAsksAndKeepsTheGame();
    void signalEndsTheGameAtOnce();
    void rightClickOnAnyControlOpensTheMenu();
    void theMenuFromTheKeysLeavesMidGame_data();
    void theMenuFromTheKeysLeavesMidGame();

  private:
    // Plays declineTwiceThenAcceptDraws() to the end, by keyboard or by mouse;
    // returns the log.
    static void playWholeGame(bool byKeyboard, QByteArray& log);
};

void TestDesktopControls::initTestCase() {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    usePrivateHome();
}

void TestDesktopControls::init() {
    QSettings(QStringLiteral("zorban"), QStringLiteral("zorban")).clear();
    timings::setSpeedUp(kSpeedUp);
}

void TestDesktopControls::playWholeGame(bool byKeyboard, QByteArray& log) {
    GameHarness h(declineTwiceThenAcceptDraws());
#define STOP_IF_FAILED                                                                             \
    if (QTest::currentTestFailed())                                                                \
    return
    h.sound()->setAutoEnd(1);
    const GameWindow::Controls& ui = h.w()->controls();
    auto pressCase = [&](int i) {
        if (byKeyboard) {
            typeCaseNumber(h, i);
            typeKey(h.w(), Qt::Key_Return);
        } else {
            QTest::mouseClick(ui.casePlates[i], Qt::LeftButton);
        }
    };
    auto openCase = [&](int i) {
        QTRY_VERIFY_WITH_TIMEOUT(canPress(ui.casePlates[i]) &&
                                     h.w()->phase() == GameWindow::Phase::WaitingForClick,
                                 kWaitMs);
        pressCase(i);
        QTRY_VERIFY_WITH_TIMEOUT(ui.casePlates[i]->isHidden(), kWaitMs);
    };
    auto answer = [&](QPushButton* button, Qt::Key key, const QString& text) {
        QTRY_VERIFY_WITH_TIMEOUT(canPress(button), kWaitMs);
        if (byKeyboard) {
            // The focus has come to the offer's "ДА".
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), ui.acceptButton, kWaitMs);
            typeKey(h.w(), key, text);
        } else
            QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!button->isVisible(), kWaitMs);
    };

    if (byKeyboard)
        typeKey(h.w(), Qt::Key_Return);
    else
        QTest::mouseClick(ui.startButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!h.app->game().timer(game::Game::Step::BoardReveal).isRunning(),
                             kWaitMs);
    pressCase(21);
    QTRY_COMPARE_WITH_TIMEOUT(h.app->state().ownCase, qint16(21), kWaitMs);

    // The first round along the top row with Space alone: after each opening
    // the focus goes on to the case with the next number.
    openCase(0);
    STOP_IF_FAILED;
    for (int i = 1; i <= 5; ++i) {
        QTRY_VERIFY_WITH_TIMEOUT(h.w()->phase() == GameWindow::Phase::WaitingForClick, kWaitMs);
        if (byKeyboard) {
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), ui.casePlates[i], kWaitMs);
            typeKey(h.w(), Qt::Key_Space, QStringLiteral(" "));
        } else {
            QTest::mouseClick(ui.casePlates[i], Qt::LeftButton);
        }
        QTRY_VERIFY_WITH_TIMEOUT(ui.casePlates[i]->isHidden(), kWaitMs);
    }
    STOP_IF_FAILED;
    answer(ui.declineButton, Qt::Key_N, QStringLiteral("n"));
    STOP_IF_FAILED;
    for (int i : {6, 7, 8})
        openCase(i);
    STOP_IF_FAILED;
    answer(ui.declineButton, Qt::Key(0x422), QStringLiteral("т")); // the key marked N
    STOP_IF_FAILED;
    for (int i : {9, 10, 11})
        openCase(i);
    STOP_IF_FAILED;
    answer(ui.acceptButton, Qt::Key(0x414), QStringLiteral("д"));
    STOP_IF_FAILED;
    for (int i = 12; i <= 20; ++i) {
        // After money was accepted the cases open at once, offers or not.
        QTRY_VERIFY_WITH_TIMEOUT(canPress(ui.casePlates[i]), kWaitMs);
        pressCase(i);
        QTRY_VERIFY_WITH_TIMEOUT(ui.casePlates[i]->isHidden(), kWaitMs);
    }
    STOP_IF_FAILED;
    QTRY_VERIFY_WITH_TIMEOUT(h.w()->phase() == GameWindow::Phase::GameOver, kWaitMs);
    STOP_IF_FAILED;
    log = h.logBytes();
    QCOMPARE(ui.winningsAmount->text(), QStringLiteral("223\u00A0000"));
    QCOMPARE(h.random->remaining(), 0);
    QCOMPARE(h.random->overdrawn(), 0);

    // "Новая игра" by its key too; the keys' focus is on it.
    if (byKeyboard) {
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), ui.newGameButton, kWaitMs);
        typeKey(h.w(), Qt::Key_Enter);
    } else
        QTest::mouseClick(ui.newGameButton, Qt::LeftButton);
    GameHarness::runEventLoop(0);
    QCOMPARE(h.w()->phase(), GameWindow::Phase::Loaded);
#undef STOP_IF_FAILED
}

void TestDesktopControls::keyboardGameLeavesTheLogOfAMouseGame() {
    QByteArray byMouse;
    playWholeGame(false, byMouse);
    QVERIFY(!QTest::currentTestFailed());
    QByteArray byKeyboard;
    playWholeGame(true, byKeyboard);
    QVERIFY(!QTest::currentTestFailed());
    QVERIFY(byMouse.count("\r\n") > 20);
    QCOMPARE(byKeyboard, byMouse);
}

void TestDesktopControls::keysThatDoNotApplyDoNothing_data() {
    QTest::addColumn<int>("openedBefore"); // the cases 0.. opened first
    QTest::addColumn<bool>("suspense");    // then the next case is clicked, its sound still on
    QTest::addColumn<QStringList>("keys"); // "case N" types the number on case N's plate

    QTest::newRow("answers while a case is awaited")
        << 0 << false << QStringList{"Y", "N", "Д", "Н", "Space"};
    QTest::newRow("case keys while the offer waits")
        << 6 << false << QStringList{"case 6", "Return", "Space"};
    QTest::newRow("an opened case's number")
        << 1 << false << QStringList{"Right", "case 0", "Return"};
    QTest::newRow("another case during the suspense")
        << 0 << true << QStringList{"case 1", "Right", "Y", "N"};
}

void TestDesktopControls::keysThatDoNotApplyDoNothing() {
    QFETCH(int, openedBefore);
    QFETCH(bool, suspense);
    QFETCH(QStringList, keys);
    timings::setSpeedUp(1);
    auto h = GameHarness::withOwnCase(21);
    QVERIFY(h);
    for (int i = 0; i < openedBefore; ++i)
        QVERIFY(h->openCase(i));
    if (openedBefore == 6)
        QVERIFY(h->showOffer(offerDraws({}, 99)));
    if (suspense)
        QVERIFY(GameHarness::click(h->w()->controls().casePlates[openedBefore]));
    const Snapshot before = snapshot(*h);

    const QHash<QString, Qt::Key> named = {{"Y", Qt::Key_Y},         {"N", Qt::Key_N},
                                           {"Д", Qt::Key(0x414)},    {"Н", Qt::Key(0x41D)},
                                           {"Space", Qt::Key_Space}, {"Return", Qt::Key_Return},
                                           {"Right", Qt::Key_Right}};
    for (const QString& key : keys) {
        if (key.startsWith(QLatin1String("case ")))
            typeCaseNumber(*h, key.mid(5).toInt());
        else
            typeKey(h->w(), named.value(key), key.size() == 1 ? key.toLower() : QString());
    }
    GameHarness::runEventLoop(20);
    QCOMPARE(h->w()->phase(), before.phase);
    QVERIFY(snapshot(*h) == before);
    if (suspense) {
        // A press skips the rest of the suspense: the clicked case opens.
        typeKey(h->w(), Qt::Key_Return);
        QVERIFY(h->w()->controls().casePlates[openedBefore]->isHidden());
        QCOMPARE(h->app->state().openedCount, before.openedCount + 1);
    }
}

void TestDesktopControls::theFocusIsWhereTheKeysAreAndOnlyThere() {
    auto h = GameHarness::withOwnCase(21);
    QVERIFY(h);
    const GameWindow::Controls& ui = h->w()->controls();
    const DesktopControls& controls = h->app->desktopControls();
    h->w()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(h->w()));
    QCOMPARE(QApplication::focusWidget(), h->w()); // no ring before the keys are used
    QVERIFY(!controls.focusRing()->isVisible());
    auto ringIsRoundTheFocus = [&] {
        const QWidget* focus = QApplication::focusWidget();
        return focus && focus == controls.focused() && controls.focusRing()->isVisible() &&
               controls.focusRing()->geometry().contains(focus->geometry(), true);
    };
    // Round all the cases and back: the own case, where a press does nothing,
    // is passed by.
    QSet<const QWidget*> visited;
    for (int step = 0; step < game::kCaseCount; ++step) {
        typeKey(h->w(), Qt::Key_Tab);
        QVERIFY2(ringIsRoundTheFocus(), qPrintable(QString::number(step)));
        const auto plate =
            std::find(ui.casePlates.begin(), ui.casePlates.end(), QApplication::focusWidget());
        QVERIFY2(!visited.contains(QApplication::focusWidget()) || step == game::kCaseCount - 1,
                 qPrintable(QStringLiteral("step %1: case %2 again")
                                .arg(step)
                                .arg(plate - ui.casePlates.begin())));
        visited << QApplication::focusWidget();
    }
    QCOMPARE(visited.size(), game::kCaseCount - 1);
    QVERIFY(!visited.contains(ui.casePlates[21]));

    // A click does not take the focus from the case the keys chose; while the
    // clicked case's sound plays the cases cannot be pressed and the focus
    // waits on the window, and it comes back afterwards.
    typeCaseNumber(*h, 3);
    QCOMPARE(QApplication::focusWidget(), ui.casePlates[3]);
    QVERIFY(GameHarness::click(ui.casePlates[0]));
    QCOMPARE(QApplication::focusWidget(), h->w());
    QVERIFY(!controls.focusRing()->isVisible());
    h->endSound();
    QVERIFY(ui.casePlates[0]->isHidden());
    QCOMPARE(QApplication::focusWidget(), ui.casePlates[3]);
    QVERIFY(ringIsRoundTheFocus());

    // While the focused case's sound plays the focus waits on the window; once
    // the case is open it goes on to the case with the next number.
    typeKey(h->w(), Qt::Key_Space, QStringLiteral(" "));
    QCOMPARE(QApplication::focusWidget(), h->w());
    QVERIFY(!controls.focusRing()->isVisible());
    h->endSound();
    QVERIFY(ui.casePlates[3]->isHidden());
    QTRY_COMPARE(QApplication::focusWidget(), ui.casePlates[4]);
    QVERIFY(ringIsRoundTheFocus());
}

void TestDesktopControls::muteAndVolumeAreRemembered() {
    {
        GameHarness first;
        DesktopControls& controls = first.app->desktopControls();
        QVERIFY(!controls.mutedMark()->isVisible());
        // The quick pace too, off until chosen in the menu.
        QVERIFY(!first.app->game().isQuickPace());
        QAction* quick = menuAction(controls, QStringLiteral("Быстрая игра"));
        QVERIFY(quick && !quick->isChecked());
        quick->trigger();
        QVERIFY(first.app->game().isQuickPace());
        menuAction(controls, QStringLiteral("Итоги в конце партии"))->trigger();
        typeKey(first.w(), Qt::Key_M, QStringLiteral("m"));
        typeKey(first.w(), Qt::Key_Minus, QStringLiteral("-"));
        typeKey(first.w(), Qt::Key_Minus, QStringLiteral("-"));
        QVERIFY(controls.mutedMark()->isVisible());
        QVERIFY(first.app->soundSettings().isMuted());
        QCOMPARE(first.app->soundSettings().volume(), 80);
        // The volume shows for a moment.
        QVERIFY(controls.volumeMark()->isVisible());
        QCOMPARE(controls.volumeMark()->text(), QStringLiteral("Громкость 80 %"));
        // The marks sit on the backdrop, on no designed control.
        const QList<const QWidget*> marks{controls.mutedMark(), controls.volumeMark()};
        for (const QWidget* mark : marks) {
            for (const QWidget* child :
                 first.w()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                QVERIFY2(marks.contains(child) || !child->geometry().intersects(mark->geometry()),
                         qPrintable(child->metaObject()->className()));
        }
        QTRY_VERIFY_WITH_TIMEOUT(!controls.volumeMark()->isVisible(), 2000);
    }
    {
        GameHarness next; // the next run
        QVERIFY(next.app->game().isQuickPace());
        QVERIFY(menuAction(next.app->desktopControls(), QStringLiteral("Итоги в конце партии"))
                    ->isChecked());
        QVERIFY(next.app->soundSettings().isMuted());
        QCOMPARE(next.app->soundSettings().volume(), 80);
        QVERIFY(next.app->desktopControls().mutedMark()->isVisible());
        typeKey(next.w(), Qt::Key_Plus, QStringLiteral("+")); // louder turns the sound on
        QVERIFY(!next.app->soundSettings().isMuted());
        QVERIFY(!next.app->desktopControls().mutedMark()->isVisible());
    }
    {
        GameHarness mutedByCommandLine;
        QVERIFY(!mutedByCommandLine.app->soundSettings().isMuted());
        QCOMPARE(mutedByCommandLine.app->soundSettings().volume(), 90);
        mutedByCommandLine.app->soundSettings().muteThisRun();
        QVERIFY(mutedByCommandLine.app->desktopControls().mutedMark()->isVisible());
        typeKey(mutedByCommandLine.w(), Qt::Key_Minus, QStringLiteral("-"));
    }
    GameHarness last; // the mute of that run only is forgotten, its volume is not
    QVERIFY(!last.app->soundSettings().isMuted());
    QCOMPARE(last.app->soundSettings().volume(), 80);
}

// "Громкость 100 %" and every other volume fit the caption's box, in both
// languages, from the smallest window to a full HD screen.
void TestDesktopControls::volumeCaptionFitsAtEveryVolume() {
    GameHarness h;
    const DesktopControls& controls = h.app->desktopControls();
    SoundSettings& sound = h.app->soundSettings();
    const QSize smallest = h.w()->minimumSize();
    for (const QString& language : {QStringLiteral("ru"), QStringLiteral("en")}) {
        QVERIFY(i18n::setLanguage(language));
        for (const QSize size : {smallest, QSize(1016, 540), QSize(1920, 1080)}) {
            h.w()->resize(size);
            QCOMPARE(h.w()->size(), size);
            for (int volume = 0; volume <= 100; ++volume) {
                // Shown by the key that brings the volume there.
                sound.setVolume(volume <= 90 ? volume + 10 : volume - 10);
                typeKey(h.w(), volume <= 90 ? Qt::Key_Minus : Qt::Key_Plus,
                        volume <= 90 ? QStringLiteral("-") : QStringLiteral("+"));
                QCOMPARE(sound.volume(), volume);
                const QLabel* mark = controls.volumeMark();
                QVERIFY(mark->isVisible());
                QVERIFY(mark->text().contains(QString::number(volume)));
                const QSize text = mark->fontMetrics().size(0, mark->text());
                const QRect box = mark->contentsRect();
                QVERIFY2(text.width() <= box.width() && text.height() <= box.height(),
                         qPrintable(QStringLiteral("%1 at %2x%3: %4 px in %5 px")
                                        .arg(mark->text())
                                        .arg(size.width())
                                        .arg(size.height())
                                        .arg(text.width())
                                        .arg(box.width())));
            }
        }
    }
    QVERIFY(i18n::setLanguage(QStringLiteral("ru")));
}

void TestDesktopControls::windowsBesideTheGameFitAndCloseFromTheKeys_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("ctrlW"); // else Esc
    for (const char* window : {"rules", "statistics", "credits"}) {
        QTest::addRow("%s, Esc", window) << window << false;
        QTest::addRow("%s, Ctrl+W", window) << window << true;
    }
}

// On a screen smaller than they are (the offscreen screen is 800 x 600), the
// windows opened beside the game fit wholly; the keys close them and the game
// window has the keyboard again.
void TestDesktopControls::windowsBesideTheGameFitAndCloseFromTheKeys() {
    QFETCH(QString, window);
    QFETCH(bool, ctrlW);
    GameHarness h;
    QPointer<QWidget> opened;
    if (window == QStringLiteral("rules")) {
        typeKey(h.w(), Qt::Key_F1);
        opened = h.w()->findChild<QDialog*>();
    } else if (window == QStringLiteral("statistics")) {
        h.app->showStatistics();
        opened = h.app->statisticsWindow();
        QVERIFY(h.app->statisticsWindow()->closeButton()->isVisible());
    } else {
        h.app->showCredits();
        opened = h.app->credits();
    }
    QVERIFY(opened);
    QTRY_COMPARE(QApplication::activeWindow(), opened.data());
    const QRect screen = opened->screen()->availableGeometry();
    QVERIFY2(screen.contains(opened->frameGeometry()),
             qPrintable(storage::SettingsFile::rectText(opened->frameGeometry())));
    if (ctrlW)
        QTest::keyClick(opened->focusWidget() ? opened->focusWidget() : opened.data(), Qt::Key_W,
                        Qt::ControlModifier);
    else
        QTest::keyClick(opened->focusWidget() ? opened->focusWidget() : opened.data(),
                        Qt::Key_Escape);
    QTRY_VERIFY(!opened || !opened->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), h.w());
}

void TestDesktopControls::newGameFromTheMenuAsksMidGame() {
    auto h = GameHarness::withOwnCase(21);
    QVERIFY(h);
    auto chooseNewGame = [&h] {
        QAction* newGame = menuAction(h->app->desktopControls(), QStringLiteral("Новая игра"));
        QVERIFY(newGame);
        newGame->trigger();
    };
    for (const QMessageBox::StandardButton reply : {QMessageBox::No, QMessageBox::Yes}) {
        chooseNewGame();
        const QList<QMessageBox*> questions = h->w()->findChildren<QMessageBox*>();
        QCOMPARE(questions.size(), 1);
        questions.front()->button(reply)->click();
        GameHarness::runEventLoop(0);
        QCOMPARE(h->app->game().isInProgress(), reply == QMessageBox::No);
    }
    QCOMPARE(h->w()->phase(), GameWindow::Phase::Loaded);
    // The game left before any deal counts as left, not as played.
    QCOMPARE(h->app->statistics().gamesLeft(), 1);
    QCOMPARE(h->app->statistics().gamesPlayed(), 0);
    // Before the start nothing is asked.
    chooseNewGame();
    GameHarness::runEventLoop(0);
    QCOMPARE(h->w()->phase(), GameWindow::Phase::Loaded);
    QVERIFY(h->w()->findChildren<QMessageBox*>().isEmpty());
}

// A signal ends a game under way at once, with no question, and records it
// once, as a deal when it has one; a second signal changes nothing.
void TestDesktopControls::signalEndsTheGameAtOnce() {
    for (const bool afterDeal : {false, true}) {
        auto h = GameHarness::withOwnCase(21);
        QVERIFY(h);
        if (afterDeal) {
            QVERIFY(h->openCases({0, 1, 2, 3, 4, 5}));
            QVERIFY(h->showOffer(offerDraws({}, 99)));
            QVERIFY(GameHarness::click(h->w()->controls().acceptButton));
        }
        // As in the game: the signals arrive while the event loop runs, which
        // must end by them alone.
        QTimer::singleShot(0, h->app.get(), [&h] {
            h->app->endNow();
            h->app->endNow();
        });
        QTimer stillRunning;
        stillRunning.setSingleShot(true);
        connect(&stillRunning, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        stillRunning.start(3000);
        QCOMPARE(QCoreApplication::exec(), 0);
        stillRunning.stop();
        QVERIFY(h->w()->findChildren<QMessageBox*>().isEmpty());
        const storage::Statistics kept =
            storage::StatisticsStore(h->statisticsFile()).load().statistics;
        QCOMPARE(kept.gamesLeft(), afterDeal ? 0 : 1);
        QCOMPARE(kept.gamesPlayed(), afterDeal ? 1 : 0);
    }
}

// Ctrl+Q, "Выход" and the window's close button ask mid-game; "Нет" keeps the
// game as it was. Left after "ДА" to money, the game is recorded with the deal
// as its winnings; left undecided, it counts as left. Before the start nothing
// is asked and nothing recorded.
void TestDesktopControls::quittingMidGameAsksAndKeepsTheGame() {
    for (const bool afterDeal : {false, true}) {
        auto h = GameHarness::withOwnCase(21);
        QVERIFY(h);
        GameWindow* w = h->w();
        double deal = 0;
        if (afterDeal) {
            QVERIFY(h->openCases({0, 1, 2, 3, 4, 5}));
            QVERIFY(h->showOffer(offerDraws({}, 99)));
            deal = double(h->app->state().offer.amount);
            QVERIFY(GameHarness::click(w->controls().acceptButton));
        }
        const GameWindow::Phase phase = w->phase();
        QAction* quit = menuAction(h->app->desktopControls(), QStringLiteral("Выход"));
        QVERIFY(quit);
        const std::vector<std::function<void()>> waysOut = {
            [&] { typeKey(w, Qt::Key_Q, {}, Qt::ControlModifier); },
            [&] { quit->trigger(); },
            [&] { w->close(); },
        };
        for (size_t way = 0; way < waysOut.size(); ++way) {
            waysOut[way]();
            const QList<QMessageBox*> questions = w->findChildren<QMessageBox*>();
            QCOMPARE(questions.size(), 1);
            const bool leave = way + 1 == waysOut.size();
            questions.front()->button(leave ? QMessageBox::Yes : QMessageBox::No)->click();
            GameHarness::runEventLoop(0);
            QCOMPARE(w->isVisible(), !leave);
            if (!leave) {
                QCOMPARE(w->phase(), phase);
                QCOMPARE(h->app->statistics().gamesPlayed() + h->app->statistics().gamesLeft(), 0);
            }
        }
        const storage::StatisticsStore::Loaded kept =
            storage::StatisticsStore(h->statisticsFile()).load();
        QVERIFY(kept.problem.isEmpty());
        const storage::Statistics& s = kept.statistics;
        QCOMPARE(s.gamesLeft(), afterDeal ? 0 : 1);
        QCOMPARE(s.gamesPlayed(), afterDeal ? 1 : 0);
        if (afterDeal) {
            QVERIFY(deal > 0);
            QCOMPARE(s.totalWinnings(), deal);
            QCOMPARE(s.lastGame()->acceptedOffer, std::optional<double>(deal));
            QCOMPARE(s.lastGame()->ownCaseAmount, 3000000.0); // case 21 holds the top amount
            QCOMPARE(s.dealsBelowOwnCase(), 1);
        }
    }
    GameHarness fresh(identityGameDraws());
    typeKey(fresh.w(), Qt::Key_Q, {}, Qt::ControlModifier);
    GameHarness::runEventLoop(0);
    QVERIFY(!fresh.w()->isVisible());
    QVERIFY(fresh.w()->findChildren<QMessageBox*>().isEmpty());
    QCOMPARE(fresh.app->statistics().gamesPlayed() + fresh.app->statistics().gamesLeft(), 0);
}

void TestDesktopControls::rightClickOnAnyControlOpensTheMenu() {
    GameHarness h(identityGameDraws());
    const GameWindow::Controls& ui = h.w()->controls();
    for (const QWidget* control :
         {static_cast<QWidget*>(ui.casePlates[0]), static_cast<QWidget*>(ui.startButton),
          static_cast<QWidget*>(ui.logo), static_cast<QWidget*>(ui.historyCover)}) {
        QMenu* menu = h.app->desktopControls().menu();
        QVERIFY(!menu->isVisible());
        QTest::mouseClick(h.w()->windowHandle(), Qt::RightButton, {}, control->geometry().center());
        QTRY_VERIFY2(menu->isVisible(), control->metaObject()->className());
        menu->close();
    }
    QCOMPARE(h.w()->phase(), GameWindow::Phase::Loaded);
}

void TestDesktopControls::theMenuFromTheKeysLeavesMidGame_data() {
    QTest::addColumn<Qt::Key>("arrow"); // from the Menu key to the entry
    QTest::addColumn<bool>("quit");     // else a new game
    QTest::newRow("new game") << Qt::Key_Down << false;
    QTest::newRow("quit") << Qt::Key_Up << true;
}

// Menu key, an arrow, Return: the question stays while Return is held and
// released, and takes the answer given by the keys after.
void TestDesktopControls::theMenuFromTheKeysLeavesMidGame() {
    QFETCH(Qt::Key, arrow);
    QFETCH(bool, quit);
    auto h = GameHarness::withOwnCase(21);
    QVERIFY(h);
    GameWindow* playing = h->w();
    for (const QMessageBox::StandardButton reply : {QMessageBox::No, QMessageBox::Yes}) {
        typeKey(playing, Qt::Key_Menu);
        QMenu* menu = h->app->desktopControls().menu();
        QTRY_VERIFY(menu->isVisible());
        QTest::keyClick(menu, arrow);
        QTest::keyPress(menu, Qt::Key_Return);
        QPointer<QMessageBox> question = playing->findChild<QMessageBox*>();
        QVERIFY(question);
        QTRY_COMPARE(QApplication::activeWindow(), question.data());
        // What the question gets while Return is held, then let go: repeats
        // marked as such, and a release and a press at the same moment, which
        // Qt on X11 does not always mark.
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus && focus->window() == question);
        const std::pair<QEvent::Type, bool> held[] = {{QEvent::KeyRelease, true},
                                                      {QEvent::KeyPress, true},
                                                      {QEvent::KeyRelease, false},
                                                      {QEvent::KeyPress, false},
                                                      {QEvent::KeyRelease, false}};
        ulong moment = 1000;
        for (const auto& [type, markedAsRepeat] : held) {
            QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"),
                          markedAsRepeat);
            key.setTimestamp(type == QEvent::KeyRelease ? ++moment : moment);
            QApplication::sendEvent(focus, &key);
        }
        GameHarness::runEventLoop(0);
        QVERIFY(question && question->isVisible());
        QCOMPARE(h->w(), playing);

        QAbstractButton* answer = question->button(reply);
        if (reply == QMessageBox::Yes)
            QTest::keyClick(question->focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(question->focusWidget(), answer);
        QTest::keyClick(answer, Qt::Key_Return);
        GameHarness::runEventLoop(0);
        QVERIFY(!question);
        if (reply == QMessageBox::No) {
            QCOMPARE(h->w(), playing);
            QVERIFY(playing->isVisible());
            QVERIFY(h->app->game().isInProgress());
        }
    }
    if (quit)
        QVERIFY(!playing->isVisible());
    else
        QCOMPARE(h->w()->phase(), GameWindow::Phase::Loaded);
}

QTEST_MAIN(TestDesktopControls)
#include "test_desktop_controls.moc"
