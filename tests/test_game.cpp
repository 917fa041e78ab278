// Whole games and the rules of a turn played through the game class alone: no
// widget, timed steps fired by hand, fixed random draws.
#include "draws.h"
#include "game.h"
#include "game_summary.h"
#include "offer_format.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using game::Cue;
using game::Phase;
using Step = game::Game::Step;

// A game in its own directory (where its log is written), with every cue
// noted; cues end only when the test says so.
struct Play {
    explicit Play(std::vector<float> draws) : random(std::move(draws)) {
        previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        g = std::make_unique<game::Game>(random, timers);
        QObject::connect(g.get(), &game::Game::cue, [this](Cue cue, int rank) {
            cues.push_back(cue == Cue::Amount ? 100 + rank : static_cast<int>(cue));
        });
        QObject::connect(g.get(), &game::Game::casesExchanged,
                         [this](int given, int taken) { exchanged.emplace_back(given, taken); });
        QObject::connect(g.get(), &game::Game::gameFinished,
                         [this](const game::GameRecord& record) { finished.push_back(record); });
        g->newGame();
    }
    ~Play() { QDir::setCurrent(previous); }

    [[nodiscard]] const game::GameState& s() const { return g->state(); }
    [[nodiscard]] QByteArray log() const {
        QFile file(dir.filePath(QStringLiteral("log.txt")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no log>");
    }
    void fire(Step step, int times = 1) {
        for (int i = 0; i < times; ++i)
            g->timer(step).fireNow();
    }
    // "Начать игру", the whole reveal and the own case.
    void startWith(int ownCase) {
        g->start();
        fire(Step::BoardReveal, game::kCaseCount + 1);
        g->pressCase(ownCase);
    }
    // Presses the cases one by one, each opened once its suspense has ended.
    void open(const std::vector<int>& cases) {
        for (int i : cases) {
            g->pressCase(i);
            if (g->phase() == Phase::Suspense)
                g->cueEnded();
        }
    }
    // The round's last sound ends: the offer, with the draws it takes.
    void offer(const std::vector<float>& draws) {
        random.append(draws);
        g->cueEnded();
    }
    // Both steps of the end, each once its sound has ended.
    void finish() {
        for (const Step step : {Step::OwnCaseWait, Step::WinningsWait}) {
            g->cueEnded();
            QVERIFY(g->timer(step).isRunning());
            fire(step);
        }
    }

    QTemporaryDir dir;
    QString previous;
    game::ReplayRandom random;
    game::ManualTimerSource timers;
    std::unique_ptr<game::Game> g;
    std::vector<int> cues;
    std::vector<std::pair<int, int>> exchanged;
    std::vector<game::GameRecord> finished;
};

// The cases of each round, opened in order of their amounts.
const std::vector<int> kRounds[] = {{0, 1, 2, 3, 4, 5}, {6, 7, 8},    {9, 10, 11},
                                    {12, 13, 14},       {15, 16, 17}, {18, 19}};

// identityGameDraws() and a banker who is not the cautious one.
std::vector<float> identityGame() {
    std::vector<float> draws = identityGameDraws();
    draws.push_back(drawFor(0, 2));
    return draws;
}

QByteArray opened(std::initializer_list<int> ranks) {
    QByteArray bytes;
    for (int rank : ranks)
        bytes += game::amountText(rank).toLatin1() + "\r\n\r\n";
    return bytes;
}
QByteArray offered(const QByteArray& shown) {
    return "---------------" + shown + "\r\n";
}
const QByteArray kNo = "\r\n\r\n";
const QByteArray kYes = " V\r\n\r\n";
const QByteArray kExchange = "\xce\xc1\xcc\xc5\xcd";

} // namespace

class TestGame final : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void wholeGames();
    void revealTimeline();
    void strayActionsChangeNothing();
    void historyIsRevealedNewestFirst();
    void newGameResetsSomeAndKeepsTheRest();
    void summaryTellsTheGameAsPlayed_data();
    void summaryTellsTheGameAsPlayed();
};

