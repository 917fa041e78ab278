// The main window as it is built and started: layout, the reveal of the board,
// and "Новая игра".
#include "game_harness.h"
#include "layout.h"
#include "media_files.h"
#include "movie_widget.h"
#include "rounds.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

class TestMainWindow final : public QObject {
    Q_OBJECT

  private slots:
    void windowHasDesignedSizeAndTitle();
    void controlsStandAtTheirPlaces_data();
    void controlsStandAtTheirPlaces();
    void freshWindowShowsOnlyWhatTheDesignShows();
    void lidsStandAtFrameOne();
    void caseSkinArrangesThePlates_data();
    void caseSkinArrangesThePlates();
    void startShufflesAndWritesTheAmounts();
    void revealTimeline();
    void revealRunsInRealTime();
    void caseClickedDuringRevealBecomesOwnCase();
    void clicksBeforeStartDoNothing();
    void newGameRebuildsWindowAndKeepsState();
    void logIsEmptiedAtLoad();
    void unwritableStartDirectoryStillStarts();
    void logoOpensOneCreditsWindow();
    void closingTheWindowClosesTheCredits();
};

void TestMainWindow::windowHasDesignedSizeAndTitle() {
    GameHarness h(identityGameDraws());
    QCOMPARE(h.w()->size(), QSize(1058, 758));
    QCOMPARE(h.w()->minimumSize(), h.w()->maximumSize());
    QCOMPARE(h.w()->windowTitle(), QStringLiteral("? ЗОРБАН !"));
    QCOMPARE(h.w()->Picture1->toolTip(), QStringLiteral("Об авторах"));
}

void TestMainWindow::controlsStandAtTheirPlaces_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QRect>("pixels");
    QTest::newRow("first case plate") << "Label1 0" << QRect(32, 32, 80, 55);
    QTest::newRow("last case plate") << "Label1 21" << QRect(168 + 3 * 88, 248, 80, 55);
    QTest::newRow("second row plate") << "Label1 7" << QRect(80, 104, 80, 55);
    QTest::newRow("lid of case 13") << "Крышка 13" << QRect(120, 168, 81, 73);
    QTest::newRow("amount in case 9 is short") << "Label2 8" << QRect(80 + 88, 128, 81, 9);
    QTest::newRow("amount in case 1") << "Label2 0" << QRect(32, 56, 81, 17);
    QTest::newRow("open briefcase") << "Image1 0" << QRect(32, 24, 80, 65);
    QTest::newRow("board low half") << "labelSum 0" << QRect(656, 40, 153, 25);
    QTest::newRow("board high half") << "labelSum 21" << QRect(824, 440, 153, 25);
    QTest::newRow("board plate") << "plast 11" << QRect(824, 32, 153, 33);
    QTest::newRow("history row") << "labelPredl 4" << QRect(16, 600, 129, 25);
    QTest::newRow("history plate") << "flashPredl 0" << QRect(16, 432, 137, 33);
    QTest::newRow("banker panel reaches past the left edge")
        << "BankFlash" << QRect(-265, 336, 529, 65);
    QTest::newRow("winnings panel") << "WinFlash" << QRect(-232, 536, 777, 97);
    QTest::newRow("offer") << "LabelBank" << QRect(8, 336, 241, 65);
    QTest::newRow("start button") << "Command1" << QRect(208, 320, 257, 49);
    QTest::newRow("new game button shares it") << "Command2" << QRect(208, 320, 257, 49);
    QTest::newRow("yes") << "yes" << QRect(280, 336, 49, 25);
    QTest::newRow("no") << "no" << QRect(280, 376, 49, 25);
    QTest::newRow("counter frame") << "Shape1" << QRect(224, 580, 277, 49);
    QTest::newRow("logo") << "Picture1" << QRect(664, 664, 304, 41);
}

