// Whole games from "Начать игру" to "Новая игра", compared with the game log
// byte for byte. Case i holds amount rank i; the offers are shown with the
// Russian group separator (a no-break space, 0xA0 in the log's code page).
#include "background_writes.h"
#include "banker.h"
#include "desktop_controls.h"
#include "game_harness.h"
#include "language.h"
#include "layout.h"
#include "media_files.h"
#include "movie_widget.h"
#include "offer_format.h"
#include "private_home.h"
#include "rounds.h"
#include "summary_window.h"
#include "widgets.h"

#include <QChart>
#include <QChartView>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLockFile>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QXYSeries>
#include <QtTest>
#include <unistd.h>

namespace {

QString pictureOf(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage();
    return QString::number(qHashBits(image.constBits(), static_cast<size_t>(image.sizeInBytes())));
}

// Every control of the window as a player, a screen reader or the next game
// finds it: kind, shown or hidden, enabled, place, text, picture and movie.
QStringList controlsOf(const GameWindow* window) {
    QStringList looks;
    for (const QObject* child : window->children()) {
        const auto* w = qobject_cast<const QWidget*>(child);
        if (!w || w->isWindow())
            continue;
        QStringList look{
            QString::fromLatin1(w->metaObject()->className()),
            w->isHidden() ? QStringLiteral("hidden") : QStringLiteral("shown"),
            w->isEnabled() ? QStringLiteral("enabled") : QStringLiteral("disabled"),
            QStringLiteral("%1,%2 %3x%4").arg(w->x()).arg(w->y()).arg(w->width()).arg(w->height())};
        if (const auto* label = qobject_cast<const QLabel*>(w))
            look << label->text() << pictureOf(label->pixmap());
        if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            look << button->text();
        if (const auto* picture = qobject_cast<const ClickablePicture*>(w))
            look << pictureOf(picture->picture());
        if (const auto* movie = qobject_cast<const MovieWidget*>(w))
            look << movie->file() << QString::number(movie->frame())
                 << (movie->isPlaying() ? QStringLiteral("playing") : QString());
        looks << look.join(QLatin1Char('|'));
    }
    return looks;
}

// A money offer as the Russian locale shows it.
QByteArray money(const char* groups) {
    return QByteArray(groups).replace(' ', '\xa0');
}

// The log a game should leave, built record by record.
class ExpectedLog {
  public:
    ExpectedLog& opened(int rank) { return line(game::amountText(rank).toLatin1() + "\r\n"); }
    ExpectedLog& openedAll(const std::vector<int>& ranks) {
        for (int rank : ranks)
            opened(rank);
        return *this;
    }
    ExpectedLog& offer(const QByteArray& shown) { return line("---------------" + shown); }
    ExpectedLog& exchange() { return offer("\xce\xc1\xcc\xc5\xcd"); }
    ExpectedLog& no() { return line("\r\n"); }
    ExpectedLog& yes() { return line(" V\r\n"); }
    ExpectedLog& own(int rank) { return line("<" + game::amountText(rank).toLatin1() + ">\r\n"); }
    // What GameHarness::declineRounds(count) leaves.
    ExpectedLog& declinedRounds(int count) {
        const std::pair<std::vector<int>, const char*> rounds[] = {
            {{0, 1, 2, 3, 4, 5}, "44 000"}, {{6, 7, 8}, "119 000"},      {{9, 10, 11}, "223 000"},
            {{12, 13, 14}, "412 000"},      {{15, 16, 17}, "1 000 000"}, {{18, 19}, "2 250 000"}};
        for (int r = 0; r < count; ++r)
            openedAll(rounds[r].first).offer(money(rounds[r].second)).no();
        return *this;
    }
    [[nodiscard]] const QByteArray& bytes() const { return bytes_; }

  private:
    ExpectedLog& line(const QByteArray& text) {
        bytes_ += text + "\r\n";
        return *this;
    }
    QByteArray bytes_;
};

// The statistics as the next run of the game reads them from the file.
storage::Statistics nextRunStatistics(const GameHarness& h) {
    GameApp next([] { return std::make_unique<FakeSoundPlayer>(); }, {}, h.statisticsFile());
    return next.statistics();
}

// What the program writes on stderr while it lives.
class StderrCapture {
  public:
    StderrCapture() {
        if (file_.open()) {
            std::fflush(stderr);
            saved_ = ::dup(STDERR_FILENO);
            ::dup2(file_.handle(), STDERR_FILENO);
        }
    }
    ~StderrCapture() {
        std::fflush(stderr);
        if (saved_ >= 0) {
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
    }
    [[nodiscard]] QByteArray text() {
        std::fflush(stderr);
        file_.seek(0);
        return file_.readAll();
    }

  private:
    QTemporaryFile file_;
    int saved_ = -1;
};

} // namespace

class TestWholeGames final : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        // The settings the games choose are kept apart from the user's.
        usePrivateHome();
        QSettings(QStringLiteral("zorban"), QStringLiteral("zorban")).clear();
    }
    void noOfferAccepted();
    void moneyAcceptedEarly();
    void exchangeWithPickBelowTwenty();
    void pickingTheOwnCaseMovesNothing();
    void exchangeAtTheLastOffer();
    void declinedExchangeIsRearmedByTheRoll();
    void exchangeOffersAfterMoneyAccepted();
    void newGameEmptiesTheLogAndStartsOver();
    void unwritableLogShowsOneMessageAndTheGameFinishes();
    void logDeletedInMidGameComesBack();
    void plantedLinksAreNeverFollowed();
    void startFolderDeletedInMidGameIsSaidInWords();
    void unwrittenStatisticsAreSaidOnceAndKeptLater();

  private:
    // Both phases of the end, each after its sound has ended.
    static void finish(GameHarness& h);
};

