// The statistics of finished games: the figures over several games, and the
// files the game keeps (statistics, settings) when they are damaged, when the
// disk is full, and when games running at once write them.
#include "kept_file.h"
#include "rounds.h"
#include "settings.h"
#include "settings_file.h"
#include "statistics.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLockFile>
#include <QProcess>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <limits>
#include <sys/resource.h>
#include <sys/stat.h>

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
    game.offers.resize(exchanges.size(), {true, 0, 100}); // each exchange answers an offer
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

bool addGame(const storage::StatisticsStore& store, double ownCase, QString* error = nullptr) {
    return store.update([ownCase](storage::Statistics& s) { s.addGame(kept(ownCase)); }, nullptr,
                        error);
}

// The names in a folder, sorted.
QStringList namesIn(const QString& directory) {
    QStringList names = QDir(directory).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    return names;
}

// What a second game does, in a process of its own: run as
// "test_statistics --add-games FILE FIRST COUNT", it adds COUNT games, the own
// cases holding FIRST, FIRST + 1 and so on; as "--die-writing FILE", it takes
// the lock, starts writing and waits to be killed.
int secondGame(const QStringList& arguments) {
    const storage::StatisticsStore store(arguments.value(2));
    if (arguments.value(1) == QLatin1String("--add-games")) {
        const int first = arguments.value(3).toInt();
        for (int i = 0; i < arguments.value(4).toInt(); ++i) {
            QString error;
            if (!addGame(store, first + i, &error)) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return 1;
            }
        }
        return 0;
    }
    kept_file::Lock lock(store.path());
    QFile file(store.path() + QStringLiteral(".Zx9Yq1.zorban-unsaved"));
    if (!lock.take(0) || !file.open(QIODevice::WriteOnly) || !file.write("{") || !file.flush())
        return 1;
    std::printf("writing\n");
    std::fflush(stdout);
    for (;;)
        QThread::sleep(1);
}

// Files may grow to `bytes` only while it lives; a larger write is refused as
// on a full disk (SIGXFSZ ignored: the write fails instead).
class SizeLimit {
  public:
    explicit SizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &before_);
        rlimit limit = before_;
        limit.rlim_cur = bytes;
        set_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~SizeLimit() { setrlimit(RLIMIT_FSIZE, &before_); }
    [[nodiscard]] bool set() const { return set_; }

  private:
    rlimit before_{};
    bool set_ = false;
};

} // namespace

class TestStatistics final : public QObject {
    Q_OBJECT
  private slots:
    void figuresOverGames_data();
    void figuresOverGames();
    void leftGamesAreCountedApart();
    void offerDetailsThatMakeNoSenseAreLeftUnknown();
    void oddFilesNeverStall();
    void damagedFileIsKeptAsideAndReportedOnce_data();
    void damagedFileIsKeptAsideAndReportedOnce();
    void fullDiskLeavesTheFilesAsTheyWere();
    void gamesSavingAtOnceAreAllKept();
    void whatAKilledGameLeftIsCleanedUp();
    void settingsKeepTheirForm();
    void fileFromTheOldPlaceIsMovedOnce();
    void startingAfreshKeepsTheOldFile();
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