// Three games to the end: every offer declined; money taken and the game
// played out; exchanges below and at the last offer. The log and the record
// the game leaves are checked whole.
void TestGame::wholeGames() {
    {
        Play p(identityGame());
        p.startWith(21);
        const std::vector<float> exchange[] = {{},          {},          kNoExchange,
                                               kNoExchange, kNoExchange, {0.25f}};
        for (int r = 0; r < 6; ++r) {
            p.open(kRounds[r]);
            QCOMPARE(p.g->phase(), Phase::OfferPending);
            p.offer(offerDraws(exchange[r]));
            QCOMPARE(p.g->phase(), Phase::OfferShown);
            p.g->decline();
        }
        QElapsedTimer clock;
        clock.start();
        p.open({20});
        QCOMPARE(p.g->phase(), Phase::EndOfGame);
        // Each step of the end waits for its sound, then comes on the next whole
        // second counted from the start of its wait.
        for (const Step step : {Step::OwnCaseWait, Step::WinningsWait}) {
            QVERIFY(!p.g->timer(step).isRunning());
            QTest::qSleep(300);
            p.g->cueEnded();
            const qint64 due = clock.elapsed() + p.g->timer(step).interval();
            QVERIFY2(due % 1000 < 50, qPrintable(QString::number(due)));
            clock.start();
            p.fire(step);
        }
        QCOMPARE(p.g->phase(), Phase::GameOver);
        QCOMPARE(p.random.remaining(), 0);
        QCOMPARE(p.random.overdrawn(), 0);
        // The generator is seeded from the clock at the load, at the choice of
        // the own case and before every offer.
        QCOMPARE(p.random.reseeds(), 2 + 6);
        QCOMPARE(p.log(), opened({0, 1, 2, 3, 4, 5}) + offered("44,000") + kNo + opened({6, 7, 8}) +
                              offered("119,000") + kNo + opened({9, 10, 11}) + offered("223,000") +
                              kNo + opened({12, 13, 14}) + offered("412,000") + kNo +
                              opened({15, 16, 17}) + offered("1,000,000") + kNo + opened({18, 19}) +
                              offered("2,250,000") + kNo + opened({20}) + "<3 000 000>\r\n\r\n");
        QCOMPARE(p.finished.size(), size_t(1));
        const game::GameRecord& record = p.finished[0];
        QCOMPARE(record.offers.size(), size_t(6));
        QCOMPARE(record.offers[5].amount, 2250000.0);
        QVERIFY(!record.acceptedOffer);
        QCOMPARE(record.winnings(), 3000000.0);
        QCOMPARE(p.cues.back(), static_cast<int>(Cue::Winnings));
    }
    {
        // Money taken at the second offer: later cases open without suspense
        // and the later offers ask for no answer.
        Play p(identityGame());
        p.startWith(21);
        p.open({0, 1, 2, 3, 4, 5});
        p.offer(offerDraws());
        p.g->decline();
        p.open({6, 7, 8});
        p.offer(offerDraws());
        p.g->accept();
        QCOMPARE(p.g->recordSoFar().acceptedOffer, std::optional<double>(119000));
        const size_t cuesBefore = p.cues.size();
        p.g->pressCase(9);
        QVERIFY(p.s().caseOpened[9]);
        QCOMPARE(p.cues.size(), cuesBefore + 1); // the amount's sound alone
        QCOMPARE(p.s().offerHistory[2], (game::Offer{false, 119000}));
        p.open({10, 11});
        p.offer(offerDraws(kNoExchange));
        QCOMPARE(p.g->phase(), Phase::WaitingForClick);
        for (const auto& round : {std::initializer_list<int>{12, 13, 14}, {15, 16, 17}}) {
            p.open(round);
            p.offer(offerDraws(kNoExchange));
        }
        p.open({18, 19});
        p.offer(offerDraws({0.25f}));
        p.open({20});
        p.finish();
        QCOMPARE(p.random.overdrawn(), 0);
        QCOMPARE(p.g->phase(), Phase::GameOver);
        QVERIFY(p.log().startsWith(opened({0, 1, 2, 3, 4, 5}) + offered("44,000") + kNo +
                                   opened({6, 7, 8}) + offered("119,000") + kYes +
                                   opened({9, 10, 11}) + offered("223,000") + opened({12})));
        QVERIFY(p.log().endsWith(offered("2,250,000") + opened({20}) + "<3 000 000>\r\n\r\n"));
        QCOMPARE(p.finished.at(0).winnings(), 119000.0);
        QCOMPARE(p.finished.at(0).offers.size(), size_t(6));
    }
    {
        // An exchange taken at the third offer (case 15 for the own case 21);
        // the other offers declined.
        Play p(identityGame());
        p.startWith(21);
        const std::vector<float> exchange[] = {{},          {},          kYesExchange,
                                               kNoExchange, kNoExchange, {0.75f}};
        const std::vector<int> rounds[] = {{0, 1, 2, 3, 4, 5}, {6, 7, 8},    {9, 10, 11},
                                           {12, 13, 14},       {16, 17, 18}, {19, 20}};
        for (int r = 0; r < 6; ++r) {
            p.open(rounds[r]);
            p.offer(offerDraws(exchange[r]));
            QCOMPARE(p.s().offer.exchange, r == 2);
            if (r != 2) {
                p.g->decline();
                continue;
            }
            p.g->accept();
            QCOMPARE(p.g->phase(), Phase::ExchangePick);
            p.g->pressCase(15);
            QCOMPARE(p.exchanged, (std::vector<std::pair<int, int>>{{21, 15}}));
            QCOMPARE(p.s().ownCase, qint16(15));
            QCOMPARE(p.s().casePlace[15], game::kOwnCasePlace);
            QCOMPARE(p.s().casePlace[21], 15);
            QVERIFY(!p.s().caseOpened[15]);
        }
        p.open({21});
        p.finish();
        const game::GameRecord& record = p.finished.at(0);
        QCOMPARE(record.exchanges.size(), size_t(1));
        QCOMPARE(record.exchanges[0], (game::ExchangeRecord{3000000, 100000}));
        QCOMPARE(record.winnings(), 100000.0);
        QVERIFY(p.log().contains(opened({9, 10, 11}) + offered(kExchange) + opened({12})));
        QVERIFY(p.log().endsWith(opened({21}) + "<100 000>\r\n\r\n"));
    }
    {
        // The exchange at the last offer: the one case left for the own case,
        // set down at its place; the last opening has its own suspense.
        Play p(identityGame());
        p.startWith(21);
        const std::vector<float> exchange[] = {{},          {},          kNoExchange,
                                               kNoExchange, kNoExchange, {0.75f}};
        for (int r = 0; r < 5; ++r) {
            p.open(kRounds[r]);
            p.offer(offerDraws(exchange[r]));
            p.g->decline();
        }
        p.open(kRounds[5]);
        p.offer(offerDraws(exchange[5]));
        QVERIFY(p.s().offer.exchange);
        p.g->accept();
        QCOMPARE(p.g->phase(), Phase::WaitingForClick);
        QCOMPARE(p.exchanged, (std::vector<std::pair<int, int>>{{21, 20}}));
        QCOMPARE(p.s().ownCase, qint16(20));
        QCOMPARE(p.s().casePlace[20], game::kOwnCasePlace);
        QCOMPARE(p.s().casePlace[21], 20);
        p.g->pressCase(21);
        QCOMPARE(p.cues.back(), static_cast<int>(Cue::SuspenseAfterFinalSwap));
        p.g->cueEnded();
        QCOMPARE(p.cues.back(), 100 + 21);
        p.finish();
        const game::GameRecord& record = p.finished.at(0);
        QCOMPARE(record.exchanges.size(), size_t(1));
        QCOMPARE(record.exchanges[0], (game::ExchangeRecord{3000000, 1500000}));
        QCOMPARE(record.winnings(), 1500000.0);
        // Nothing is written for the acceptance of an exchange.
        QVERIFY(p.log().endsWith(opened({18, 19}) + offered(kExchange) + opened({21}) +
                                 "<1 500 000>\r\n\r\n"));
    }
}

