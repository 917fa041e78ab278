// Playing rounds in the window: choosing the own case, opening cases, the offer
// and the answer, with a silent sound player that ends clips on demand.
#include "banker.h"
#include "game_harness.h"
#include "media_files.h"
#include "movie_widget.h"
#include "rounds.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

constexpr int kOwnCase = 21; // holds 3 000 000; case i holds rank i

bool allCasesEnabled(Form1* w, bool enabled) {
    for (ClickablePicture* plate : w->Label1) {
        if (plate->isEnabled() != enabled)
            return false;
    }
    return true;
}

bool counterPanelShown(Form1* w) {
    return w->Label5->isVisible() && w->Label6->isVisible() && w->Label7->isVisible() &&
           w->Shape1->isVisible() && w->Shape2->isVisible() && w->Shape3->isVisible();
}

} // namespace

class TestRoundPlay final : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void firstRoundOpensSixCases();
    void offerWaitsForTheAmountSound();
    void declineGoesOnWithTheNextRound();
    void historyIsRevealedNewestFirst();
    void acceptedMoneyOpensAtOnceAndShowsLaterOffersWithoutButtons();
    void strayClicksChangeNothing();
    void answerDuringTheRevealHidesTheHistory();
    void exchangeOfferAcceptedAsksForTheCase();
    void missingSoundsNeverStallTheGame();
};

void TestRoundPlay::firstRoundOpensSixCases() {
    auto h = GameHarness::withOwnCase(kOwnCase);
    QVERIFY(h);
    Form1* w = h->w();
    game::GameState& s = h->app->state();
    QCOMPARE(h->lastSound(), media::kSoundOwnCase);
    QCOMPARE(w->Label6->text(), QStringLiteral("6"));
    QVERIFY(counterPanelShown(w));

    const char* counts[] = {"5", "4", "3", "2", "1", "3"};
    const char* sounds[] = {"music/funny intro.mp3", "music/funny intro.mp3",
                            "music/funny intro.mp3", "music/funny intro.mp3",
                            "music/good.mp3",        "music/good.mp3"};
    for (int i = 0; i < 6; ++i) {
        QVERIFY(GameHarness::click(w->Label1[i]));
        // Suspense: everything locked, the panel rebuilt but hidden.
        QCOMPARE(h->lastSound(), media::kSoundSuspense);
        QCOMPARE(h->sound()->playCount(), 1);
        QVERIFY(allCasesEnabled(w, false));
        QVERIFY(w->Label6->isHidden() && w->Label5->isHidden());
        QCOMPARE(w->Label6->text(), QString::fromLatin1(counts[i]));
        QVERIFY(!w->Label1[i]->isHidden());
        QVERIFY(!w->labelSum[i]->isHidden());
        QCOMPARE(w->phase(), Form1::Phase::Suspense);

        h->endSound();
        QVERIFY(w->Label1[i]->isHidden());
        QVERIFY(w->Label2[i]->isVisible());
        QCOMPARE(w->Label2[i]->text(), game::amountText(i));
        QVERIFY(w->labelSum[i]->isHidden());
        QVERIFY(w->Крышка[i]->isPlaying() || w->Крышка[i]->frameNum() > 1);
        QCOMPARE(h->lastSound(), QString::fromUtf8(sounds[i]));
        QCOMPARE(s.openedCount, qint16(i + 1));
        QCOMPARE(w->Timerchosen->interval(), 0);
        if (i < 5) {
            QVERIFY(allCasesEnabled(w, true));
            QVERIFY(counterPanelShown(w));
        }
    }
    // The round is over: locked until the offer is answered.
    QVERIFY(allCasesEnabled(w, false));
    QVERIFY(w->Label5->isHidden());
    QVERIFY(w->Timer1->isRunning());
    QCOMPARE(w->phase(), Form1::Phase::OfferPending);
    QCOMPARE(h->logBytes(),
             QByteArray("0.01\r\n\r\n0.1\r\n\r\n1\r\n\r\n5\r\n\r\n10\r\n\r\n50\r\n\r\n"));
}

