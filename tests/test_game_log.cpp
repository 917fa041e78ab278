#include "game.h"
#include "game_log.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <sys/stat.h>
#include <vector>

class TestGameLog final : public QObject {
    Q_OBJECT

  private slots:
    void recordsEndWithCrLfInWindows1251();
    void resetEmptiesTheFile();
    void deletedFileComesBackWithNewLines();
    void unwritablePlaceIsReportedNotThrown();
    void gamesInOneDirectoryKeepTheirLogsApart();
    void oddFilesInTheLogsPlaceAreLeftAlone_data();
    void oddFilesInTheLogsPlaceAreLeftAlone();
    void theTenthGameTouchesNoLog();
    void charactersTheCodePageLacksAreNeverQuestionMarks_data();
    void charactersTheCodePageLacksAreNeverQuestionMarks();
};

namespace {
QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

void TestGameLog::recordsEndWithCrLfInWindows1251() {
    QTemporaryDir dir;
    game::GameLog log(dir.filePath("log.txt"));
    QVERIFY(log.reset());
    QVERIFY(log.append(game::records::amount("1 000")));
    QVERIFY(log.append(game::records::offer("10 899")));
    QVERIFY(log.append(game::records::declined()));
    QVERIFY(log.append(game::records::offer(QStringLiteral("ОБМЕН"))));
    QVERIFY(log.append(game::records::accepted()));
    QVERIFY(log.append(game::records::ownCase("0.01")));
    const QByteArray expected = QByteArray("1 000\r\n\r\n") + "---------------10 899\r\n" +
                                "\r\n\r\n" + "---------------\xce\xc1\xcc\xc5\xcd\r\n" +
                                " V\r\n\r\n" + "<0.01>\r\n\r\n";
    QCOMPARE(readAll(log.path()), expected);
}

void TestGameLog::resetEmptiesTheFile() {
    QTemporaryDir dir;
    game::GameLog log(dir.filePath("log.txt"));
    QVERIFY(log.append("old game"));
    QVERIFY(QFileInfo(log.path()).size() > 0);
    QVERIFY(log.reset());
    QVERIFY(QFileInfo::exists(log.path()));
    QCOMPARE(QFileInfo(log.path()).size(), qint64(0));
}

void TestGameLog::deletedFileComesBackWithNewLines() {
    QTemporaryDir dir;
    game::GameLog log(dir.filePath("log.txt"));
    QVERIFY(log.reset());
    QVERIFY(log.append("5\r\n"));
    QVERIFY(QFile::remove(log.path()));
    QVERIFY(log.append("50\r\n"));
    QCOMPARE(readAll(log.path()), QByteArray("50\r\n\r\n"));
}

void TestGameLog::unwritablePlaceIsReportedNotThrown() {
    QTemporaryDir dir;
    // A directory standing where the file should be.
    QVERIFY(QDir(dir.path()).mkdir("log.txt"));
    game::GameLog log(dir.filePath("log.txt"));
    QVERIFY(!log.reset());
    QVERIFY(!log.lastError().isEmpty());
    QVERIFY(!log.append("1"));
    QCOMPARE(log.lastProblem(), files::Problem::Folder);
    // Once the obstacle is gone the next record is written.
    QVERIFY(QDir(dir.path()).rmdir("log.txt"));
    QVERIFY(log.append("1"));
    QCOMPARE(readAll(log.path()), QByteArray("1\r\n"));

    // A folder that is gone, or deeper than the system allows, has nothing in
    // the way of the log: the log is claimed as it is, and its writes say what
    // is wrong.
    const QString gone = dir.filePath(QStringLiteral("deleted"));
    const QString deep = dir.filePath(QString(300, QLatin1Char('d')));
    for (const auto& [directory, problem] : {std::pair{gone, files::Problem::NoFolder},
                                             std::pair{deep, files::Problem::NameTooLong}}) {
        const game::LogFileClaim claim(directory);
        QVERIFY2(claim.problem().isEmpty(), qPrintable(claim.refusedName() + claim.problem()));
        QCOMPARE(claim.path(), QDir(directory).filePath(QStringLiteral("log.txt")));
        game::GameLog unwritable(claim.path());
        QVERIFY(!unwritable.reset());
        QCOMPARE(unwritable.lastProblem(), problem);
    }
}

// A second game running in the directory writes its own log, never into the
// first one's; the lock of a game that was killed is taken over.
void TestGameLog::gamesInOneDirectoryKeepTheirLogsApart() {
    QTemporaryDir dir;
    const QString lockFile = dir.filePath("log.txt.lock");
    {
        auto first = std::make_unique<game::LogFileClaim>(dir.path());
        game::LogFileClaim second(dir.path());
        QCOMPARE(first->path(), dir.filePath("log.txt"));
        QVERIFY(!first->apart());
        QCOMPARE(second.path(), dir.filePath("log-2.txt"));
        QVERIFY(second.apart());
        game::GameLog firstLog(first->path());
        game::GameLog secondLog(second.path());
        QVERIFY(firstLog.reset() && secondLog.reset());
        for (int step = 0; step < 3; ++step) {
            QVERIFY(firstLog.append(QStringLiteral("first")));
            QVERIFY(secondLog.append(QStringLiteral("second")));
        }
        QCOMPARE(readAll(firstLog.path()), QByteArray("first\r\n").repeated(3));
        QCOMPARE(readAll(secondLog.path()), QByteArray("second\r\n").repeated(3));
        // The first game ends: its name is free again, the second keeps its own.
        first.reset();
        QVERIFY(!QFileInfo::exists(lockFile));
        QCOMPARE(game::LogFileClaim(dir.path()).path(), dir.filePath("log.txt"));
    }
    // The lock file a killed game left does not hold the name.
    QFile stale(lockFile);
    QVERIFY(stale.open(QIODevice::WriteOnly) && stale.write("12345\nzorban\n") > 0);
    stale.close();
    const game::LogFileClaim next(dir.path());
    QCOMPARE(next.path(), dir.filePath("log.txt"));
    QVERIFY(!next.apart());
}

// A log or lock planted as a link, a named pipe or a folder is left exactly as
// it is, and no log is kept; so too when every name is held, where log.txt of
// the first game is never touched.
void TestGameLog::oddFilesInTheLogsPlaceAreLeftAlone_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("problem");
    QTest::newRow("log a link") << "log.txt"
                                << "link"
                                << "is a symbolic link";
    QTest::newRow("lock a link") << "log.txt.lock"
                                 << "link"
                                 << "is a symbolic link";
    QTest::newRow("log a pipe") << "log.txt"
                                << "pipe"
                                << "is a named pipe";
    QTest::newRow("lock a pipe") << "log.txt.lock"
                                 << "pipe"
                                 << "is a named pipe";
    QTest::newRow("log a folder") << "log.txt"
                                  << "folder"
                                  << "is a folder";
    QTest::newRow("lock a folder") << "log.txt.lock"
                                   << "folder"
                                   << "is a folder";
}