void TestWholeGames::finish(GameHarness& h) {
    GameWindow* w = h.w();
    game::StepTimer& ownCaseWait = w->game().timer(game::Game::Step::OwnCaseWait);
    game::StepTimer& winningsWait = w->game().timer(game::Game::Step::WinningsWait);
    QVERIFY(!ownCaseWait.isRunning()); // the last amount's sound still plays
    h.endSound();
    // To the next whole second of the wait.
    QVERIFY(ownCaseWait.interval() > 0 && ownCaseWait.interval() <= 1000);
    QVERIFY(!w->controls().casePlates[h.app->state().ownCase]->isHidden());
    ownCaseWait.fireNow();
    QCOMPARE(h.lastSound(), media::soundFile(media::Sound::OwnCase));
    QVERIFY(w->controls().casePlates[h.app->state().ownCase]->isHidden());
    QVERIFY(!ownCaseWait.isRunning());
    QVERIFY(!winningsWait.isRunning()); // the own case's sound still plays
    h.endSound();
    QVERIFY(winningsWait.interval() > 0 && winningsWait.interval() <= 1000);
    QVERIFY(w->controls().winningsAmount->isHidden());
    winningsWait.fireNow();
    QCOMPARE(h.lastSound(), media::soundFile(media::Sound::Winnings));
    QVERIFY(w->controls().winningsAmount->isVisible() && w->controls().winningsTitle->isVisible() &&
            w->controls().winningsPanel->isVisible() && w->controls().newGameButton->isVisible());
    // No empty history frame under the winnings panel's bar.
    QVERIFY(w->controls().historyFrame->isHidden());
    QVERIFY(!winningsWait.isRunning());
    QCOMPARE(w->phase(), GameWindow::Phase::GameOver);
}

void TestWholeGames::noOfferAccepted() {
    auto h = GameHarness::withOwnCase(21);
    QVERIFY(h);
    GameWindow* w = h->w();
    QVERIFY(h->declineRounds(5));
    QVERIFY(w->controls().counterNumber->isVisible());
    QVERIFY(h->openCases({18, 19}));
    QVERIFY(h->showOffer(offerDraws({0.25f}, 99)));
    QCOMPARE(w->game().timer(game::Game::Step::HistoryReveal).interval(), 100);
    for (int tick = 0; tick < 5; ++tick)
        w->game().timer(game::Game::Step::HistoryReveal).fireNow();
    QCOMPARE(w->controls().historyAmounts[4]->text(), QStringLiteral("44000"));
    QCOMPARE(w->controls().historyAmounts[0]->text(), QStringLiteral("1000000"));
    QCOMPARE(w->game().timer(game::Game::Step::HistoryReveal).interval(), 0);
    QVERIFY(GameHarness::click(w->controls().declineButton));
    QVERIFY(w->controls().counterNumber->isHidden()); // one case left: no counter
    QVERIFY(h->openCases({20}));
    QCOMPARE(h->lastSound(), QStringLiteral("music/bad.mp3"));
    finish(*h);
    QCOMPARE(w->controls().winningsAmount->text(), QStringLiteral("3 000 000"));

    ExpectedLog log;
    log.declinedRounds(6);
    log.opened(20).own(21);
    QCOMPARE(h->logBytes(), log.bytes());
}