void TestRoundPlay::offerWaitsForTheAmountSound() {
    auto h = GameHarness::withOwnCase(kOwnCase);
    QVERIFY(h);
    Form1* w = h->w();
    QVERIFY(h->openCases({0, 1, 2, 3, 4, 5}));
    QTest::qWait(100);
    QVERIFY(w->LabelBank->isHidden());
    QVERIFY(w->yes->isHidden());

    h->random->append({0.5f, drawFor(99, 100)});
    h->endSound();
    QCOMPARE(h->lastSound(), media::kSoundBanker);
    QCOMPARE(h->sound()->playCount(), 0);
    QVERIFY(w->LabelBank->isVisible());
    QCOMPARE(w->LabelBank->text(), QStringLiteral("44,000"));
    QCOMPARE(h->app->state().offerText, QStringLiteral("44000"));
    QVERIFY(w->yes->isVisible() && w->no->isVisible());
    QVERIFY(allCasesEnabled(w, false));
    QVERIFY(w->BankFlash->isVisible());
    QVERIFY(w->BankFlash->movie().endsWith(media::kMovieBankOpen));
    QCOMPARE(w->Timer1->interval(), 0);
    QVERIFY(!w->TimerPredl->isRunning()); // nothing answered yet: no history
    QVERIFY(w->Label3->isHidden() && w->Label4->isVisible());
    QCOMPARE(h->random->reseeds(), 3); // load, choice, offer
    QCOMPARE(h->random->overdrawn(), 0);
    QVERIFY(h->logBytes().endsWith("50\r\n\r\n---------------44,000\r\n"));
}

void TestRoundPlay::declineGoesOnWithTheNextRound() {
    auto h = GameHarness::withOwnCase(kOwnCase);
    QVERIFY(h);
    Form1* w = h->w();
    game::GameState& s = h->app->state();
    QVERIFY(h->openCases({0, 1, 2, 3, 4, 5}));
    h->random->append({0.5f, drawFor(99, 100)});
    h->endSound();

    QVERIFY(GameHarness::click(w->no));
    QCOMPARE(h->lastSound(), media::kSoundDeclined);
    QCOMPARE(h->sound()->playCount(), 1);
    QVERIFY(w->yes->isHidden() && w->no->isHidden() && w->LabelBank->isHidden());
    QVERIFY(w->BankFlash->movie().endsWith(media::kMovieBankClose));
    QVERIFY(allCasesEnabled(w, true));
    QVERIFY(counterPanelShown(w));
    QCOMPARE(w->Label6->text(), QStringLiteral("3"));
    QCOMPARE(w->Label5->text(),
             QStringLiteral("           чемодана              до предложения банка"));
    QCOMPARE(s.offerCount, qint16(1));
    QCOMPARE(s.offerHistory[1], QStringLiteral("44000"));
    QVERIFY(!s.offerTaken);
    QVERIFY(h->logBytes().endsWith("---------------44,000\r\n\r\n\r\n"));
    // The banker's music stopped with the answer: the next click is suspense again.
    QVERIFY(GameHarness::click(w->Label1[6]));
    QCOMPARE(h->lastSound(), media::kSoundSuspense);
}

void TestRoundPlay::historyIsRevealedNewestFirst() {
    auto h = GameHarness::withOwnCase(kOwnCase);
    QVERIFY(h);
    Form1* w = h->w();
    game::GameState& s = h->app->state();
    QVERIFY(h->declineRounds(1));
    QVERIFY(h->openCases({6, 7, 8}));
    QCOMPARE(h->lastSound(), QStringLiteral("music/chemodany.mp3"));
    h->random->append({0.5f, drawFor(99, 100)});
    h->endSound();
    QCOMPARE(s.offerText, QStringLiteral("119000"));
    QVERIFY(w->Label3->isVisible() && w->Label4->isHidden());
    QCOMPARE(w->TimerPredl->interval(), 100);
    QVERIFY(w->labelPredl[0]->isHidden());
    w->TimerPredl_Timer();
    QVERIFY(w->labelPredl[0]->isVisible() && w->flashPredl[0]->isVisible());
    QCOMPARE(w->labelPredl[0]->text(), QStringLiteral("44000"));
    QCOMPARE(w->TimerPredl->interval(), 0);
    QVERIFY(w->labelPredl[1]->isHidden());

    QVERIFY(GameHarness::click(w->no));
    QVERIFY(h->openCases({9, 10, 11}));
    h->random->append({drawFor(50, 100), 0.5f, drawFor(99, 100)});
    h->endSound();
    QTRY_VERIFY(w->labelPredl[1]->isVisible()); // in real time, 100 ms apart
    QCOMPARE(w->labelPredl[0]->text(), QStringLiteral("119000"));
    QCOMPARE(w->labelPredl[1]->text(), QStringLiteral("44000"));
    QVERIFY(w->labelPredl[2]->isHidden());
    QCOMPARE(w->TimerPredl->interval(), 0);
}