void TestMainWindow::controlsStandAtTheirPlaces() {
    QFETCH(QString, control);
    QFETCH(QRect, pixels);
    GameHarness h(identityGameDraws());
    Form1* w = h.w();
    const QString name = control.section(' ', 0, 0);
    const int index = control.section(' ', 1, 1).toInt();
    const QHash<QString, QWidget*> single = {{"BankFlash", w->BankFlash},
                                             {"WinFlash", w->WinFlash},
                                             {"LabelBank", w->LabelBank},
                                             {"Command1", w->Command1},
                                             {"Command2", w->Command2},
                                             {"yes", w->yes},
                                             {"no", w->no},
                                             {"Shape1", w->Shape1},
                                             {"Picture1", w->Picture1}};
    QWidget* widget = single.value(name);
    if (name == "Label1")
        widget = w->Label1[index];
    else if (name == "Крышка")
        widget = w->Крышка[index];
    else if (name == "Label2")
        widget = w->Label2[index];
    else if (name == "Image1")
        widget = w->Image1[index];
    else if (name == "labelSum")
        widget = w->labelSum[index];
    else if (name == "plast")
        widget = w->plast[index];
    else if (name == "labelPredl")
        widget = w->labelPredl[index];
    else if (name == "flashPredl")
        widget = w->flashPredl[index];
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), pixels);
}

void TestMainWindow::freshWindowShowsOnlyWhatTheDesignShows() {
    GameHarness h(identityGameDraws());
    Form1* w = h.w();
    for (QWidget* hidden : std::initializer_list<QWidget*>{
             w->Command2, w->yes, w->no, w->LabelBank, w->Label3, w->Label5, w->Label6, w->Label7,
             w->Shape1, w->Shape2, w->Shape3, w->winlabel, w->win, w->WinFlash, w->metka,
             w->obmenMetka})
        QVERIFY2(hidden->isHidden(), qPrintable(hidden->metaObject()->className()));
    for (int k = 0; k < 22; ++k) {
        QVERIFY(w->labelSum[k]->isHidden());
        QVERIFY(w->plast[k]->isHidden());
        QVERIFY(!w->Label1[k]->isHidden());
        QVERIFY(!w->Label1[k]->isEnabled());
    }
    for (int row = 0; row < 5; ++row)
        QVERIFY(w->labelPredl[row]->isHidden() && w->flashPredl[row]->isHidden());
    QVERIFY(w->Command1->isVisible() && w->Label4->isVisible() && w->BankFlash->isVisible());
    QCOMPARE(w->Label6->text(), QStringLiteral("6"));
    QCOMPARE(w->Label7->text(), QString(QChar(0x260E)));
    QCOMPARE(w->phase(), Form1::Phase::Loaded);
    // The stacking of a case cell: the plate over the lid over the amount over the briefcase.
    QList<QObject*> order = w->children();
    QVERIFY(order.indexOf(w->Label1[3]) > order.indexOf(w->Крышка[3]));
    QVERIFY(order.indexOf(w->Крышка[3]) > order.indexOf(w->Label2[3]));
    QVERIFY(order.indexOf(w->Label2[3]) > order.indexOf(w->Image1[3]));
    QVERIFY(order.indexOf(w->LabelBank) > order.indexOf(w->BankFlash));
    QVERIFY(order.indexOf(w->labelSum[5]) > order.indexOf(w->plast[5]));
    QVERIFY(order.indexOf(w->Label4) > order.indexOf(w->labelPredl[4]));
    QVERIFY(order.indexOf(w->Shape2) > order.indexOf(w->Label4));
    QVERIFY(order.indexOf(w->Label6) > order.indexOf(w->Shape2));
    QVERIFY(order.indexOf(w->win) > order.indexOf(w->WinFlash));
}

