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

bool allCasesEnabled(GameWindow* w, bool enabled) {
    for (ClickablePicture* plate : w->controls().casePlates) {
        if (plate->isEnabled() != enabled)
            return false;
    }
    return true;
}

bool counterPanelShown(GameWindow* w) {
    return w->controls().counterCaption->isVisible() && w->controls().counterNumber->isVisible() &&
           w->controls().phoneGlyph->isVisible() && w->controls().captionFrame->isVisible() &&
           w->controls().numberFrame->isVisible() && w->controls().phoneFrame->isVisible();
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
    GameWindow* w = h->w();
    game::GameState& s = h->app->state();
    QCOMPARE(h->lastSound(), media::soundFile(media::Sound::OwnCase));
    QCOMPARE(w->controls().counterNumber->text(), QStringLiteral("6"));
    QVERIFY(counterPanelShown(w));

    const char* counts[] = {"5", "4", "3", "2", "1", "3"};
    const char* sounds[] = {"music/funny intro.mp3", "music/funny intro.mp3",
                            "music/funny intro.mp3", "music/funny intro.mp3",
                            "music/good.mp3",        "music/good.mp3"};
    for (int i = 0; i < 6; ++i) {
        QVERIFY(GameHarness::click(w->controls().casePlates[i]));
        // Suspense: everything locked, the panel rebuilt but hidden.
        QCOMPARE(h->lastSound(), media::soundFile(media::Sound::Suspense));
        QVERIFY(!h->sound()->isLooping());
        QVERIFY(allCasesEnabled(w, false));
        QVERIFY(w->controls().counterNumber->isHidden() &&
                w->controls().counterCaption->isHidden());
        QCOMPARE(w->controls().counterNumber->text(), QString::fromLatin1(counts[i]));
        QVERIFY(!w->controls().casePlates[i]->isHidden());
        QVERIFY(!w->controls().boardAmounts[i]->isHidden());
        QCOMPARE(w->phase(), GameWindow::Phase::Suspense);

        h->endSound();
        QVERIFY(w->controls().casePlates[i]->isHidden());
        QVERIFY(w->controls().caseAmounts[i]->isVisible());
        QCOMPARE(w->controls().caseAmounts[i]->text(), game::amountText(i));
        QVERIFY(w->controls().boardAmounts[i]->isHidden());
        QVERIFY(w->controls().caseLids[i]->isPlaying() || w->controls().caseLids[i]->frame() > 1);
        QCOMPARE(h->lastSound(), QString::fromUtf8(sounds[i]));
        QCOMPARE(s.openedCount, qint16(i + 1));
        QVERIFY(!w->controls().suspenseWait->isWaiting());
        if (i < 5) {
            QVERIFY(allCasesEnabled(w, true));
            QVERIFY(counterPanelShown(w));
        }
    }
    // The round is over: locked until the offer is answered.
    QVERIFY(allCasesEnabled(w, false));
    QVERIFY(w->controls().counterCaption->isHidden());
    QVERIFY(w->controls().roundEndWait->isWaiting());
    QCOMPARE(w->phase(), GameWindow::Phase::OfferPending);
    QCOMPARE(h->logBytes(),
             QByteArray("0.01\r\n\r\n0.1\r\n\r\n1\r\n\r\n5\r\n\r\n10\r\n\r\n50\r\n\r\n"));
}

void TestRoundPlay::offerWaitsForTheAmountSound() {
    auto h = GameHarness::withOwnCase(kOwnCase);
    QVERIFY(h);
    GameWindow* w = h->w();
    QVERIFY(h->openCases({0, 1, 2, 3, 4, 5}));
    QTest::qWait(100);
    QVERIFY(w->controls().offerAmount->isHidden());
    QVERIFY(w->controls().acceptButton->isHidden());

    h->random->append({0.5f, drawFor(99, 100)});
    h->endSound();
    QCOMPARE(h->lastSound(), media::soundFile(media::Sound::Banker));
    QVERIFY(h->sound()->isLooping());
    QVERIFY(w->controls().offerAmount->isVisible());
    QCOMPARE(w->controls().offerAmount->text(), QStringLiteral("44,000"));
    QCOMPARE(h->app->state().offerText, QStringLiteral("44000"));
    QVERIFY(w->controls().acceptButton->isVisible() && w->controls().declineButton->isVisible());
    QVERIFY(allCasesEnabled(w, false));
    QVERIFY(w->controls().offerPanel->isVisible());
    QVERIFY(w->controls().offerPanel->file().endsWith(media::kMovieBankOpen));
    QVERIFY(!w->controls().roundEndWait->isWaiting());
    QVERIFY(!w->controls().historyRevealTimer->isRunning()); // nothing answered yet: no history
    QVERIFY(w->controls().historyTitle->isHidden() && w->controls().historyCover->isVisible());
    QCOMPARE(h->random->reseeds(), 3); // load, choice, offer
    QCOMPARE(h->random->overdrawn(), 0);
    QVERIFY(h->logBytes().endsWith("50\r\n\r\n---------------44,000\r\n"));
}