void TestGameLog::oddFilesInTheLogsPlaceAreLeftAlone() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    QTemporaryDir outside;
    const QString planted = dir.filePath(name);
    const QString victim = outside.filePath("victim.txt");
    const QByteArray precious("precious data\n");
    QFile target(victim);
    QVERIFY(target.open(QIODevice::WriteOnly) && target.write(precious) == precious.size());
    target.close();
    if (kind == "link")
        QVERIFY(QFile::link(victim, planted));
    else if (kind == "pipe")
        QCOMPARE(::mkfifo(QFile::encodeName(planted).constData(), 0600), 0);
    else if (kind == "folder")
        QVERIFY(QDir(dir.path()).mkdir(name));
    const game::LogFileClaim claim(dir.path());
    QVERIFY(claim.path().isEmpty());
    QCOMPARE(claim.refusedName(), name);
    QCOMPARE(claim.problem(), problem);
    // Written straight to the planted name, a log never follows it either.
    game::GameLog log(dir.filePath("log.txt"));
    if (name == "log.txt") {
        QVERIFY(!log.reset());
        QVERIFY(!log.append("1"));
    }
    QCOMPARE(readAll(victim), precious);
    QCOMPARE(QFileInfo(planted).isSymLink(), kind == "link");
    QCOMPARE(QFileInfo(planted).isDir(), kind == "folder");
}

void TestGameLog::theTenthGameTouchesNoLog() {
    QTemporaryDir dir;
    std::vector<std::unique_ptr<game::LogFileClaim>> running;
    for (int n = 1; n <= 9; ++n)
        running.push_back(std::make_unique<game::LogFileClaim>(dir.path()));
    game::GameLog first(running.front()->path());
    QVERIFY(first.reset() && first.append("first"));
    const game::LogFileClaim tenth(dir.path());
    QVERIFY(tenth.path().isEmpty());
    game::ReplayRandom random;
    game::ManualTimerSource timers;
    game::Game game(random, timers);
    game.setLogFile(tenth.path(), QString());
    QDir::setCurrent(dir.path());
    game.newGame();
    QCOMPARE(readAll(dir.filePath("log.txt")), QByteArray("first\r\n"));
}

void TestGameLog::charactersTheCodePageLacksAreNeverQuestionMarks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("logged");
    QTest::newRow("no-break space is in the code page") << QStringLiteral("10\u00a0899")
                                                        << QByteArray("10\xa0"
                                                                      "899");
    QTest::newRow("narrow no-break space") << QStringLiteral("10\u202f899")
                                           << QByteArray("10\xa0"
                                                         "899");
    QTest::newRow("em space") << QStringLiteral("a\u2003b") << QByteArray("a b");
    QTest::newRow("Arabic-Indic digits, separator left out")
        << QStringLiteral("\u0661\u066c\u0662\u0663\u0664") << QByteArray("1234");
    QTest::newRow("Persian digits") << QStringLiteral("\u06f7\u06f5") << QByteArray("75");
    QTest::newRow("digit outside the basic plane")
        << QStringLiteral("\U0001D7D1") << QByteArray("3");
    QTest::newRow("ideograph left out") << QStringLiteral("a\u4e2db") << QByteArray("ab");
    QTest::newRow("direction mark left out") << QStringLiteral("\u200f10") << QByteArray("10");
}

void TestGameLog::charactersTheCodePageLacksAreNeverQuestionMarks() {
    QFETCH(QString, text);
    QFETCH(QByteArray, logged);
    QCOMPARE(game::toWindows1251(text).value(), logged);
}

QTEST_APPLESS_MAIN(TestGameLog)
#include "test_game_log.moc"