void TestRoundPlay::acceptedMoneyOpensAtOnceAndShowsLaterOffersWithoutButtons() {
    auto h = GameHarness::withOwnCase(kOwnCase);
    QVERIFY(h);
    Form1* w = h->w();
    game::GameState& s = h->app->state();
    QVERIFY(h->declineRounds(1));
    QVERIFY(h->openCases({6, 7, 8}));
    h->random->append({0.5f, drawFor(99, 100)});
    h->endSound();

    QVERIFY(GameHarness::click(w->yes));
    QCOMPARE(h->lastSound(), media::kSoundWinnings);
    QVERIFY(s.offerTaken);
    QCOMPARE(w->win->text(), QStringLiteral("119,000"));
    QVERIFY(w->win->isHidden());
    QVERIFY(w->LabelBank->isVisible()); // stays until the next opening
    QVERIFY(allCasesEnabled(w, true));
    QVERIFY(counterPanelShown(w));
    QCOMPARE(s.offerCount, qint16(1));
    QVERIFY(h->logBytes().endsWith("---------------119,000\r\n V\r\n\r\n"));

    // The next click opens at once and records the accepted offer.
    const int before = h->sound()->history().size();
    QVERIFY(GameHarness::click(w->Label1[9]));
    QCOMPARE(h->soundsSince(before), QStringList{"music/chemodany.mp3"});
    QVERIFY(w->Label1[9]->isHidden());
    QVERIFY(w->LabelBank->isHidden());
    QVERIFY(w->BankFlash->movie().endsWith(media::kMovieBankClose));
    QCOMPARE(s.offerCount, qint16(2));
    QCOMPARE(s.offerHistory[2], QStringLiteral("119000"));
    QVERIFY(GameHarness::click(w->Label1[10]));
    QVERIFY(GameHarness::click(w->Label1[11]));
    QCOMPARE(s.openedCount, qint16(12));
    QVERIFY(allCasesEnabled(w, false));

    h->random->append({drawFor(50, 100), 0.5f, drawFor(99, 100)});
    h->endSound();
    QVERIFY(w->LabelBank->isVisible());
    QVERIFY(w->yes->isHidden() && w->no->isHidden());
    QVERIFY(allCasesEnabled(w, true));
    QCOMPARE(w->phase(), Form1::Phase::WaitingForClick);
    QCOMPARE(w->win->text(), QStringLiteral("119,000"));
    // No answer line follows an offer shown after the acceptance.
    QVERIFY(h->logBytes().endsWith("10 000\r\n\r\n---------------" +
                                   w->LabelBank->text().toLatin1() + "\r\n"));
}

void TestRoundPlay::strayClicksChangeNothing() {
    auto h = GameHarness::withOwnCase(kOwnCase);
    QVERIFY(h);
    Form1* w = h->w();
    game::GameState& s = h->app->state();
    // The own case takes no clicks.
    const int sounds = h->sound()->history().size();
    QVERIFY(GameHarness::click(w->Label1[kOwnCase]));
    QCOMPARE(h->sound()->history().size(), sounds);
    QVERIFY(allCasesEnabled(w, true));

    // A double click opens one case; clicks during the suspense are refused.
    QTest::mouseDClick(w->Label1[0], Qt::LeftButton);
    QTest::mouseClick(w->Label1[0], Qt::LeftButton);
    QTest::mouseClick(w->Label1[1], Qt::LeftButton);
    QCOMPARE(s.currentCase, qint16(0));
    QCOMPARE(h->soundsSince(sounds), QStringList{media::kSoundSuspense});
    h->endSound();
    QCOMPARE(s.openedCount, qint16(1));
    // An opened case is gone and takes no clicks.
    QVERIFY(!GameHarness::click(w->Label1[0]));
    w->Label1_Click(0);
    QCOMPARE(s.openedCount, qint16(1));

    // Answer buttons work only while an offer waits.
    w->yes_Click();
    w->no_Click();
    QVERIFY(!s.offerTaken);
    QCOMPARE(s.offerCount, qint16(0));

    QVERIFY(h->openCases({1, 2, 3, 4, 5}));
    QVERIFY(!GameHarness::click(w->Label1[6])); // offer pending: locked
    h->random->append({0.5f, drawFor(99, 100)});
    h->endSound();
    QVERIFY(GameHarness::click(w->no));
    w->no_Click(); // a second answer to the same offer
    w->yes_Click();
    QCOMPARE(s.offerCount, qint16(1));
    QVERIFY(!s.offerTaken);
}