void TestRoundPlay::declineGoesOnWithTheNextRound() {
    auto h = GameHarness::withOwnCase(kOwnCase);
    QVERIFY(h);
    GameWindow* w = h->w();
    game::GameState& s = h->app->state();
    QVERIFY(h->openCases({0, 1, 2, 3, 4, 5}));
    h->random->append({0.5f, drawFor(99, 100)});
    h->endSound();

    QVERIFY(GameHarness::click(w->controls().declineButton));
    QCOMPARE(h->lastSound(), media::soundFile(media::Sound::Declined));
    QVERIFY(!h->sound()->isLooping());
    QVERIFY(w->controls().acceptButton->isHidden() && w->controls().declineButton->isHidden() &&
            w->controls().offerAmount->isHidden());
    QVERIFY(w->controls().offerPanel->file().endsWith(media::kMovieBankClose));
    QVERIFY(allCasesEnabled(w, true));
    QVERIFY(counterPanelShown(w));
    QCOMPARE(w->controls().counterNumber->text(), QStringLiteral("3"));
    QCOMPARE(w->controls().counterCaption->text(),
             QStringLiteral("           чемодана              до предложения банка"));
    QCOMPARE(s.offerCount, qint16(1));
    QCOMPARE(s.offerHistory[1], QStringLiteral("44000"));
    QVERIFY(!s.offerTaken);
    QVERIFY(h->logBytes().endsWith("---------------44,000\r\n\r\n\r\n"));
    // The banker's music stopped with the answer: the next click is suspense again.
    QVERIFY(GameHarness::click(w->controls().casePlates[6]));
    QCOMPARE(h->lastSound(), media::soundFile(media::Sound::Suspense));
}

void TestRoundPlay::historyIsRevealedNewestFirst() {
    auto h = GameHarness::withOwnCase(kOwnCase);
    QVERIFY(h);
    GameWindow* w = h->w();
    game::GameState& s = h->app->state();
    QVERIFY(h->declineRounds(1));
    QVERIFY(h->openCases({6, 7, 8}));
    QCOMPARE(h->lastSound(), QStringLiteral("music/chemodany.mp3"));
    h->random->append({0.5f, drawFor(99, 100)});
    h->endSound();
    QCOMPARE(s.offerText, QStringLiteral("119000"));
    QVERIFY(w->controls().historyTitle->isVisible() && w->controls().historyFrame->isVisible() &&
            w->controls().historyCover->isHidden());
    QCOMPARE(w->controls().historyRevealTimer->interval(), 100);
    QVERIFY(w->controls().historyAmounts[0]->isHidden());
    w->controls().historyRevealTimer->fireNow();
    QVERIFY(w->controls().historyAmounts[0]->isVisible() &&
            w->controls().historyPlates[0]->isVisible());
    QCOMPARE(w->controls().historyAmounts[0]->text(), QStringLiteral("44000"));
    QCOMPARE(w->controls().historyRevealTimer->interval(), 0);
    QVERIFY(w->controls().historyAmounts[1]->isHidden());

    QVERIFY(GameHarness::click(w->controls().declineButton));
    QVERIFY(h->openCases({9, 10, 11}));
    h->random->append({drawFor(50, 100), 0.5f, drawFor(99, 100)});
    h->endSound();
    QTRY_VERIFY(w->controls().historyAmounts[1]->isVisible()); // in real time, 100 ms apart
    QCOMPARE(w->controls().historyAmounts[0]->text(), QStringLiteral("119000"));
    QCOMPARE(w->controls().historyAmounts[1]->text(), QStringLiteral("44000"));
    QVERIFY(w->controls().historyAmounts[2]->isHidden());
    QCOMPARE(w->controls().historyRevealTimer->interval(), 0);
}