// "Начать игру": half a second, then one entry every 75 ms from the top amount
// down, with its music; the prompt with the last entry. A case chosen during
// the reveal is the own case and the reveal goes on to its end, without the
// prompt.
void TestGame::revealTimeline() {
    for (const bool chooseEarly : {false, true}) {
        Play p(identityGame());
        int prompts = 0;
        QObject::connect(p.g.get(), &game::Game::ownCasePrompted, [&prompts] { ++prompts; });
        game::StepTimer& reveal = p.g->timer(Step::BoardReveal);
        p.g->start();
        QCOMPARE(reveal.interval(), 500);
        QVERIFY(p.g->casesEnabled());
        p.fire(Step::BoardReveal); // 500 ms: only counts
        QCOMPARE(reveal.interval(), 500);
        QVERIFY(p.cues.empty());
        p.fire(Step::BoardReveal); // 1000 ms: music and the top entry
        QCOMPARE(p.cues, std::vector<int>{static_cast<int>(Cue::BoardReveal)});
        QCOMPARE(reveal.interval(), 75);
        QVERIFY(p.s().boardShown[21] && !p.s().boardShown[20]);
        if (chooseEarly) {
            p.fire(Step::BoardReveal, 4);
            p.g->pressCase(13);
            QCOMPARE(p.s().ownCase, qint16(13));
            QCOMPARE(p.s().openedCount, qint16(0));
            QCOMPARE(p.s().bankerStyle, qint16(0));
            QCOMPARE(p.g->phase(), Phase::WaitingForClick);
            p.open({0}); // its amount does not come back with the reveal
        }
        for (int step = chooseEarly ? 5 : 1; step < 21; ++step) {
            QCOMPARE(prompts, 0);
            p.fire(Step::BoardReveal);
        }
        QVERIFY(!p.g->boardRevealed());
        p.fire(Step::BoardReveal); // the last entry
        QVERIFY(p.g->boardRevealed());
        QCOMPARE(p.s().boardShown[0], !chooseEarly);
        QCOMPARE(prompts, chooseEarly ? 0 : 1);
        QVERIFY(!reveal.isRunning());
        QCOMPARE(p.g->phase(), chooseEarly ? Phase::WaitingForClick : Phase::ChoosingOwnCase);
    }
}

