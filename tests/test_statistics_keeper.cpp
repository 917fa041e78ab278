// This run's statistics as the game keeps them: every change shown at once and
// written on the writing thread; what the file cannot take is said once, in the
// player's language, kept, and tried again with the next change and at quit.
#include "background_writes.h"
#include "language.h"
#include "statistics_keeper.h"

#include <QLockFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <unistd.h>

namespace {

void addGame(storage::Statistics& statistics) {
    game::GameRecord record;
    record.ownCaseAmount = 1000;
    statistics.addGame(record);
}

qint64 gamesInFile(const QString& path) {
    return storage::StatisticsStore(path).load().statistics.gamesPlayed();
}

// What is written to stderr while it lives.
class StderrCapture {
  public:
    StderrCapture() {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        file_.open();
        ::dup2(file_.handle(), STDERR_FILENO);
    }
    ~StderrCapture() { restore(); }
    QString text() {
        std::fflush(stderr);
        QFile read(file_.fileName());
        return read.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(read.readAll()) : QString();
    }

  private:
    void restore() {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        saved_ = -1;
    }
    QTemporaryFile file_;
    int saved_ = -1;
};

} // namespace

class TestStatisticsKeeper final : public QObject {
    Q_OBJECT

  private slots:
    void whatTheFileCannotTakeIsSaidOnceAndKeptLater();
    void unsavedChangesAreTriedAgainAtQuit();
    void aPlaceThatCannotBeWrittenIsSaidForWhatItIs();
};

void TestStatisticsKeeper::whatTheFileCannotTakeIsSaidOnceAndKeptLater() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("statistics.json"));
    StderrCapture stderrText;
    storage::StatisticsKeeper keeper(path);
    QSignalSpy changed(&keeper, &storage::StatisticsKeeper::changed);
    {
        // Another game hangs while it writes the statistics.
        QLockFile otherGame(path + QStringLiteral(".lock"));
        QVERIFY(otherGame.tryLock(0));
        keeper.keep(addGame);
        keeper.keep(addGame);
        QCOMPARE(keeper.statistics().gamesPlayed(), 2); // shown at once
        QTRY_VERIFY_WITH_TIMEOUT(!keeper.problemText().isEmpty(), 10000);
        background_writes::wait();
        QCoreApplication::processEvents();
        QVERIFY2(keeper.problemText().contains(QStringLiteral("другая игра")),
                 qPrintable(keeper.problemText()));
        QCOMPARE(stderrText.text().count(QStringLiteral("cannot write the statistics")), 1);
        QCOMPARE(keeper.statistics().gamesPlayed(), 2);
        QCOMPARE(keeper.unsavedChanges(), 2);
        QVERIFY(!QFile::exists(path));
    }
    // The games the file could not take go with the next one.
    keeper.keep(addGame);
    QTRY_VERIFY_WITH_TIMEOUT(keeper.problemText().isEmpty(), 10000);
    QCOMPARE(keeper.unsavedChanges(), 0);
    QCOMPARE(gamesInFile(path), 3);
    QCOMPARE(keeper.statistics().gamesPlayed(), 3);
    QCOMPARE(stderrText.text().count(QStringLiteral("cannot write the statistics")), 1);
    QVERIFY(changed.count() >= 4);
}

void TestStatisticsKeeper::unsavedChangesAreTriedAgainAtQuit() {
    for (const bool heldAtQuit : {false, true}) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("statistics.json"));
        StderrCapture stderrText;
        auto otherGame = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
        QVERIFY(otherGame->tryLock(0));
        {
            storage::StatisticsKeeper keeper(path);
            keeper.keep(addGame);
            background_writes::wait();
            if (!heldAtQuit)
                otherGame.reset();
            keeper.writeUnsavedAtQuit();
        }
        otherGame.reset();
        QCOMPARE(gamesInFile(path), heldAtQuit ? 0 : 1);
        QCOMPARE(stderrText.text().count(
                     QStringLiteral("at quit: 1 change(s) of this run are not kept")),
                 heldAtQuit ? 1 : 0);
    }
}

// A folder where no lock can be made (here one the system lets nobody write
// in) is said as such, in the language spoken, with no advice to remove what
// is not there.
void TestStatisticsKeeper::aPlaceThatCannotBeWrittenIsSaidForWhatItIs() {
    const QString path = QStringLiteral("/sys/zorban-statistics.json");
    if (::access("/sys", W_OK) == 0 &&
        QFile(path + QStringLiteral(".test")).open(QIODevice::WriteOnly))
        QSKIP("/sys takes new files here");
    QString error;
    files::Problem problem = files::Problem::None;
    QVERIFY(!storage::StatisticsStore(path).update(addGame, nullptr, &error, nullptr, &problem));
    QVERIFY2(!error.contains(QStringLiteral("remove it")), qPrintable(error));
    QCOMPARE(problem, files::Problem::NoPermission);

    StderrCapture stderrText;
    storage::StatisticsKeeper keeper(path);
    keeper.keep(addGame);
    QTRY_VERIFY_WITH_TIMEOUT(!keeper.problemText().isEmpty(), 10000);
    const QString russian = keeper.problemText();
    QVERIFY2(russian.startsWith(QStringLiteral("нет права записи в ")), qPrintable(russian));
    QVERIFY(i18n::setLanguage(i18n::kEnglish));
    const QString english = keeper.problemText();
    QVERIFY(i18n::setLanguage(i18n::kRussian));
    QVERIFY2(!english.contains(QRegularExpression(QStringLiteral("[а-яё]"))), qPrintable(english));
    QVERIFY2(english.contains(path), qPrintable(english));
    QVERIFY2(!stderrText.text().contains(QStringLiteral("remove it")),
             qPrintable(stderrText.text()));
}

QTEST_GUILESS_MAIN(TestStatisticsKeeper)
#include "test_statistics_keeper.moc"