void TestWholeGames::moneyAcceptedEarly() {
    auto h = GameHarness::withOwnCase(21);
    QVERIFY(h);
    GameWindow* w = h->w();
    const game::GameState& s = h->app->state();
    QVERIFY(h->declineRounds(1));
    QVERIFY(h->openCases({6, 7, 8}));
    QVERIFY(h->showOffer(offerDraws({}, 99)));
    QVERIFY(GameHarness::click(w->controls().acceptButton));
    // The offer sold is captioned so while it stands, and marked among the
    // earlier offers at the next one.
    const GameWindow::Controls& c = w->controls();
    QVERIFY(c.soldCaption->isVisible() && !c.offerAmount->isHidden());
    QCOMPARE(c.soldCaption->text(), QStringLiteral("продано"));
    h->random->append(offerDraws(kNoExchange, 99));
    QVERIFY(h->openCases({9}));
    QVERIFY(c.soldCaption->isHidden());
    QVERIFY(h->openCases({10, 11}));
    QVERIFY(h->showOffer({}));
    QVERIFY(w->controls().acceptButton->isHidden());
    w->game().timer(game::Game::Step::HistoryReveal).fireNow();
    w->game().timer(game::Game::Step::HistoryReveal).fireNow();
    QCOMPARE(c.historyAmounts[0]->text(), QStringLiteral("119000"));
    QVERIFY(c.historySoldMarks[0]->isVisible() && c.historySoldMarks[1]->isHidden());
    // The summary is asked for at the end of the game (off until chosen).
    QVERIFY(!h->app->summaryWindow());
    for (QAction* action : h->app->desktopControls().menu()->actions()) {
        if (action->text() == QStringLiteral("Итоги в конце партии"))
            action->trigger();
    }
    h->random->append(offerDraws(kNoExchange, 99));
    QVERIFY(h->openCases({12, 13, 14}));
    QVERIFY(h->showOffer({}));
    h->random->append(offerDraws(kNoExchange, 99));
    QVERIFY(h->openCases({15, 16, 17}));
    QVERIFY(h->showOffer({}));
    h->random->append(offerDraws({0.25f}, 99));
    QVERIFY(h->openCases({18, 19}));
    QVERIFY(h->showOffer({}));
    QVERIFY(h->openCases({20}));
    finish(*h);
    QCOMPARE(w->controls().winningsAmount->text(), QString::fromLatin1(money("119 000")));
    QCOMPARE(s.offerCount, qint16(6));
    // The summary opened by itself: a row for each offer, then the own case, the
    // winnings and the deal; Tab reaches each of them, read whole.
    SummaryWindow* summary = h->app->summaryWindow();
    QVERIFY(summary && summary->isVisible());
    const QList<QStringList> rows = summary->shownRows();
    QCOMPARE(rows.size(), 1 + 6 + 3);
    QCOMPARE(rows[1], (QStringList{"6", "44 000", "419 319", "10 %", "НЕТ", "8 из 16 (50 %)"})
                          .replaceInStrings(" %", QStringLiteral("\u00a0%")));
    QCOMPARE(rows[2].mid(0, 2), (QStringList{"9", "119 000"}));
    QCOMPARE(rows[2][4], QStringLiteral("ДА, сделка"));
    QCOMPARE(rows[3][4], QStringLiteral("после сделки"));
    QCOMPARE(rows[7], QStringList{"В своём чемодане было: 3 000 000."});
    QCOMPARE(rows[8], QStringList{"Выигрыш: 119 000."});
    QCOMPARE(rows[9],
             QStringList{"Сделка принесла на 2 881 000 меньше, чем было в своём чемодане."});
    const QStringList spoken = summary->spokenRows();
    QCOMPARE(spoken.size(), 6 + 3);
    QVERIFY2(spoken[1].contains(QStringLiteral("предложение 119000")), qPrintable(spoken[1]));
    summary->activateWindow();
    QWidget* first = summary->focusWidget() ? summary->focusWidget() : summary;
    QStringList reached;
    for (QWidget* next = first->nextInFocusChain(); next != first && reached.size() < 40;
         next = next->nextInFocusChain()) {
        if (next->focusPolicy() & Qt::TabFocus && !next->accessibleName().isEmpty())
            reached << next->accessibleName();
    }
    for (const QString& row : spoken)
        QVERIFY2(reached.contains(row), qPrintable(row));
    // The deal is won and fell short of the own case; the offers after it count.
    const storage::Statistics statistics = nextRunStatistics(*h);
    QCOMPARE(statistics.gamesPlayed(), 1);
    QCOMPARE(statistics.totalWinnings(), 119000.0);
    QCOMPARE(statistics.dealsBelowOwnCase(), 1);
    QCOMPARE(statistics.lastGame()->ownCaseAmount, 3000000.0);
    QCOMPARE(statistics.lastGame()->offers.size(), size_t(6));
    QCOMPARE(statistics.lastGame()->offers[5].amount, 2250000.0);
    QCOMPARE(s.offerHistory[6], (game::Offer{false, 2250000}));

    ExpectedLog log;
    log.declinedRounds(1).openedAll({6, 7, 8}).offer(money("119 000")).yes();
    log.openedAll({9, 10, 11}).offer(money("223 000"));
    log.openedAll({12, 13, 14}).offer(money("412 000"));
    log.openedAll({15, 16, 17}).offer(money("1 000 000"));
    log.openedAll({18, 19}).offer(money("2 250 000"));
    log.opened(20).own(21);
    QCOMPARE(h->logBytes(), log.bytes());
}

