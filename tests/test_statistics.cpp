// The statistics of finished games: the figures over several games, and the
// file they are kept in when it is damaged.
#include "statistics.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

using game::GameRecord;

Q_DECLARE_METATYPE(QList<GameRecord>)

namespace {

GameRecord kept(double ownCase) {
    GameRecord game;
    game.ownCaseAmount = ownCase;
    return game;
}

GameRecord deal(double accepted, double ownCase) {
    GameRecord game = kept(ownCase);
    game.acceptedOffer = accepted;
    return game;
}

GameRecord exchanged(std::vector<game::ExchangeRecord> exchanges, double ownCase) {
    GameRecord game = kept(ownCase);
    game.exchanges = std::move(exchanges);
    return game;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestStatistics final : public QObject {
    Q_OBJECT
  private slots:
    void figuresOverGames_data();
    void figuresOverGames();
    void damagedFileIsKeptAsideAndReportedOnce_data();
    void damagedFileIsKeptAsideAndReportedOnce();
};

void TestStatistics::figuresOverGames_data() {
    QTest::addColumn<QList<GameRecord>>("games");
    QTest::addColumn<double>("total");
    QTest::addColumn<double>("average");
    QTest::addColumn<double>("best");
    // Deals above, below and equal to the own case, and their gain.
    QTest::addColumn<QList<int>>("deals");
    QTest::addColumn<double>("gain");
    QTest::addColumn<int>("exchangesTaken");
    QTest::addColumn<int>("exchangesPaidOff");

    QTest::newRow("no game") << QList<GameRecord>{} << 0.0 << 0.0 << 0.0 << QList<int>{0, 0, 0}
                             << 0.0 << 0 << 0;
    QTest::newRow("own cases kept")
        << QList<GameRecord>{kept(0.01), kept(1500000), kept(100)} << 1500100.01 << 1500100.01 / 3
        << 1500000.0 << QList<int>{0, 0, 0} << 0.0 << 0 << 0;
    // The deal is won, not the own case; the best game can be an earlier one.
    QTest::newRow("deals above, below and equal")
        << QList<GameRecord>{deal(120000, 10), deal(5000, 300000), deal(1000, 1000)} << 126000.0
        << 42000.0 << 120000.0 << QList<int>{1, 1, 1} << 120000.0 - 10 - 295000 << 0 << 0;
    // An exchange pays off when the case taken held more than the one given.
    QTest::newRow("exchanges") << QList<GameRecord>{exchanged({{10, 500000}, {500000, 1}}, 1),
                                                    exchanged({{2500, 2500}}, 2500)}
                               << 2501.0 << 1250.5 << 2500.0 << QList<int>{0, 0, 0} << 0.0 << 3
                               << 1;
}

void TestStatistics::figuresOverGames() {
    QFETCH(QList<GameRecord>, games);
    QFETCH(double, total);
    QFETCH(double, average);
    QFETCH(double, best);
    QFETCH(QList<int>, deals);
    QFETCH(double, gain);
    QFETCH(int, exchangesTaken);
    QFETCH(int, exchangesPaidOff);

    game::Statistics statistics;
    for (const GameRecord& record : games)
        statistics.addGame(record);
    // What the next run reads gives the same figures.
    const std::optional<game::Statistics> reread = game::Statistics::fromJson(
        QJsonDocument::fromJson(QJsonDocument(statistics.toJson()).toJson()).object());
    QVERIFY(reread);
    for (const game::Statistics& s : {statistics, *reread}) {
        QCOMPARE(s.gamesPlayed(), int(games.size()));
        QCOMPARE(s.totalWinnings(), total);
        QCOMPARE(s.averageWinnings(), average);
        QCOMPARE(s.bestWinnings(), best);
        QCOMPARE(
            (QList<int>{s.dealsAboveOwnCase(), s.dealsBelowOwnCase(), s.dealsEqualToOwnCase()}),
            deals);
        QCOMPARE(s.offersAccepted(), deals[0] + deals[1] + deals[2]);
        QCOMPARE(s.dealsGain(), gain);
        QCOMPARE(s.exchangesTaken(), exchangesTaken);
        QCOMPARE(s.exchangesPaidOff(), exchangesPaidOff);
        QCOMPARE(s.lastGame().has_value(), !games.isEmpty());
        if (!games.isEmpty()) {
            QCOMPARE(s.lastGame()->ownCaseAmount, games.last().ownCaseAmount);
            QCOMPARE(s.lastGame()->acceptedOffer, games.last().acceptedOffer);
            QCOMPARE(s.lastGame()->exchanges, games.last().exchanges);
        }
    }
}

void TestStatistics::damagedFileIsKeptAsideAndReportedOnce_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut short") << QByteArray("{\"version\": 1, \"gamesPlayed\": 3, \"totalWin");
    QTest::newRow("not an object") << QByteArray("[1, 2, 3]");
    QTest::newRow("count as text")
        << QByteArray(R"({"version":1,"gamesPlayed":"3","totalWinnings":5,"bestWinnings":5,)"
                      R"("dealsAboveOwnCase":0,"dealsBelowOwnCase":0,"dealsEqualToOwnCase":0,)"
                      R"("dealsGain":0,"exchangesTaken":0,"exchangesPaidOff":0,)"
                      R"("lastGame":{"ownCase":5,"offers":[],"exchanges":[]}})");
    QTest::newRow("more deals than games")
        << QByteArray(R"({"version":1,"gamesPlayed":1,"totalWinnings":5,"bestWinnings":5,)"
                      R"("dealsAboveOwnCase":2,"dealsBelowOwnCase":0,"dealsEqualToOwnCase":0,)"
                      R"("dealsGain":0,"exchangesTaken":0,"exchangesPaidOff":0,)"
                      R"("lastGame":{"ownCase":5,"offers":[],"exchanges":[]}})");
    QTest::newRow("offer without amount")
        << QByteArray(R"({"version":1,"gamesPlayed":1,"totalWinnings":5,"bestWinnings":5,)"
                      R"("dealsAboveOwnCase":0,"dealsBelowOwnCase":0,"dealsEqualToOwnCase":0,)"
                      R"("dealsGain":0,"exchangesTaken":0,"exchangesPaidOff":0,)"
                      R"("lastGame":{"ownCase":5,"offers":[{"boardAverage":7}],"exchanges":[]}})");
}

void TestStatistics::damagedFileIsKeptAsideAndReportedOnce() {
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("statistics.json"));
    const game::StatisticsStore store(path);
    // A file kept aside by an earlier run stays as it is.
    QVERIFY(writeAll(path + QStringLiteral(".damaged"), "earlier"));
    QVERIFY(writeAll(path, bytes));

    const game::StatisticsStore::Loaded first = store.load();
    QVERIFY2(first.problem.contains(path + QStringLiteral(".damaged-2")),
             qPrintable(first.problem));
    QVERIFY(!first.mustNotWrite);
    QCOMPARE(first.statistics.gamesPlayed(), 0);
    QCOMPARE(readAll(path + QStringLiteral(".damaged-2")), bytes);
    QCOMPARE(readAll(path + QStringLiteral(".damaged")), QByteArray("earlier"));

    // The next run starts afresh without a word, and keeps what it writes.
    QVERIFY(store.load().problem.isEmpty());
    game::Statistics statistics = first.statistics;
    statistics.addGame(kept(50));
    QVERIFY(store.save(statistics));
    const game::StatisticsStore::Loaded next = store.load();
    QVERIFY(next.problem.isEmpty());
    QCOMPARE(next.statistics.gamesPlayed(), 1);
    QCOMPARE(next.statistics.totalWinnings(), 50.0);
}

QTEST_GUILESS_MAIN(TestStatistics)
#include "test_statistics.moc"