// Presses and answers the phase does not expect are ignored.
void TestGame::strayActionsChangeNothing() {
    Play p(identityGame());
    p.g->pressCase(4); // before "Начать игру"
    p.g->accept();
    p.g->decline();
    p.g->askNewGame();
    QCOMPARE(p.s().ownCase, qint16(-1));
    QCOMPARE(p.g->phase(), Phase::Loaded);
    p.startWith(21);
    p.g->start(); // a second start
    QCOMPARE(p.random.overdrawn(), 0);
    const size_t cues = p.cues.size();
    p.g->pressCase(21); // the own case
    p.g->pressCase(-1);
    p.g->pressCase(game::kCaseCount);
    QCOMPARE(p.cues.size(), cues);
    p.g->pressCase(0);
    p.g->pressCase(1); // during the suspense
    QCOMPARE(p.s().currentCase, qint16(0));
    QCOMPARE(p.cues.size(), cues + 1);
    p.g->cueEnded();
    p.g->cueEnded(); // a second end opens nothing more
    QCOMPARE(p.s().openedCount, qint16(1));
    p.g->pressCase(0); // opened already
    QCOMPARE(p.s().openedCount, qint16(1));
    p.g->accept(); // no offer waits
    p.g->decline();
    QVERIFY(!p.s().offerTaken);
    QCOMPARE(p.s().offerCount, qint16(0));
    p.open({1, 2, 3, 4, 5});
    p.g->pressCase(6); // the offer is pending
    QVERIFY(!p.s().caseOpened[6]);
    p.offer(offerDraws());
    p.g->decline();
    p.g->decline(); // a second answer to the same offer
    p.g->accept();
    QCOMPARE(p.s().offerCount, qint16(1));
    QVERIFY(!p.s().offerTaken);
    QCOMPARE(p.log(), opened({0, 1, 2, 3, 4, 5}) + offered("44,000") + kNo);
}