void TestRoundPlay::acceptedMoneyOpensAtOnceAndShowsLaterOffersWithoutButtons() {
    auto h = GameHarness::withOwnCase(kOwnCase);
    QVERIFY(h);
    GameWindow* w = h->w();
    game::GameState& s = h->app->state();
    QVERIFY(h->declineRounds(1));
    QVERIFY(h->openCases({6, 7, 8}));
    h->random->append({0.5f, drawFor(99, 100)});
    h->endSound();

    QVERIFY(GameHarness::click(w->controls().acceptButton));
    QCOMPARE(h->lastSound(), media::soundFile(media::Sound::Winnings));
    QVERIFY(s.offerTaken);
    QCOMPARE(w->controls().winningsAmount->text(), QStringLiteral("119,000"));
    QVERIFY(w->controls().winningsAmount->isHidden());
    QVERIFY(w->controls().offerAmount->isVisible()); // stays until the next opening
    QVERIFY(allCasesEnabled(w, true));
    QVERIFY(counterPanelShown(w));
    QCOMPARE(s.offerCount, qint16(1));
    QVERIFY(h->logBytes().endsWith("---------------119,000\r\n V\r\n\r\n"));

    // The next click opens at once and records the accepted offer.
    const int before = h->sound()->history().size();
    QVERIFY(GameHarness::click(w->controls().casePlates[9]));
    QCOMPARE(h->soundsSince(before), QStringList{"music/chemodany.mp3"});
    QVERIFY(w->controls().casePlates[9]->isHidden());
    QVERIFY(w->controls().offerAmount->isHidden());
    QVERIFY(w->controls().offerPanel->file().endsWith(media::kMovieBankClose));
    QCOMPARE(s.offerCount, qint16(2));
    QCOMPARE(s.offerHistory[2], QStringLiteral("119000"));
    QVERIFY(GameHarness::click(w->controls().casePlates[10]));
    QVERIFY(GameHarness::click(w->controls().casePlates[11]));
    QCOMPARE(s.openedCount, qint16(12));
    QVERIFY(allCasesEnabled(w, false));

    h->random->append({drawFor(50, 100), 0.5f, drawFor(99, 100)});
    h->endSound();
    QVERIFY(w->controls().offerAmount->isVisible());
    QVERIFY(w->controls().acceptButton->isHidden() && w->controls().declineButton->isHidden());
    QVERIFY(allCasesEnabled(w, true));
    QCOMPARE(w->phase(), GameWindow::Phase::WaitingForClick);
    QCOMPARE(w->controls().winningsAmount->text(), QStringLiteral("119,000"));
    // No answer line follows an offer shown after the acceptance.
    QVERIFY(h->logBytes().endsWith("10 000\r\n\r\n---------------" +
                                   w->controls().offerAmount->text().toLatin1() + "\r\n"));
}

void TestRoundPlay::strayClicksChangeNothing() {
    auto h = GameHarness::withOwnCase(kOwnCase);
    QVERIFY(h);
    GameWindow* w = h->w();
    game::GameState& s = h->app->state();
    // The own case takes no clicks.
    const int sounds = h->sound()->history().size();
    QVERIFY(GameHarness::click(w->controls().casePlates[kOwnCase]));
    QCOMPARE(h->sound()->history().size(), sounds);
    QVERIFY(allCasesEnabled(w, true));

    // A double click opens one case; clicks during the suspense are refused.
    QTest::mouseDClick(w->controls().casePlates[0], Qt::LeftButton);
    QTest::mouseClick(w->controls().casePlates[0], Qt::LeftButton);
    QTest::mouseClick(w->controls().casePlates[1], Qt::LeftButton);
    QCOMPARE(s.currentCase, qint16(0));
    QCOMPARE(h->soundsSince(sounds), QStringList{media::soundFile(media::Sound::Suspense)});
    h->endSound();
    QCOMPARE(s.openedCount, qint16(1));
    // An opened case is gone and takes no clicks.
    QVERIFY(!GameHarness::click(w->controls().casePlates[0]));
    emit w->controls().casePlates[0]->clicked();
    QCOMPARE(s.openedCount, qint16(1));

    // Answer buttons work only while an offer waits.
    w->controls().acceptButton->click();
    w->controls().declineButton->click();
    QVERIFY(!s.offerTaken);
    QCOMPARE(s.offerCount, qint16(0));

    QVERIFY(h->openCases({1, 2, 3, 4, 5}));
    QVERIFY(!GameHarness::click(w->controls().casePlates[6])); // offer pending: locked
    h->random->append({0.5f, drawFor(99, 100)});
    h->endSound();
    QVERIFY(GameHarness::click(w->controls().declineButton));
    w->controls().declineButton->click(); // a second answer to the same offer
    w->controls().acceptButton->click();
    QCOMPARE(s.offerCount, qint16(1));
    QVERIFY(!s.offerTaken);
}