void TestWholeGames::exchangeWithPickBelowTwenty() {
    auto h = GameHarness::withOwnCase(21);
    QVERIFY(h);
    GameWindow* w = h->w();
    const game::GameState& s = h->app->state();
    QVERIFY(h->declineRounds(2));
    QVERIFY(h->openCases({9, 10, 11}));
    QVERIFY(h->showOffer(offerDraws(kYesExchange, 99)));
    QCOMPARE(w->controls().offerAmount->text(), game::kExchangeOffer);
    QVERIFY(GameHarness::click(w->controls().acceptButton));

    const QPoint ownPlace = w->controls().caseBriefcases[21]->pos();
    const QPoint takenPlace = w->controls().caseBriefcases[15]->pos();
    QVERIFY(GameHarness::click(w->controls().casePlates[15])); // the pick opens nothing
    QCOMPARE(s.ownCase, qint16(15));
    QCOMPARE(w->phase(), GameWindow::Phase::WaitingForClick);
    QVERIFY(!s.swapOfferAllowed);
    QCOMPARE(s.openedCount, qint16(12));
    QCOMPARE(w->controls().caseBriefcases[15]->pos(), ownPlace);
    QCOMPARE(w->controls().caseBriefcases[21]->pos(), takenPlace);
    // The former own case stands where case 15 stood in its cell.
    QCOMPARE(s.casePlace[21], 15);
    QCOMPARE(w->controls().casePlates[21]->y(),
             twips::toPixels(layout::caseCellSpot(15).top + 100));
    QCOMPARE(w->controls().caseAmounts[21]->y(),
             twips::toPixels(layout::caseCellSpot(15).top + 500));
    QCOMPARE(w->controls().caseLids[21]->pos(), takenPlace);
    QVERIFY(w->controls().offerAmount->isHidden() && w->controls().counterCaption->isHidden() &&
            w->controls().captionFrame->isHidden());
    QCOMPARE(h->lastSound(),
             media::soundFile(media::Sound::Exchange)); // repeats until the next click

    QVERIFY(h->openCases({12, 13, 14}));
    QVERIFY(h->showOffer(offerDraws(kNoExchange, 99))); // still chosen, no longer allowed: money
    QVERIFY(GameHarness::click(w->controls().declineButton));
    QVERIFY(h->openCases({16, 17, 18}));
    QVERIFY(h->showOffer(offerDraws(kNoExchange, 99)));
    QVERIFY(GameHarness::click(w->controls().declineButton));
    QVERIFY(h->openCases({19, 20}));
    QVERIFY(h->showOffer(offerDraws({0.75f}, 99)));
    QVERIFY(GameHarness::click(w->controls().declineButton));
    QVERIFY(h->openCases({21}));
    h->app->showStatistics(); // open before the end: it shows the game once it is over
    QVERIFY(h->app->statisticsWindow()->chartView()->isHidden());
    finish(*h);
    QCOMPARE(w->controls().winningsAmount->text(), QStringLiteral("100 000"));
    QCOMPARE(h->app->statisticsWindow()->figures().value(0).second, QStringLiteral("1"));
    QVERIFY(!h->app->statisticsWindow()->chartView()->isHidden());
    // The statistics lead to the game's summary, which tells the exchange.
    QVERIFY(GameHarness::click(h->app->statisticsWindow()->summaryButton()));
    QVERIFY(h->app->summaryWindow() && h->app->summaryWindow()->isVisible());
    QVERIFY(h->app->summaryWindow()->shownRows().contains(
        QStringList{"Обмен: отдан чемодан с 3 000 000, взят чемодан с 100 000."}));
    // Each offer against the board as it stood; the exchange gave 3 000 000 for 100 000.
    const storage::Statistics statistics = nextRunStatistics(*h);
    QCOMPARE(statistics.gamesPlayed(), 1);
    QCOMPARE(statistics.totalWinnings(), 100000.0);
    QCOMPARE(statistics.offersAccepted(), 0);
    QCOMPARE((std::pair(statistics.exchangesTaken(), statistics.exchangesPaidOff())),
             (std::pair<qint64, qint64>(1, 0)));
    const game::GameRecord& last = *statistics.lastGame();
    QCOMPARE(last.exchanges, (std::vector<game::ExchangeRecord>{{3000000, 100000}}));
    QCOMPARE(last.ownCaseAmount, 100000.0);
    QCOMPARE(last.offers.size(), size_t(6));
    // With the answers and the amounts on the board, as the next run reads them.
    const auto declined = [](double amount, double average, std::vector<int> onBoard) {
        game::OfferRecord offer{false, amount, average};
        offer.answer = game::OfferAnswer::Declined;
        offer.onBoard.emplace();
        for (int rank : onBoard)
            (*offer.onBoard)[size_t(rank)] = true;
        return offer;
    };
    QCOMPARE(
        last.offers[0],
        declined(44000, 419318.75, {6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21}));
    QVERIFY(last.offers[2].exchange);
    QCOMPARE(last.offers[2].answer, game::OfferAnswer::Accepted);
    QCOMPARE(last.offers[5], declined(1550000, 1550000, {15, 21}));

    ExpectedLog log;
    log.declinedRounds(2).openedAll({9, 10, 11}).exchange();
    log.openedAll({12, 13, 14}).offer(money("412 000")).no();
    log.openedAll({16, 17, 18}).offer(money("933 000")).no();
    log.openedAll({19, 20}).offer(money("1 550 000")).no();
    log.opened(21).own(15);
    QCOMPARE(h->logBytes(), log.bytes());
    QVERIFY(s.offerHistory[3].exchange);
}