// The earlier offers come up the latest first, one every 100 ms, five at most;
// an answer during the reveal stops it.
void TestGame::historyIsRevealedNewestFirst() {
    Play p(identityGame());
    std::vector<std::pair<int, QString>> rows;
    QObject::connect(p.g.get(), &game::Game::historyRowShown,
                     [&rows](int row, const game::Offer& offer) {
                         rows.emplace_back(row, offer.exchange ? QStringLiteral("exchange")
                                                               : QString::number(offer.amount));
                     });
    game::StepTimer& history = p.g->timer(Step::HistoryReveal);
    p.startWith(21);
    p.open({0, 1, 2, 3, 4, 5});
    p.offer(offerDraws());
    QVERIFY(!history.isRunning()); // nothing earlier yet
    p.g->decline();
    p.open({6, 7, 8});
    p.offer(offerDraws());
    p.g->decline();
    p.open({9, 10, 11});
    p.offer(offerDraws(kNoExchange));
    QCOMPARE(history.interval(), 100);
    p.fire(Step::HistoryReveal);
    p.g->decline();
    p.fire(Step::HistoryReveal); // a step that was already due
    QVERIFY(!history.isRunning());
    QCOMPARE(rows, (std::vector<std::pair<int, QString>>{{0, "119000"}}));

    rows.clear();
    for (const auto& round : {std::initializer_list<int>{12, 13, 14}, {15, 16, 17}}) {
        p.open(round);
        p.offer(offerDraws(kNoExchange));
        p.g->decline();
    }
    p.open({18, 19});
    p.offer(offerDraws({0.25f}));
    p.fire(Step::HistoryReveal, 5);
    QVERIFY(!history.isRunning());
    QCOMPARE(rows, (std::vector<std::pair<int, QString>>{
                       {0, "1000000"}, {1, "412000"}, {2, "223000"}, {3, "119000"}, {4, "44000"}}));
}

// A new game resets what one game sets up and keeps the rest until the next game
// writes it (the banker's choice of an exchange on purpose).
void TestGame::newGameResetsSomeAndKeepsTheRest() {
    Play p(identityGame());
    p.startWith(21);
    p.open({0, 1, 2, 3, 4, 5});
    p.offer(offerDraws());
    p.g->decline();
    p.open({6, 7, 8});
    p.offer(offerDraws());
    p.g->decline();
    p.open({9, 10, 11});
    p.offer(offerDraws(kYesExchange));
    p.g->accept();
    QCOMPARE(p.g->phase(), Phase::ExchangePick);
    QVERIFY(p.g->isInProgress());

    p.random.append({drawFor(1, 3)});
    p.g->newGame();
    QCOMPARE(p.g->phase(), Phase::Loaded);
    QVERIFY(!p.g->isInProgress());
    QVERIFY(p.s().swapOfferAllowed);
    QCOMPARE(p.s().offerCount, qint16(0));
    QCOMPARE(p.s().openedCount, qint16(0));
    QCOMPARE(p.s().ownCase, qint16(-1));
    QCOMPARE(int(p.s().caseSkin), 1);
    QCOMPARE(p.s().casePlace[21], 21);
    QVERIFY(!p.s().caseOpened[0] && !p.s().boardShown[21]);
    QVERIFY(p.g->recordSoFar().offers.empty());
    QCOMPARE(p.log(), QByteArray());
    QVERIFY(p.s().swapOfferChosen);
    QVERIFY(p.s().offerHistory[3].exchange);
}

void TestGame::summaryTellsTheGameAsPlayed_data() {
    QTest::addColumn<int>("ownCase");
    QTest::addColumn<QList<int>>("order"); // the cases opened, in order
    // One letter per offer that asks for an answer: y takes it, n declines it.
    QTest::addColumn<QString>("answers");
    QTest::addColumn<int>("pick"); // the case taken when an exchange is taken
    QList<int> lowFirst;
    for (int i = 0; i < 21; ++i)
        lowFirst << i;
    QTest::newRow("every offer declined") << 21 << lowFirst << "nnnnnn" << -1;
    QList<int> highFirst;
    for (int i = 21; i >= 0; --i) {
        if (i != 10)
            highFirst << i;
    }
    QTest::newRow("deal at the first offer") << 10 << highFirst << "y" << -1;
    QTest::newRow("deal at the last offer") << 21 << lowFirst << "nnnnny" << -1;
    QList<int> withExchange = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9, 10,
                               11, 12, 13, 14, 16, 17, 18, 19, 20, 21};
    QTest::newRow("exchange taken, then a deal") << 21 << withExchange << "nnynny" << 15;
}