    storage::Statistics statistics;
    for (const GameRecord& record : games)
        statistics.addGame(record);
    // What the next run reads gives the same figures.
    const std::optional<storage::Statistics> reread = storage::Statistics::fromJson(
        QJsonDocument::fromJson(QJsonDocument(statistics.toJson()).toJson()).object());
    QVERIFY(reread);
    for (const storage::Statistics& s : {statistics, *reread}) {
        QCOMPARE(s.gamesPlayed(), int(games.size()));
        QCOMPARE(s.totalWinnings(), total);
        QCOMPARE(s.averageWinnings(), average);
        QCOMPARE(s.bestWinnings(), best);
        QCOMPARE((QList<int>{int(s.dealsAboveOwnCase()), int(s.dealsBelowOwnCase()),
                             int(s.dealsEqualToOwnCase())}),
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

// Games left undecided are neither played nor won; a file written before they
// were counted reads as none left, and a wrong count is damage.
void TestStatistics::leftGamesAreCountedApart() {
    storage::Statistics statistics;
    statistics.addLeftGame();
    statistics.addGame(deal(1000, 10));
    statistics.addLeftGame();
    QJsonObject object = statistics.toJson();
    const std::optional<storage::Statistics> reread = storage::Statistics::fromJson(object);
    QVERIFY(reread);
    for (const storage::Statistics& s : {statistics, *reread}) {
        QCOMPARE(s.gamesLeft(), 2);
        QCOMPARE(s.gamesPlayed(), 1);
        QCOMPARE(s.averageWinnings(), 1000.0);
    }
    object.remove(QStringLiteral("gamesLeft"));
    const std::optional<storage::Statistics> older = storage::Statistics::fromJson(object);
    QVERIFY(older);
    QCOMPARE(older->gamesLeft(), 0);
    QCOMPARE(older->gamesPlayed(), 1);
    object.insert(QStringLiteral("gamesLeft"), -1);
    QString error;
    QVERIFY(!storage::Statistics::fromJson(object, &error));
    QVERIFY2(error.contains(QStringLiteral("gamesLeft")), qPrintable(error));

    // Counts past a 32-bit integer go on counting, and are written as counted.
    object.insert(QStringLiteral("gamesLeft"), std::numeric_limits<int>::max());
    object.insert(QStringLiteral("gamesPlayed"), qint64(std::numeric_limits<int>::max()) + 7);
    std::optional<storage::Statistics> many = storage::Statistics::fromJson(object);
    QVERIFY(many);
    many->addLeftGame();
    many->addGame(deal(1000, 10));
    const std::optional<storage::Statistics> written =
        storage::Statistics::fromJson(many->toJson());
    QVERIFY(written);
    QCOMPARE(written->gamesLeft(), qint64(std::numeric_limits<int>::max()) + 1);
    QCOMPARE(written->gamesPlayed(), qint64(std::numeric_limits<int>::max()) + 8);
    // At the largest count kept, a count stays there rather than overflow.
    object.insert(QStringLiteral("gamesLeft"), double(storage::Statistics::kMaxCount));
    many = storage::Statistics::fromJson(object);
    QVERIFY(many);
    many->addLeftGame();
    QCOMPARE(storage::Statistics::fromJson(many->toJson())->gamesLeft(),
             storage::Statistics::kMaxCount);

    // With the games at the largest count, games with deals and exchanges
    // leave every figure where it was, and the file reads back.
    constexpr qint64 kMax = storage::Statistics::kMaxCount;
    object.insert(QStringLiteral("gamesPlayed"), double(kMax));
    object.insert(QStringLiteral("dealsAboveOwnCase"), double(kMax - 1));
    object.insert(QStringLiteral("dealsBelowOwnCase"), 1);
    object.insert(QStringLiteral("exchangesTaken"), double(kMax - 1));
    object.insert(QStringLiteral("exchangesPaidOff"), double(kMax - 1));
    many = storage::Statistics::fromJson(object);
    QVERIFY(many);
    many->addGame(deal(2000, 10));
    many->addGame(exchanged({{10, 500000}, {1, 5}}, 3));
    QString fullError;
    const std::optional<storage::Statistics> full =
        storage::Statistics::fromJson(many->toJson(), &fullError);
    QVERIFY2(full, qPrintable(fullError));
    QCOMPARE(full->gamesPlayed(), kMax);
    QCOMPARE(full->offersAccepted(), kMax);
    QCOMPARE(full->exchangesTaken(), kMax - 1);
    QCOMPARE(full->exchangesPaidOff(), kMax - 1);
    QCOMPARE(full->totalWinnings(), many->totalWinnings());
    QCOMPARE(full->lastGame()->ownCaseAmount, 3.0);
}

// The answer to each offer and the amounts on the board then only feed the
// game's summary: odd ones (a hand-edited file, an older version's) are left
// unknown, and the file reads whole.
void TestStatistics::offerDetailsThatMakeNoSenseAreLeftUnknown() {
    game::GameRecord game = deal(1000, 10);
    game::OfferRecord offer(false, 1000, 2000);
    offer.answer = game::OfferAnswer::Accepted;
    offer.onBoard.emplace();
    (*offer.onBoard)[3] = (*offer.onBoard)[21] = true;
    game.offers = {offer};
    game.acceptedAt = 0;
    storage::Statistics statistics;
    statistics.addGame(game);
    const QJsonObject object = statistics.toJson();
    QCOMPARE(storage::Statistics::fromJson(object)->lastGame()->offers, game.offers);
    const QList<QPair<QJsonValue, QJsonValue>> odd = {
        {QStringLiteral("maybe"), QJsonArray{3, 3}},    // an unknown answer, a rank twice
        {1, QJsonArray{22}},                            // an answer not by name, no such rank
        {QJsonValue(), QStringLiteral("3 21")},         // no answer, not a list
        {QStringLiteral("accepted"), QJsonArray{2.5}}}; // not a whole rank
    for (const auto& [answer, onBoard] : odd) {
        QJsonObject edited = object;
        QJsonObject last = edited.value(QStringLiteral("lastGame")).toObject();
        QJsonArray offers = last.value(QStringLiteral("offers")).toArray();
        QJsonObject entry = offers.at(0).toObject();
        entry.insert(QStringLiteral("answer"), answer);
        entry.insert(QStringLiteral("onBoard"), onBoard);
        offers.replace(0, entry);
        last.insert(QStringLiteral("offers"), offers);
        edited.insert(QStringLiteral("lastGame"), last);
        const std::optional<storage::Statistics> read = storage::Statistics::fromJson(edited);
        QVERIFY(read && read->lastGame());
        const game::OfferRecord& kept = read->lastGame()->offers.at(0);
        QCOMPARE(kept.amount, 1000.0);
        QCOMPARE(kept.answer, answer == QJsonValue(QStringLiteral("accepted"))
                                  ? game::OfferAnswer::Accepted
                                  : game::OfferAnswer::Unknown);
        QVERIFY(!kept.onBoard);
    }
}

// A named pipe or folder where the files or their lock belong never stalls a
// game: each is said for what it is, and left as it stands.
void TestStatistics::oddFilesNeverStall() {
    QTemporaryDir dir;
    const QString statistics = dir.filePath(QStringLiteral("statistics.json"));
    const QString settings = dir.filePath(QStringLiteral("zorban.conf"));
    QCOMPARE(::mkfifo(QFile::encodeName(statistics).constData(), 0600), 0);
    QCOMPARE(::mkfifo(QFile::encodeName(settings).constData(), 0600), 0);
    QElapsedTimer waited;
    waited.start();
    const storage::StatisticsStore::Loaded loaded = storage::StatisticsStore(statistics).load();
    QVERIFY2(loaded.problem.contains(QStringLiteral("is a named pipe")),
             qPrintable(loaded.problem));
    QVERIFY(loaded.mustNotWrite);
    QCOMPARE(storage::Settings(settings).volume(), 100);
    QVERIFY(!storage::Settings(settings).setVolume(50));
    QVERIFY(waited.elapsed() < 1000);
    for (const QString& path : {statistics, settings})
        QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile());

    QVERIFY(QFile::remove(statistics));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("statistics.json.lock")));
    waited.restart();
    QString error;
    QVERIFY(!addGame(storage::StatisticsStore(statistics), 10, &error));
    QVERIFY2(error.contains(QStringLiteral("statistics.json.lock is a folder")), qPrintable(error));
    QVERIFY2(!error.contains(QStringLiteral("another game")), qPrintable(error));
    QVERIFY(waited.elapsed() < 1000);
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
    QTest::newRow("amount beyond counting")
        << QByteArray(R"({"version":1,"gamesPlayed":1,"totalWinnings":1.7e308,"bestWinnings":5,)"
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
    // More than a game can hold: one offer past the last round's, or an exchange
    // without an offer.
    QByteArray offers;
    for (int i = 0; i <= game::kOffersPerGame; ++i)
        offers += QByteArray(i == 0 ? "" : ",") + R"({"amount":100,"boardAverage":7})";
    QTest::newRow("more offers than rounds")
        << QByteArray(R"({"version":1,"gamesPlayed":1,"totalWinnings":5,"bestWinnings":5,)"
                      R"("dealsAboveOwnCase":0,"dealsBelowOwnCase":0,"dealsEqualToOwnCase":0,)"
                      R"("dealsGain":0,"exchangesTaken":0,"exchangesPaidOff":0,)"
                      R"("lastGame":{"ownCase":5,"offers":[)" +
                      offers + R"(],"exchanges":[]}})");
    QTest::newRow("more exchanges than offers")
        << QByteArray(R"({"version":1,"gamesPlayed":1,"totalWinnings":5,"bestWinnings":5,)"
                      R"("dealsAboveOwnCase":0,"dealsBelowOwnCase":0,"dealsEqualToOwnCase":0,)"
                      R"("dealsGain":0,"exchangesTaken":2,"exchangesPaidOff":0,)"
                      R"("lastGame":{"ownCase":5,"offers":[{"exchange":true,"boardAverage":7}],)"
                      R"("exchanges":[{"given":5,"taken":1},{"given":1,"taken":5}]}})");
}

void TestStatistics::damagedFileIsKeptAsideAndReportedOnce() {
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("statistics.json"));
    const storage::StatisticsStore store(path);
    // A file kept aside by an earlier run stays as it is.
    QVERIFY(writeAll(path + QStringLiteral(".damaged"), "earlier"));
    QVERIFY(writeAll(path, bytes));