void TestWholeGames::pickingTheOwnCaseMovesNothing() {
    auto h = GameHarness::withOwnCase(21);
    QVERIFY(h);
    GameWindow* w = h->w();
    const game::GameState& s = h->app->state();
    QVERIFY(h->declineRounds(2));
    QVERIFY(h->openCases({9, 10, 11}));
    QVERIFY(h->showOffer(offerDraws(kYesExchange, 99)));
    QVERIFY(GameHarness::click(w->controls().acceptButton));
    QList<QRect> before;
    for (int i = 0; i < 22; ++i)
        before << w->controls().casePlates[i]->geometry()
               << w->controls().caseBriefcases[i]->geometry()
               << w->controls().caseAmounts[i]->geometry();
    QVERIFY(GameHarness::click(w->controls().casePlates[21]));
    QList<QRect> after;
    for (int i = 0; i < 22; ++i)
        after << w->controls().casePlates[i]->geometry()
              << w->controls().caseBriefcases[i]->geometry()
              << w->controls().caseAmounts[i]->geometry();
    QCOMPARE(after, before);
    QCOMPARE(s.ownCase, qint16(21));
    QCOMPARE(w->phase(), GameWindow::Phase::WaitingForClick);
    QVERIFY(!s.swapOfferAllowed);
    QVERIFY(w->controls().counterCaption->isHidden());
    QCOMPARE(s.openedCount, qint16(12));
    // Play goes on normally.
    QVERIFY(GameHarness::click(w->controls().casePlates[12]));
    QCOMPARE(h->lastSound(), media::soundFile(media::Sound::Suspense));
}

void TestWholeGames::exchangeAtTheLastOffer() {
    auto h = GameHarness::withOwnCase(21);
    QVERIFY(h);
    GameWindow* w = h->w();
    const game::GameState& s = h->app->state();
    QVERIFY(h->declineRounds(5));
    QVERIFY(h->openCases({18, 19}));
    QVERIFY(h->showOffer(offerDraws({0.75f}, 99)));
    QCOMPARE(w->controls().offerAmount->text(), game::kExchangeOffer);
    const QPoint lastPlace = w->controls().caseBriefcases[20]->pos();
    QVERIFY(GameHarness::click(w->controls().acceptButton));
    QCOMPARE(h->lastSound(), media::soundFile(media::Sound::Exchange));
    QVERIFY(h->sound()->isLooping());
    QCOMPARE(s.ownCase, qint16(20));
    QVERIFY(s.finalSwapDone);
    QCOMPARE(w->phase(), GameWindow::Phase::WaitingForClick);
    QVERIFY(w->controls().counterCaption->isHidden()); // no prompt at the last offer
    QCOMPARE(w->controls().caseBriefcases[21]->pos(), lastPlace);
    QCOMPARE(s.offerCount, qint16(5)); // no history entry

    QVERIFY(GameHarness::click(w->controls().casePlates[21]));
    QCOMPARE(h->lastSound(), media::soundFile(media::Sound::SuspenseAfterFinalSwap));
    QVERIFY(!s.finalSwapDone);
    h->endSound();
    QCOMPARE(s.openedCount, qint16(21));
    finish(*h);
    QCOMPARE(w->controls().winningsAmount->text(), QStringLiteral("1 500 000"));

    ExpectedLog log;
    log.declinedRounds(5).openedAll({18, 19}).exchange();
    log.opened(21).own(20);
    QCOMPARE(h->logBytes(), log.bytes());
}