void TestRoundPlay::answerDuringTheRevealHidesTheHistory() {
    auto h = GameHarness::withOwnCase(kOwnCase);
    QVERIFY(h);
    GameWindow* w = h->w();
    QVERIFY(h->declineRounds(2));
    QVERIFY(h->openCases({9, 10, 11}));
    h->random->append({drawFor(50, 100), 0.5f, drawFor(99, 100)});
    h->endSound();
    w->controls().historyRevealTimer->fireNow(); // one of two entries shown
    QVERIFY(w->controls().historyAmounts[0]->isVisible());
    QVERIFY(GameHarness::click(w->controls().declineButton));
    w->controls().historyRevealTimer->fireNow(); // a tick that was already due
    for (int row = 0; row < 5; ++row)
        QVERIFY(w->controls().historyAmounts[row]->isHidden() &&
                w->controls().historyPlates[row]->isHidden());
    QVERIFY(w->controls().historyCover->isVisible() && w->controls().historyTitle->isHidden() &&
            w->controls().historyFrame->isHidden());
    QCOMPARE(w->controls().historyRevealTimer->interval(), 0);
}

void TestRoundPlay::exchangeOfferAcceptedAsksForTheCase() {
    auto h = GameHarness::withOwnCase(kOwnCase);
    QVERIFY(h);
    GameWindow* w = h->w();
    game::GameState& s = h->app->state();
    QVERIFY(h->declineRounds(2));
    QVERIFY(h->openCases({9, 10, 11}));
    // Roll 99 at twelve opened cases, then one of two says exchange.
    h->random->append({drawFor(99, 100), drawFor(1, 2), 0.5f, drawFor(99, 100)});
    h->endSound();
    QCOMPARE(w->controls().offerAmount->text(), game::kExchangeOffer);
    QCOMPARE(s.offerText, game::kExchangeOffer);
    QVERIFY(h->logBytes().endsWith("---------------\xce\xc1\xcc\xc5\xcd\r\n"));

    QVERIFY(GameHarness::click(w->controls().acceptButton));
    QCOMPARE(h->lastSound(), media::soundFile(media::Sound::Exchange));
    QVERIFY(h->sound()->isLooping());
    QVERIFY(s.swapPending);
    QCOMPARE(s.offerHistory[3], game::kExchangeInHistory);
    QCOMPARE(w->controls().counterCaption->text(), game::kChooseSwapCasePrompt);
    QVERIFY(w->controls().counterCaption->isVisible() && w->controls().captionFrame->isVisible());
    QVERIFY(w->controls().counterNumber->isHidden() && w->controls().phoneGlyph->isHidden());
    QVERIFY(w->controls().offerAmount->isVisible());
    QVERIFY(allCasesEnabled(w, true));
    QCOMPARE(w->phase(), GameWindow::Phase::ExchangePick);
    QVERIFY(h->logBytes().endsWith("\xcd\r\n")); // nothing logged for the acceptance
}

void TestRoundPlay::missingSoundsNeverStallTheGame() {
    auto h = GameHarness::withOwnCase(kOwnCase);
    QVERIFY(h);
    GameWindow* w = h->w();
    QStringList missing;
    for (const QString& sound : media::allSounds())
        missing << media::locate(QDir::currentPath(), sound);
    h->sound()->setMissing(missing);
    h->random->append({0.5f, drawFor(99, 100)});
    for (int i = 0; i < 6; ++i) {
        QVERIFY(GameHarness::click(w->controls().casePlates[i]));
        QTRY_VERIFY(w->controls().casePlates[i]->isHidden());
    }
    QTRY_VERIFY(w->controls().acceptButton->isVisible());
    QCOMPARE(w->controls().offerAmount->text(), QStringLiteral("44,000"));
}

QTEST_MAIN(TestRoundPlay)
#include "test_round_play.moc"