    const storage::StatisticsStore::Loaded first = store.load();
    QVERIFY2(first.problem.contains(path + QStringLiteral(".damaged-2")),
             qPrintable(first.problem));
    QVERIFY(!first.mustNotWrite);
    QCOMPARE(first.statistics.gamesPlayed(), 0);
    QCOMPARE(readAll(path + QStringLiteral(".damaged-2")), bytes);
    QCOMPARE(readAll(path + QStringLiteral(".damaged")), QByteArray("earlier"));

    // The next run starts afresh without a word, and keeps what it writes.
    QVERIFY(store.load().problem.isEmpty());
    QVERIFY(addGame(store, 50));
    const storage::StatisticsStore::Loaded next = store.load();
    QVERIFY(next.problem.isEmpty());
    QCOMPARE(next.statistics.gamesPlayed(), 1);
    QCOMPARE(next.statistics.totalWinnings(), 50.0);
}

void TestStatistics::fullDiskLeavesTheFilesAsTheyWere() {
    QTemporaryDir dir;
    const storage::StatisticsStore store(dir.filePath(QStringLiteral("statistics.json")));
    for (double ownCase : {10.0, 20.0, 30.0})
        QVERIFY(addGame(store, ownCase));
    const QByteArray statistics = readAll(store.path());
    const storage::SettingsFile settings(dir.filePath(QStringLiteral("zorban.conf")));
    const QByteArray settingsBefore =
        "[sound]\nmuted=false\nvolume=80\n\n[window]\n"
        "geometry=@Rect(10 20 1058 758)\nfullScreen=false\n\n[notes]\n" +
        QByteArray(300, 'x') + "=1\n";
    QVERIFY(writeAll(settings.path(), settingsBefore));
    {
        // Room for the lock, not for either file: the disk takes part of each.
        const SizeLimit full(200);
        QVERIFY(full.set());
        QString error;
        QVERIFY(!addGame(store, 40, &error));
        QVERIFY(!error.isEmpty());
        QString settingsError;
        QVERIFY(!settings.set({{QStringLiteral("sound/volume"), QStringLiteral("70")}},
                              &settingsError));
        QVERIFY(!settingsError.isEmpty());
    }
    QCOMPARE(readAll(store.path()), statistics);
    QCOMPARE(readAll(settings.path()), settingsBefore);
    QCOMPARE(namesIn(dir.path()), (QStringList{"statistics.json", "zorban.conf"}));
    // Once there is room, the game that could not be written is.
    QVERIFY(addGame(store, 40));
    QCOMPARE(store.load().statistics.totalWinnings(), 100.0);
}