void TestWholeGames::declinedExchangeIsRearmedByTheRoll() {
    auto h = GameHarness::withOwnCase(21);
    QVERIFY(h);
    GameWindow* w = h->w();
    const game::GameState& s = h->app->state();
    QVERIFY(h->declineRounds(2));
    QVERIFY(h->openCases({9, 10, 11}));
    QVERIFY(h->showOffer(offerDraws(kYesExchange, 99)));
    QVERIFY(GameHarness::click(w->controls().declineButton));
    QVERIFY(!s.swapOfferAllowed);
    QVERIFY(s.offerHistory[3].exchange);
    QVERIFY(h->openCases({12, 13, 14}));
    QVERIFY(
        h->showOffer(offerDraws(kNoExchange, 33))); // the roll re-arms; the decision still stands
    QCOMPARE(w->controls().offerAmount->text(), game::kExchangeOffer);
    QVERIFY(GameHarness::click(w->controls().declineButton));
    QVERIFY(h->openCases({15, 16, 17}));
    QVERIFY(h->showOffer(offerDraws(kNoExchange, 99)));
    QVERIFY(GameHarness::click(w->controls().declineButton));
    QVERIFY(h->openCases({18, 19}));
    QVERIFY(h->showOffer(offerDraws({0.25f}, 99)));
    QVERIFY(GameHarness::click(w->controls().declineButton));
    QVERIFY(h->openCases({20}));
    finish(*h);

    ExpectedLog log;
    log.declinedRounds(2).openedAll({9, 10, 11}).exchange().no();
    log.openedAll({12, 13, 14}).exchange().no();
    log.openedAll({15, 16, 17}).offer(money("1 000 000")).no();
    log.openedAll({18, 19}).offer(money("2 250 000")).no();
    log.opened(20).own(21);
    QCOMPARE(h->logBytes(), log.bytes());
}

void TestWholeGames::exchangeOffersAfterMoneyAccepted() {
    auto h = GameHarness::withOwnCase(21);
    QVERIFY(h);
    GameWindow* w = h->w();
    const game::GameState& s = h->app->state();
    QVERIFY(h->openCases({0, 1, 2, 3, 4, 5}));
    QVERIFY(h->showOffer(offerDraws({}, 99)));
    QVERIFY(GameHarness::click(w->controls().acceptButton));
    h->random->append(offerDraws({}, 99));
    QVERIFY(h->openCases({6, 7, 8}));
    QVERIFY(h->showOffer({}));
    QVERIFY(w->controls().acceptButton->isHidden());
    h->random->append(offerDraws(kYesExchange, 99));
    QVERIFY(h->openCases({9, 10, 11}));
    QVERIFY(h->showOffer({}));
    // An exchange offer still asks for an answer and locks the cases.
    QVERIFY(w->controls().acceptButton->isVisible() && w->controls().declineButton->isVisible());
    QVERIFY(!w->controls().casePlates[12]->isEnabled());
    QVERIFY(GameHarness::click(w->controls().declineButton));
    h->random->append(offerDraws(kNoExchange, 33));
    QVERIFY(h->openCases({12, 13, 14})); // the first opening records the same offer again
    QVERIFY(h->showOffer({}));
    QVERIFY(GameHarness::click(w->controls().declineButton));
    h->random->append(offerDraws(kNoExchange, 33));
    QVERIFY(h->openCases({15, 16, 17}));
    QVERIFY(h->showOffer({}));
    QCOMPARE(s.offerCount, qint16(6));
    QVERIFY(GameHarness::click(w->controls().declineButton));
    QCOMPARE(s.offerCount, qint16(7));
    h->random->append(offerDraws({0.75f}, 33));
    QVERIFY(h->openCases({18, 19}));
    QVERIFY(h->showOffer({}));
    QCOMPARE(w->controls().offerAmount->text(), game::kExchangeOffer);
    for (int tick = 0; tick < 5; ++tick)
        w->game().timer(game::Game::Step::HistoryReveal).fireNow();
    QCOMPARE(w->controls().historyAmounts[0]->text(), game::kExchangeInHistory);
    QCOMPARE(w->controls().historyAmounts[3]->text(), game::kExchangeInHistory);
    QCOMPARE(w->controls().historyAmounts[4]->text(), QStringLiteral("119000"));
    QVERIFY(GameHarness::click(w->controls().declineButton));
    QVERIFY(h->openCases({20}));
    finish(*h);
    QCOMPARE(s.offerCount, qint16(10));
    QCOMPARE(s.offerHistory[1], (game::Offer{false, 44000}));
    QCOMPARE(s.offerHistory[2], (game::Offer{false, 119000}));
    for (int n = 3; n <= 6; ++n)
        QVERIFY(s.offerHistory[n].exchange);
    QCOMPARE(w->controls().winningsAmount->text(), QString::fromLatin1(money("44 000")));

    ExpectedLog log;
    log.openedAll({0, 1, 2, 3, 4, 5}).offer(money("44 000")).yes();
    log.openedAll({6, 7, 8}).offer(money("119 000"));
    log.openedAll({9, 10, 11}).exchange().no();
    log.openedAll({12, 13, 14}).exchange().no();
    log.openedAll({15, 16, 17}).exchange().no();
    log.openedAll({18, 19}).exchange().no();
    log.opened(20).own(21);
    QCOMPARE(h->logBytes(), log.bytes());

    // The chart marks the offer taken (the first), kept in the file as such.
    QCOMPARE(nextRunStatistics(*h).lastGame()->acceptedAt, std::optional<int>(0));
    h->app->showStatistics();
    QList<QPointF> marked;
    const auto* view = qobject_cast<QChartView*>(h->app->statisticsWindow()->chartView());
    QVERIFY2(view, "the chart library was not loaded");
    for (QAbstractSeries* series : view->chart()->series()) {
        if (series->name() == QStringLiteral("Принятое предложение"))
            marked << static_cast<QXYSeries*>(series)->points();
    }
    QCOMPARE(marked, (QList<QPointF>{QPointF(1, 44)}));
}