void TestMainWindow::lidsStandAtFrameOne() {
    GameHarness h(identityGameDraws());
    for (MovieWidget* lid : h.w()->Крышка) {
        QVERIFY(lid->movie().endsWith(media::kMovieLidOpen));
        QVERIFY(lid->isLoaded());
        QCOMPARE(lid->frameNum(), 1);
        QVERIFY(!lid->isPlaying());
    }
    QVERIFY(h.w()->WinFlash->movie().endsWith(media::kMovieBankOpen));
    QVERIFY(h.w()->plast[0]->movie().endsWith(media::kMovieOpenPlate));
}

void TestMainWindow::caseSkinArrangesThePlates_data() {
    QTest::addColumn<int>("skin");
    QTest::newRow("first arrangement") << 0;
    QTest::newRow("second arrangement") << 1;
    QTest::newRow("designed plates") << 2;
}

void TestMainWindow::caseSkinArrangesThePlates() {
    QFETCH(int, skin);
    GameHarness h(identityGameDraws(skin));
    QCOMPARE(int(h.app->state().caseSkin), skin);
    for (int i = 0; i < 22; ++i) {
        const QImage shown = h.w()->Label1[i]->picture().toImage();
        const QImage expected = h.w()->Chem[game::plateForCase(skin, i)].toImage();
        QVERIFY(!expected.isNull());
        QCOMPARE(shown, expected);
    }
}

void TestMainWindow::startShufflesAndWritesTheAmounts() {
    std::vector<float> draws = {drawFor(2, 3)};
    for (int i = 0; i < 22; ++i)
        draws.push_back(drawFor((i * 7) % 22, 22));
    GameHarness a(draws);
    QVERIFY(a.startGame());
    Form1* w = a.w();
    for (int i = 0; i < 22; ++i) {
        QCOMPARE(w->Label2[i]->text(), game::amountText(a.app->state().caseAmount[i]));
        QCOMPARE(w->labelSum[i]->text(), game::amountText(i));
        QVERIFY(w->Label1[i]->isEnabled());
    }
    QVERIFY(w->Command1->isHidden());
    QVERIFY(!a.app->state().offerTaken);

    GameHarness b(draws);
    QVERIFY(b.startGame());
    QCOMPARE(b.app->state().caseAmount, a.app->state().caseAmount);
}

void TestMainWindow::revealTimeline() {
    GameHarness h(identityGameDraws());
    Form1* w = h.w();
    QVERIFY(GameHarness::click(w->Command1));
    QCOMPARE(w->main->interval(), 500);
    QCOMPARE(h.app->state().introStep, -1);
    QVERIFY(w->Label1[0]->isEnabled());

    w->main_Timer(); // 500 ms: only counts
    QCOMPARE(h.app->state().introStep, 0);
    QCOMPARE(w->main->interval(), 500);
    QVERIFY(h.sound()->history().isEmpty());

    w->main_Timer(); // 1000 ms: music and the top entry
    QCOMPARE(h.lastSound(), media::kSoundBoardReveal);
    QCOMPARE(w->main->interval(), 75);
    QVERIFY(!w->labelSum[21]->isHidden());
    QVERIFY(w->plast[21]->isVisible());
    QVERIFY(w->labelSum[20]->isHidden());

    for (int step = 1; step < 21; ++step) {
        w->main_Timer();
        QVERIFY(!w->labelSum[21 - step]->isHidden());
        QVERIFY(w->labelSum[20 - step]->isHidden());
    }
    QVERIFY(w->Label5->isHidden());
    w->main_Timer(); // the last entry, with the prompt
    QVERIFY(!w->labelSum[0]->isHidden());
    QCOMPARE(w->Label5->text(), game::kChooseOwnCasePrompt);
    QVERIFY(w->Label5->isVisible() && w->Shape1->isVisible() && w->Shape2->isVisible() &&
            w->Shape3->isVisible());
    QVERIFY(w->Label6->isHidden() && w->Label7->isHidden());
    QCOMPARE(w->main->interval(), 0);
    QCOMPARE(h.sound()->history().size(), 1);
}