void TestStatistics::gamesSavingAtOnceAreAllKept() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("statistics.json"));
    constexpr int kGames = 4;
    constexpr int kEach = 25;
    std::vector<std::unique_ptr<QProcess>> games;
    for (int g = 0; g < kGames; ++g) {
        games.push_back(std::make_unique<QProcess>());
        games.back()->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        games.back()->start(QCoreApplication::applicationFilePath(),
                            {QStringLiteral("--add-games"), path, QString::number(1000 * g + 1),
                             QString::number(kEach)});
    }
    double total = 0;
    for (int g = 0; g < kGames; ++g) {
        QVERIFY(games[g]->waitForFinished(60000));
        QCOMPARE(games[g]->exitCode(), 0);
        for (int i = 0; i < kEach; ++i)
            total += 1000 * g + 1 + i;
    }
    const storage::StatisticsStore::Loaded loaded = storage::StatisticsStore(path).load();
    QVERIFY2(loaded.problem.isEmpty(), qPrintable(loaded.problem));
    QCOMPARE(loaded.statistics.gamesPlayed(), kGames * kEach);
    QCOMPARE(loaded.statistics.totalWinnings(), total);
    QCOMPARE(namesIn(dir.path()), QStringList{"statistics.json"});
}

void TestStatistics::whatAKilledGameLeftIsCleanedUp() {
    QTemporaryDir dir;
    const storage::StatisticsStore store(dir.filePath(QStringLiteral("statistics.json")));
    QVERIFY(addGame(store, 10));
    QProcess killed;
    killed.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--die-writing"), store.path()});
    QVERIFY(killed.waitForReadyRead(10000));
    killed.kill();
    QVERIFY(killed.waitForFinished(10000));
    QVERIFY(QFileInfo::exists(store.path() + QStringLiteral(".lock")));
    // The player's own copies, whatever their names, are never taken for
    // what a game left.
    const QStringList others = {"statistics.json.damaged",
                                "statistics.json.Ab3dE",
                                "statistics.json.Ab3dEfG",
                                "statistics.json.Ab-dEf",
                                "zorban.conf",
                                "statistics.json.backup",
                                "statistics.json.before",
                                "statistics.json.2024ok",
                                "zorban.conf.backup",
                                "statistics.json.Ab3dEf.zorban-unsaved.kept"};
    for (const QString& name : others)
        QVERIFY(writeAll(dir.filePath(name), "kept"));
    QVERIFY(writeAll(dir.filePath(QStringLiteral("zorban.conf.Qw12Er.zorban-unsaved")), "[sound"));
    const QStringList left = namesIn(dir.path());

    {
        // While another game writes, nothing is cleaned.
        kept_file::Lock writing(store.path());
        QVERIFY(writing.take(0)); // the killed game's lock is taken over
        const storage::StatisticsStore::Loaded loaded = store.load();
        QCOMPARE(loaded.statistics.gamesPlayed(), 1);
        QCOMPARE(namesIn(dir.path()), left);
    }
    const storage::StatisticsStore::Loaded loaded = store.load();
    QVERIFY2(loaded.problem.isEmpty(), qPrintable(loaded.problem));
    QCOMPARE(loaded.statistics.gamesPlayed(), 1);
    storage::SettingsFile(dir.filePath(QStringLiteral("zorban.conf"))).removeLeftovers();
    QStringList expected = others + QStringList{"statistics.json"};
    expected.sort();
    QCOMPARE(namesIn(dir.path()), expected);
}