void TestRoundPlay::answerDuringTheRevealHidesTheHistory() {
    auto h = GameHarness::withOwnCase(kOwnCase);
    QVERIFY(h);
    Form1* w = h->w();
    QVERIFY(h->declineRounds(2));
    QVERIFY(h->openCases({9, 10, 11}));
    h->random->append({drawFor(50, 100), 0.5f, drawFor(99, 100)});
    h->endSound();
    w->TimerPredl_Timer(); // one of two entries shown
    QVERIFY(w->labelPredl[0]->isVisible());
    QVERIFY(GameHarness::click(w->no));
    w->TimerPredl_Timer(); // a tick that was already due
    for (int row = 0; row < 5; ++row)
        QVERIFY(w->labelPredl[row]->isHidden() && w->flashPredl[row]->isHidden());
    QVERIFY(w->Label4->isVisible() && w->Label3->isHidden());
    QCOMPARE(w->TimerPredl->interval(), 0);
}

void TestRoundPlay::exchangeOfferAcceptedAsksForTheCase() {
    auto h = GameHarness::withOwnCase(kOwnCase);
    QVERIFY(h);
    Form1* w = h->w();
    game::GameState& s = h->app->state();
    QVERIFY(h->declineRounds(2));
    QVERIFY(h->openCases({9, 10, 11}));
    // Roll 99 at twelve opened cases, then one of two says exchange.
    h->random->append({drawFor(99, 100), drawFor(1, 2), 0.5f, drawFor(99, 100)});
    h->endSound();
    QCOMPARE(w->LabelBank->text(), game::kExchangeOffer);
    QCOMPARE(s.offerText, game::kExchangeOffer);
    QVERIFY(h->logBytes().endsWith("---------------\xce\xc1\xcc\xc5\xcd\r\n"));

    QVERIFY(GameHarness::click(w->yes));
    QCOMPARE(h->lastSound(), media::kSoundExchange);
    QCOMPARE(h->sound()->playCount(), 0);
    QVERIFY(s.swapPending);
    QCOMPARE(s.offerHistory[3], game::kExchangeInHistory);
    QCOMPARE(w->Label5->text(), game::kChooseSwapCasePrompt);
    QVERIFY(w->Label5->isVisible() && w->Shape1->isVisible());
    QVERIFY(w->Label6->isHidden() && w->Label7->isHidden());
    QVERIFY(w->LabelBank->isVisible());
    QVERIFY(allCasesEnabled(w, true));
    QCOMPARE(w->phase(), Form1::Phase::ExchangePick);
    QVERIFY(h->logBytes().endsWith("\xcd\r\n")); // nothing logged for the acceptance
}

void TestRoundPlay::missingSoundsNeverStallTheGame() {
    auto h = GameHarness::withOwnCase(kOwnCase);
    QVERIFY(h);
    Form1* w = h->w();
    QStringList missing;
    for (const QString& sound : media::allSounds())
        missing << media::locate(QDir::currentPath(), sound);
    h->sound()->setMissing(missing);
    h->random->append({0.5f, drawFor(99, 100)});
    for (int i = 0; i < 6; ++i) {
        QVERIFY(GameHarness::click(w->Label1[i]));
        QTRY_VERIFY(w->Label1[i]->isHidden());
    }
    QTRY_VERIFY(w->yes->isVisible());
    QCOMPARE(w->LabelBank->text(), QStringLiteral("44,000"));
}

QTEST_MAIN(TestRoundPlay)
#include "test_round_play.moc"