void TestMainWindow::revealRunsInRealTime() {
    GameHarness h(identityGameDraws());
    QElapsedTimer clock;
    clock.start();
    QVERIFY(GameHarness::click(h.w()->Command1));
    QTRY_VERIFY_WITH_TIMEOUT(!h.w()->labelSum[21]->isHidden(), 3000);
    const qint64 first = clock.elapsed();
    QTRY_VERIFY_WITH_TIMEOUT(h.w()->Label5->isVisible(), 6000);
    const qint64 last = clock.elapsed();
    QVERIFY2(first >= 990, qPrintable(QString::number(first)));
    QVERIFY2(last - first >= 21 * 75 - 10, qPrintable(QString::number(last - first)));
    QCOMPARE(h.w()->main->interval(), 0);
}

void TestMainWindow::caseClickedDuringRevealBecomesOwnCase() {
    GameHarness h(identityGameDraws());
    h.random->append({drawFor(1, 2)}); // the banker's manner, drawn at the choice
    Form1* w = h.w();
    QVERIFY(GameHarness::click(w->Command1));
    for (int tick = 0; tick < 6; ++tick)
        w->main_Timer();
    QVERIFY(GameHarness::click(w->Label1[13]));
    game::GameState& s = h.app->state();
    QCOMPARE(s.ownCase, qint16(13));
    QCOMPARE(s.openedCount, qint16(0));
    QCOMPARE(s.bankerStyle, qint16(1));
    QCOMPARE(h.lastSound(), media::kSoundOwnCase);
    QCOMPARE(w->Image1[13]->pos(), w->metka->pos());
    QCOMPARE(layout::top(w->Label1[13]), layout::top(w->metka) + 100);
    QCOMPARE(layout::top(w->Label2[13]), layout::top(w->metka) + 500);
    QCOMPARE(w->Крышка[13]->pos(), w->metka->pos());
    QCOMPARE(w->Label6->text(), QStringLiteral("6"));
    QCOMPARE(w->Label5->text(), game::kFirstRoundWords);
    QVERIFY(w->Label6->isVisible() && w->Label7->isVisible());
    // The other cases stay where they were.
    QCOMPARE(w->Label1[12]->geometry(), layout::toPixels(layout::casePlate(12)));

    // The reveal goes on to the end without the prompt and without stopping.
    for (int tick = 6; tick < 30; ++tick)
        w->main_Timer();
    for (int k = 0; k < 22; ++k)
        QVERIFY(!w->labelSum[k]->isHidden());
    QCOMPARE(w->Label5->text(), game::kFirstRoundWords);
    QCOMPARE(w->main->interval(), 75);
    QCOMPARE(s.introStep, 29);
}

void TestMainWindow::clicksBeforeStartDoNothing() {
    GameHarness h(identityGameDraws());
    QVERIFY(!GameHarness::click(h.w()->Label1[4]));
    QTest::mouseClick(h.w()->Label1[4], Qt::LeftButton); // ignored by a disabled plate
    h.w()->Label1_Click(4);                              // nor taken from a stray call
    QCOMPARE(h.app->state().ownCase, qint16(-1));
    QVERIFY(h.sound()->history().isEmpty());
}