void TestWholeGames::newGameEmptiesTheLogAndStartsOver() {
    auto h = GameHarness::withOwnCase(0);
    QVERIFY(h);
    h->random->append(offerDraws({}, 99));
    h->random->append(offerDraws({}, 99));
    h->random->append(offerDraws(kNoExchange, 99));
    h->random->append(offerDraws(kNoExchange, 99));
    h->random->append(offerDraws(kNoExchange, 99));
    h->random->append(offerDraws({0.25f}, 99));
    for (int i = 1; i <= 21; ++i) {
        QVERIFY(h->openCases({i}));
        if (h->w()->phase() == GameWindow::Phase::OfferPending) {
            h->endSound();
            QVERIFY(GameHarness::click(h->w()->controls().declineButton));
        }
    }
    finish(*h);
    QVERIFY(h->logBytes().endsWith("<0.01>\r\n\r\n"));
    QCOMPARE(h->w()->controls().winningsAmount->text(), QStringLiteral("0.01"));

    h->random->append({drawFor(2, 3)});
    GameWindow* w = h->w();
    const GameWindow::Controls& c = w->controls();
    QVERIFY(GameHarness::click(c.newGameButton));
    QCOMPARE(h->logBytes(), QByteArray());
    // The same window, drawn as newly loaded: control by control as a window
    // built for a game with the same arrangement of plates.
    QCOMPARE(h->w(), w);
    {
        GameHarness fresh({drawFor(2, 3)});
        const QStringList redrawn = controlsOf(w);
        const QStringList built = controlsOf(fresh.w());
        QCOMPARE(redrawn.size(), built.size());
        for (qsizetype i = 0; i < built.size(); ++i)
            QCOMPARE(redrawn[i], built[i]);
    }

    // The next game is played on the same state.
    for (int i = 0; i < 22; ++i)
        h->random->append({drawFor(i, 22)});
    h->random->append({drawFor(0, 2)});
    QVERIFY(h->startGame());
    QVERIFY(GameHarness::click(h->w()->controls().casePlates[5]));
    QVERIFY(h->openCase(6));
    QCOMPARE(h->logBytes(), QByteArray("100\r\n\r\n"));
}

void TestWholeGames::unwritableLogShowsOneMessageAndTheGameFinishes() {
    auto h = GameHarness::withOwnCase(21);
    QVERIFY(h);
    const QString path = h->dir() + "/log.txt";
    QVERIFY(QFile::remove(path));
    QVERIFY(QDir(h->dir()).mkdir("log.txt")); // nothing can be written there now
    QVERIFY(h->declineRounds(6));
    QVERIFY(h->openCases({20}));
    finish(*h);
    const QList<QMessageBox*> boxes = h->w()->findChildren<QMessageBox*>();
    QCOMPARE(boxes.size(), 1);
    QVERIFY(boxes.first()->text().contains(QDir::toNativeSeparators(path)));
    // The open message takes the other language too.
    const QString russian = boxes.first()->text();
    QVERIFY(i18n::setLanguage(i18n::kEnglish));
    QCoreApplication::sendPostedEvents();
    QVERIFY(boxes.first()->text().startsWith(QStringLiteral("The game log cannot be written")));
    QVERIFY(boxes.first()->text().contains(QDir::toNativeSeparators(path)));
    QVERIFY(i18n::setLanguage(i18n::kRussian));
    QCoreApplication::sendPostedEvents();
    QCOMPARE(boxes.first()->text(), russian);
    QVERIFY2(russian.contains(QStringLiteral("(на месте log.txt стоит папка)")),
             qPrintable(russian));

    // The next games of the run say it no more: the log that cannot be
    // emptied once, and no other message.
    StderrCapture stderrText;
    for (int game = 0; game < 2; ++game) {
        h->app->newGame();
        QVERIFY(h->startGame());
        QVERIFY(GameHarness::click(h->w()->controls().casePlates[21])); // the own case
        QVERIFY(h->openCases({0, 1}));
    }
    QCOMPARE(h->w()->findChildren<QMessageBox*>().size(), 1);
    QCOMPARE(stderrText.text().count("cannot empty the game log"), 1);
    QCOMPARE(stderrText.text().count("cannot write the game log"), 0);
}