void TestStatistics::settingsKeepTheirForm() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zorban.conf"));
    {
        // As earlier versions left it.
        QSettings earlier(path, QSettings::IniFormat);
        earlier.setValue(QStringLiteral("sound/muted"), true);
        earlier.setValue(QStringLiteral("sound/volume"), 70);
        earlier.setValue(QStringLiteral("window/geometry"), QRect(-8, 30, 1058, 758));
        earlier.setValue(QStringLiteral("other/words"), QStringLiteral("a, b"));
    }
    const storage::SettingsFile settings(path);
    QCOMPARE(settings.boolValue(QStringLiteral("sound/muted")), std::optional<bool>(true));
    QCOMPARE(settings.intValue(QStringLiteral("sound/volume")), std::optional<int>(70));
    QCOMPARE(settings.rectValue(QStringLiteral("window/geometry")),
             std::optional<QRect>(QRect(-8, 30, 1058, 758)));
    QCOMPARE(settings.boolValue(QStringLiteral("window/fullScreen")), std::nullopt);

    QVERIFY(
        settings.set({{QStringLiteral("sound/volume"), QStringLiteral("60")},
                      {QStringLiteral("window/fullScreen"), storage::SettingsFile::boolText(true)},
                      {QStringLiteral("window/geometry"),
                       storage::SettingsFile::rectText(QRect(5, 6, 700, 500))}}));
    const QSettings next(path, QSettings::IniFormat);
    QCOMPARE(next.status(), QSettings::NoError);
    QCOMPARE(next.value(QStringLiteral("sound/muted")).toBool(), true);
    QCOMPARE(next.value(QStringLiteral("sound/volume")).toInt(), 60);
    QCOMPARE(next.value(QStringLiteral("window/fullScreen")).toBool(), true);
    QCOMPARE(next.value(QStringLiteral("window/geometry")).toRect(), QRect(5, 6, 700, 500));
    QCOMPARE(next.value(QStringLiteral("other/words")).toString(), QStringLiteral("a, b"));
    QCOMPARE(next.allKeys().size(), 5);
}