void TestMainWindow::newGameRebuildsWindowAndKeepsState() {
    GameHarness h(identityGameDraws(0));
    game::GameState& s = h.app->state();
    QVERIFY(h.startGame());
    QVERIFY(GameHarness::click(h.w()->Label1[3]));
    // Pretend a finished game left its traces.
    s.swapOfferChosen = true;
    s.swapOfferAllowed = false;
    s.swapPending = true;
    s.finalSwapDone = true;
    s.offerCount = 4;
    s.offerHistory[2] = "12300";
    s.offerTaken = true;
    s.bankerStyle = 1;
    QPointer<Form1> old = h.w();
    FakeSoundPlayer* oldSound = h.sound();
    QVERIFY(!oldSound->current().isEmpty());

    h.random->append({drawFor(1, 3)});
    h.app->newGame();
    QVERIFY(h.w() != old.data());
    QVERIFY(old.isNull() || old->isHidden());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(old.isNull());

    // Reset by the load.
    QVERIFY(s.swapOfferAllowed);
    QVERIFY(!s.swapPending);
    QVERIFY(!s.finalSwapDone);
    QCOMPARE(s.offerCount, qint16(0));
    QCOMPARE(s.openedCount, qint16(-1));
    QCOMPARE(s.ownCase, qint16(-1));
    QCOMPARE(int(s.caseSkin), 1);
    QCOMPARE(s.baseDir, h.dir());
    // Kept until the next game writes them.
    QVERIFY(s.swapOfferChosen);
    QVERIFY(s.offerTaken);
    QCOMPARE(s.bankerStyle, qint16(1));
    QCOMPARE(s.offerHistory[2], QStringLiteral("12300"));
    QCOMPARE(s.caseAmount[3], qint16(3));
    // Controls back to the design: the own case is home again, the board hidden.
    Form1* w = h.w();
    QCOMPARE(w->Label1[3]->geometry(), layout::toPixels(layout::casePlate(3)));
    QVERIFY(w->Command1->isVisible() && w->Command2->isHidden());
    QVERIFY(w->labelSum[0]->isHidden() && w->Label5->isHidden());
    QVERIFY(!w->Label1[0]->isEnabled());
    QCOMPARE(w->Label6->text(), QStringLiteral("6"));
    QVERIFY(h.sound()->history().isEmpty());
}

void TestMainWindow::logIsEmptiedAtLoad() {
    GameHarness h(identityGameDraws());
    QFile log(h.dir() + "/log.txt");
    QVERIFY(log.exists());
    QCOMPARE(log.size(), qint64(0));
    QVERIFY(log.open(QIODevice::Append));
    log.write("100\r\n\r\n");
    log.close();
    h.random->append({drawFor(0, 3)});
    h.app->newGame();
    QCOMPARE(QFileInfo(h.dir() + "/log.txt").size(), qint64(0));
}

void TestMainWindow::unwritableStartDirectoryStillStarts() {
    // A directory standing where the log should be: the game starts all the same.
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("log.txt"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        GameApp app([] { return std::make_unique<FakeSoundPlayer>(); },
                    std::make_unique<game::ReplayRandom>(identityGameDraws()));
        app.start();
        QVERIFY(app.window()->isVisible());
        QVERIFY(GameHarness::click(app.window()->Command1));
    }
    QDir::setCurrent(previous);
}

void TestMainWindow::logoOpensOneCreditsWindow() {
    GameHarness h(identityGameDraws());
    QVERIFY(!h.app->credits());
    QVERIFY(GameHarness::click(h.w()->Picture1));
    QPointer<Form2> credits = h.app->credits();
    QVERIFY(credits);
    QVERIFY(credits->isVisible());
    QCOMPARE(credits->windowTitle(), QStringLiteral("Об авторах..."));
    QVERIFY(!credits->isModal());
    const int entry = credits->entryIndex();
    credits->tick();
    QVERIFY(GameHarness::click(h.w()->Picture1));
    QCOMPARE(h.app->credits(), credits.data());
    QCOMPARE(credits->entryIndex(), entry); // not loaded again

    // The game goes on beside it; a new game leaves it open.
    QVERIFY(h.startGame());
    credits->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(credits.isNull());
    QVERIFY(GameHarness::click(h.w()->Picture1));
    QVERIFY(h.app->credits());
    QCOMPARE(h.app->credits()->entryIndex(), 0);
}

void TestMainWindow::closingTheWindowClosesTheCredits() {
    GameHarness h(identityGameDraws());
    QVERIFY(GameHarness::click(h.w()->Picture1));
    QPointer<Form2> credits = h.app->credits();
    QVERIFY(credits && credits->isVisible());
    QVERIFY(h.w()->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(credits.isNull() || !credits->isVisible());
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