// The summary's figures, against what the game showed at each offer: the
// board, the offer, the answer given, and at the end the own case.
void TestGame::summaryTellsTheGameAsPlayed() {
    QFETCH(int, ownCase);
    QFETCH(QList<int>, order);
    QFETCH(QString, answers);
    QFETCH(int, pick);
    struct Seen {
        std::array<bool, game::kCaseCount> board;
        game::Offer offer;
        int opened = 0;
        game::OfferAnswer answer = game::OfferAnswer::NotAsked;
    };
    std::vector<Seen> seen;
    Play p(identityGame());
    QObject::connect(p.g.get(), &game::Game::offerShown, [&](const game::Offer& offer) {
        seen.push_back({p.s().boardShown, offer, p.s().openedCount});
    });
    p.startWith(ownCase);
    // The exchange is offered at the third offer of the game that takes one.
    const std::vector<float> exchangeDraws[] = {
        {}, {}, pick >= 0 ? kYesExchange : kNoExchange, kNoExchange, kNoExchange, {0.25f}};
    int answered = 0;
    for (const int caseIndex : order) {
        if (p.g->phase() == Phase::ExchangePick)
            p.g->pressCase(pick);
        p.open({caseIndex});
        if (p.g->phase() != Phase::OfferPending)
            continue;
        p.offer(offerDraws(exchangeDraws[seen.size()]));
        if (p.g->phase() != Phase::OfferShown)
            continue;
        const bool take = answers.at(answered++) == QLatin1Char('y');
        seen.back().answer = take ? game::OfferAnswer::Accepted : game::OfferAnswer::Declined;
        take ? p.g->accept() : p.g->decline();
    }
    QCOMPARE(answered, answers.size());
    p.finish();
    QCOMPARE(p.finished.size(), size_t(1));
    const game::GameRecord& record = p.finished[0];
    const game::GameSummary summary = game::summarizeGame(record);

    QCOMPARE(summary.offers.size(), seen.size());
    QCOMPARE(seen.size(), size_t(6));
    std::optional<double> taken;
    for (size_t i = 0; i < seen.size(); ++i) {
        const game::OfferSummary& told = summary.offers[i];
        const Seen& at = seen[i];
        double sum = 0;
        int inPlay = 0;
        int above = 0;
        for (int rank = 0; rank < game::kCaseCount; ++rank) {
            if (!at.board[size_t(rank)])
                continue;
            sum += game::kAmounts[size_t(rank)];
            ++inPlay;
            above += game::kAmounts[size_t(rank)] > double(at.offer.amount) ? 1 : 0;
        }
        QCOMPARE(told.openedCount, at.opened);
        QCOMPARE(inPlay, game::kCaseCount - at.opened);
        QCOMPARE(told.exchange, at.offer.exchange);
        QCOMPARE(told.answer, at.answer);
        QCOMPARE(told.average, sum / inPlay);
        if (at.offer.exchange) {
            QVERIFY(!told.shareOfAverage && !told.chanceOwnCaseHigher());
            continue;
        }
        QCOMPARE(told.amount, double(at.offer.amount));
        QCOMPARE(*told.shareOfAverage, double(at.offer.amount) / (sum / inPlay));
        QCOMPARE(told.amountsInPlay, inPlay);
        QCOMPARE(told.amountsAbove, above);
        if (at.answer == game::OfferAnswer::Accepted)
            taken = double(at.offer.amount);
    }
    const double own = game::kAmounts[size_t(p.s().caseAmount[size_t(p.s().ownCase)])];
    QCOMPARE(summary.ownCase, own);
    QCOMPARE(summary.winnings, taken.value_or(own));
    QCOMPARE(summary.dealGain.has_value(), taken.has_value());
    if (taken)
        QCOMPARE(*summary.dealGain, *taken - own);
    QCOMPARE(summary.exchanges.size(), size_t(pick >= 0 ? 1 : 0));
}

QTEST_GUILESS_MAIN(TestGame)
#include "test_game.moc"