// The start folder deleted in mid-game: the one message says so in the
// player's language, not in the system's words.
void TestWholeGames::startFolderDeletedInMidGameIsSaidInWords() {
    auto h = GameHarness::withOwnCase(21);
    QVERIFY(h);
    QVERIFY(h->openCases({0}));
    QVERIFY(QDir(h->dir()).removeRecursively());
    QVERIFY(h->openCases({1}));
    const QList<QMessageBox*> boxes = h->w()->findChildren<QMessageBox*>();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes.first()->text().contains(QStringLiteral("(папки для log.txt больше нет)")),
             qPrintable(boxes.first()->text()));
}

void TestWholeGames::logDeletedInMidGameComesBack() {
    auto h = GameHarness::withOwnCase(21);
    QVERIFY(h);
    QVERIFY(h->openCases({0, 1, 2, 3, 4, 5}));
    QVERIFY(h->showOffer(offerDraws({}, 99)));
    QVERIFY(QFile::remove(h->dir() + "/log.txt"));
    QVERIFY(GameHarness::click(h->w()->controls().declineButton));
    QVERIFY(h->openCases({6}));
    QCOMPARE(h->logBytes(), QByteArray("\r\n\r\n100\r\n\r\n"));
    QVERIFY(h->w()->findChildren<QMessageBox*>().isEmpty());
}

// A folder handed to the player whose log, lock and second log are links to
// files elsewhere: they stay as they were, byte for byte, and the game is
// played without a log, saying why.
void TestWholeGames::plantedLinksAreNeverFollowed() {
    QTemporaryDir outside;
    const QStringList planted = {"log.txt", "log.txt.lock", "log-2.txt"};
    QMap<QString, QByteArray> before;
    for (const QString& name : planted) {
        QFile target(outside.filePath(name + ".victim"));
        QVERIFY(target.open(QIODevice::WriteOnly));
        const QByteArray bytes = "precious data of " + name.toUtf8() + "\n";
        QVERIFY(target.write(bytes) == bytes.size());
        before.insert(target.fileName(), bytes);
    }
    StderrCapture stderrText;
    auto h = GameHarness::withOwnCase(21, [&](const QString& dir) {
        for (const QString& name : planted)
            QVERIFY(QFile::link(outside.filePath(name + ".victim"), dir + "/" + name));
    });
    QVERIFY(h);
    QVERIFY(h->declineRounds(6));
    QVERIFY(h->openCases({20}));
    finish(*h);
    QCOMPARE(h->w()->controls().winningsAmount->text(), QStringLiteral("3 000 000"));
    for (auto victim = before.cbegin(); victim != before.cend(); ++victim) {
        QFile target(victim.key());
        QVERIFY(target.open(QIODevice::ReadOnly));
        QCOMPARE(target.readAll(), victim.value());
    }
    for (const QString& name : planted)
        QVERIFY(QFileInfo(h->dir() + "/" + name).isSymLink());
    QCOMPARE(stderrText.text().count("keeps no log"), 1);
    QVERIFY(stderrText.text().contains("log.txt.lock in this directory is a symbolic link"));
    const QList<QMessageBox*> boxes = h->w()->findChildren<QMessageBox*>();
    QCOMPARE(boxes.size(), 1);
    QVERIFY(boxes.first()->text().contains(QStringLiteral("символическая ссылка")));
}

void TestWholeGames::unwrittenStatisticsAreSaidOnceAndKeptLater() {
    GameHarness h;
    h.app->showStatistics();
    game::GameRecord record;
    record.ownCaseAmount = 1000;
    StderrCapture stderrText;
    {
        // Another game hangs while it writes the statistics.
        QLockFile otherGame(h.statisticsFile() + QStringLiteral(".lock"));
        QVERIFY(otherGame.tryLock(0));
        QElapsedTimer stalled;
        stalled.start();
        emit h.app->game().gameFinished(record);
        emit h.app->game().gameFinished(record);
        // The window goes on at once, never waiting for the lock; the games
        // are shown all the same.
        QVERIFY2(stalled.elapsed() < 500, qPrintable(QString::number(stalled.elapsed())));
        QCOMPARE(h.app->statisticsWindow()->figures().value(0).second, QStringLiteral("2"));
        // Said once.
        QTRY_VERIFY_WITH_TIMEOUT(h.app->statisticsWindow()->problemLine()->isVisible(), 10000);
        background_writes::wait();
        QCoreApplication::processEvents();
        QCOMPARE(stderrText.text().count("cannot write the statistics"), 1);
        QCOMPARE(h.app->statisticsWindow()->figures().value(0).second, QStringLiteral("2"));
        QVERIFY(!QFile::exists(h.statisticsFile()));
    }
    // The games the file could not take go with the next one.
    emit h.app->game().gameFinished(record);
    QTRY_VERIFY(!h.app->statisticsWindow()->problemLine()->isVisible());
    QCOMPARE(nextRunStatistics(h).gamesPlayed(), 3);
    QCOMPARE(stderrText.text().count("cannot write the statistics"), 1);
}

QTEST_MAIN(TestWholeGames)
#include "test_whole_games.moc"