// Earlier versions kept the file one folder deeper: it moves up once, records
// intact; a file already in the new place is never replaced by the old one.
void TestStatistics::fileFromTheOldPlaceIsMovedOnce() {
    QTemporaryDir dir;
    const storage::StatisticsStore old(dir.filePath(QStringLiteral("zorban/statistics.json")));
    for (double ownCase : {10.0, 200.0, 3000.0})
        QVERIFY(addGame(old, ownCase));
    const QByteArray bytes = readAll(old.path());
    const storage::StatisticsStore store(dir.filePath(QStringLiteral("statistics.json")));

    QVERIFY(!store.takeOver(old.path()).isEmpty());
    QCOMPARE(readAll(store.path()), bytes);
    QVERIFY(!QFileInfo::exists(old.path()));
    const storage::Statistics moved = store.load().statistics;
    QCOMPARE(moved.gamesPlayed(), 3);
    QCOMPARE(moved.totalWinnings(), 3210.0);
    QVERIFY(store.takeOver(old.path()).isEmpty()); // nothing left to move

    QVERIFY(addGame(old, 5)); // an older version ran again meanwhile
    const QByteArray oldBytes = readAll(old.path());
    QVERIFY(!store.takeOver(old.path()).isEmpty()); // said
    QCOMPARE(readAll(store.path()), bytes);
    QCOMPARE(readAll(old.path()), oldBytes);
}

void TestStatistics::startingAfreshKeepsTheOldFile() {
    QTemporaryDir dir;
    const storage::StatisticsStore store(dir.filePath(QStringLiteral("statistics.json")));
    for (double ownCase : {10.0, 20.0})
        QVERIFY(addGame(store, ownCase));
    const QByteArray before = readAll(store.path());
    const QDateTime when(QDate(2026, 12, 7), QTime(21, 5, 9));
    QString backup;
    QVERIFY(store.startAfresh(when, &backup));
    QCOMPARE(backup, store.path() + QStringLiteral(".bak-20261207-210509"));
    QCOMPARE(readAll(backup), before);
    QCOMPARE(store.load().statistics.gamesPlayed(), 0);
    // Twice in the same second: the first backup stays.
    QVERIFY(addGame(store, 30));
    QString second;
    QVERIFY(store.startAfresh(when, &second));
    QVERIFY(second != backup);
    QCOMPARE(readAll(backup), before);
    QCOMPARE(storage::StatisticsStore(second).load().statistics.gamesPlayed(), 1);
    QCOMPARE(namesIn(dir.path()).size(), 3);
}

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (app.arguments().value(1).startsWith(QLatin1String("--add-games")) ||
        app.arguments().value(1) == QLatin1String("--die-writing"))
        return secondGame(app.arguments());
    TestStatistics test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_statistics.moc"
