// The game binary finds its movies and sounds wherever it is started from:
// under the start-up directory first, then in assets/ next to it (the build
// tree), then in the installed share directory found from its own place.
// Started from the desktop menu ("--desktop") it runs in a directory of its own
// under the user's state directory, and re-skin folders are looked for there.
// Checked through "zorban --media", which runs without a display.
#include "media_files.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kBinary = QStringLiteral(ZORBAN_BINARY);
const QString kSourceAssets = QStringLiteral(ZORBAN_SOURCE_DIR "/assets");

struct Report {
    int exitCode = -1;
    QHash<QString, QString> pathOf; // media name -> path, or "missing"
    QStringList names;              // in the order printed
    QString errors;                 // stderr
    QByteArray out;                 // stdout as written
};

QProcessEnvironment environmentWithoutDisplay() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    return env;
}

// Runs "binary --media" and the given options in the given working directory
// (empty: the current one) with no display at all.
Report mediaReport(const QString& binary, const QString& workingDirectory,
                   const QProcessEnvironment& env = environmentWithoutDisplay(),
                   const QStringList& options = {}) {
    QProcess process;
    process.setProcessEnvironment(env);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(binary, QStringList{QStringLiteral("--media")} + options);
    Report report;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return report;
    report.exitCode = process.exitCode();
    report.errors = QString::fromLocal8Bit(process.readAllStandardError());
    report.out = process.readAllStandardOutput();
    const QString out = QString::fromUtf8(report.out);
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        report.names << line.left(tab);
        report.pathOf.insert(line.left(tab), tab < 0 ? QString() : line.mid(tab + 1));
    }
    return report;
}

bool copyTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = QDir(to).filePath(QDir(from).relativeFilePath(source));
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(source, target))
            return false;
    }
    return true;
}

bool writeFile(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}

QStringList everyMediaFile() {
    return media::allMovies() + media::allSounds();
}

} // namespace

class TestInstalledMedia : public QObject {
    Q_OBJECT

  private slots:
    void buildTreeBinaryFindsItsAssetsFromAnyDirectory();
    void startUpDirectoryComesFirst();
    void whatTheGameRefusesIsReportedRefused();
    void startUpDirectoryNamedInAnotherCodePage();
    void installedTreeIsFoundWhereverItIsMoved();
    void desktopStartUsesTheStateDirectory_data();
    void desktopStartUsesTheStateDirectory();
    void signalsEndTheGameCleanly_data();
    void signalsEndTheGameCleanly();
    void commandLineTheGameCannotStartWith_data();
    void commandLineTheGameCannotStartWith();
};

// SIGTERM, SIGINT and SIGHUP end the game as its window's closing does (its
// statistics kept, the exit clean), twice in a row as harmless as once.
void TestInstalledMedia::signalsEndTheGameCleanly_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void TestInstalledMedia::signalsEndTheGameCleanly() {
    QFETCH(int, signal);
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    QProcess game;
    game.setProcessEnvironment(env);
    game.setWorkingDirectory(dir.path());
    game.start(QStringLiteral(ZORBAN_BINARY), {QStringLiteral("--mute")});
    QVERIFY(game.waitForStarted());
    // Once the log is claimed, the window is up.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(dir.filePath(QStringLiteral("log.txt.lock"))),
                             10000);
    ::kill(pid_t(game.processId()), signal);
    ::kill(pid_t(game.processId()), signal);
    QVERIFY(game.waitForFinished(10000));
    QCOMPARE(game.exitStatus(), QProcess::NormalExit);
    QCOMPARE(game.exitCode(), 0);
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("log.txt.lock"))));
}

// A display that cannot be opened and a language the game does not speak end
// the program with a clear message and exit code 1, never with a crash.
void TestInstalledMedia::commandLineTheGameCannotStartWith_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("display"); // DISPLAY, with no other platform given
    QTest::addColumn<QString>("said");
    const QString noDisplay = QStringLiteral("zorban: no display found (");
    QTest::newRow("a platform Qt lacks")
        << QStringList{QStringLiteral("-platform"), QStringLiteral("nosuchplatform")}
        << QStringLiteral(":0") << noDisplay;
    QTest::newRow("a display with no server")
        << QStringList{} << QStringLiteral(":27431") << noDisplay;
    for (const char* language : {"", "xx"})
        QTest::newRow(qPrintable(QStringLiteral("--lang \"%1\"").arg(language)))
            << QStringList{QStringLiteral("--lang"), QString::fromLatin1(language)}
            << QStringLiteral(":0")
            << QStringLiteral("zorban: --lang takes ru or en, not \"%1\"")
                   .arg(QString::fromLatin1(language));
}

void TestInstalledMedia::commandLineTheGameCannotStartWith() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, display);
    QFETCH(QString, said);
    QTemporaryDir dir;
    QProcessEnvironment env = environmentWithoutDisplay();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    QProcess game;
    game.setProcessEnvironment(env);
    game.setWorkingDirectory(dir.path());
    game.start(kBinary, arguments);
    QVERIFY(game.waitForFinished(30000));
    const QString errors = QString::fromLocal8Bit(game.readAllStandardError());
    QCOMPARE(game.exitStatus(), QProcess::NormalExit);
    QCOMPARE(game.exitCode(), 1);
    QVERIFY2(errors.contains(said), qPrintable(errors));
    QCOMPARE(errors.count(QStringLiteral("zorban:")), 1);
}

void TestInstalledMedia::buildTreeBinaryFindsItsAssetsFromAnyDirectory() {
    QTemporaryDir elsewhere;
    QVERIFY(elsewhere.isValid());
    const Report report = mediaReport(kBinary, elsewhere.path());
    QCOMPARE(report.exitCode, 0);
    QCOMPARE(report.names, everyMediaFile());
    const QString assets = QFileInfo(kBinary).absolutePath() + QStringLiteral("/assets/");
    for (const QString& name : everyMediaFile())
        QCOMPARE(report.pathOf.value(name), assets + name);
}

void TestInstalledMedia::startUpDirectoryComesFirst() {
    QTemporaryDir startUp;
    QVERIFY(startUp.isValid());
    const QString movie = media::kMovieBankOpen;
    const QString sound = media::soundFile(media::Sound::Declined);
    // A movie the game plays: one that is not JSON is refused.
    QVERIFY(QDir().mkpath(QFileInfo(QDir(startUp.path()).filePath(movie)).absolutePath()));
    QVERIFY(QFile::copy(QStringLiteral(ZORBAN_TEST_DATA "/movies/square.json"),
                        QDir(startUp.path()).filePath(movie)));
    QVERIFY(writeFile(QDir(startUp.path()).filePath(sound)));
    const Report report = mediaReport(kBinary, startUp.path());
    QCOMPARE(report.exitCode, 0);
    QCOMPARE(report.pathOf.value(movie), QDir(startUp.path()).filePath(movie));
    QCOMPARE(report.pathOf.value(sound), QDir(startUp.path()).filePath(sound));
    const QString assets = QFileInfo(kBinary).absolutePath() + QStringLiteral("/assets/");
    QCOMPARE(report.pathOf.value(media::kMovieBankClose), assets + media::kMovieBankClose);
}

// A directory, a FIFO or a link to a device under a media name is not played:
// it is reported "refused", not found, and the exit code says so.
void TestInstalledMedia::whatTheGameRefusesIsReportedRefused() {
    QTemporaryDir startUp;
    QVERIFY(startUp.isValid());
    const QDir dir(startUp.path());
    const QString fifo = media::soundFile(media::Sound::Banker);
    const QString folder = media::soundFile(media::Sound::Declined);
    const QString device = media::kMovieBankOpen;
    QVERIFY(dir.mkpath(QStringLiteral("music")) && dir.mkpath(QStringLiteral("flashes")));
    QVERIFY(::mkfifo(QFile::encodeName(dir.filePath(fifo)).constData(), 0600) == 0);
    QVERIFY(dir.mkpath(folder));
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), dir.filePath(device)));
    const Report report = mediaReport(kBinary, startUp.path());
    QCOMPARE(report.exitCode, 1);
    for (const QString& name : {fifo, folder, device})
        QCOMPARE(report.pathOf.value(name), QStringLiteral("refused"));
    QCOMPARE(report.errors.count(QStringLiteral("will not play")), 3);
    const QString assets = QFileInfo(kBinary).absolutePath() + QStringLiteral("/assets/");
    QCOMPARE(report.pathOf.value(media::kMovieBankClose), assets + media::kMovieBankClose);
}

// A start-up directory named in Windows-1251 (bytes that are not UTF-8): its
// re-skin file is found, and reported under the directory's own name.
void TestInstalledMedia::startUpDirectoryNamedInAnotherCodePage() {
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QByteArray folder = QFile::encodeName(scratch.path()) + "/\xc8\xe3\xf0\xfb";
    const QString sound = media::soundFile(media::Sound::Declined);
    const QByteArray reskin = folder + '/' + QFile::encodeName(sound);
    QVERIFY(::mkdir(folder.constData(), 0700) == 0);
    QVERIFY(::mkdir((folder + "/music").constData(), 0700) == 0);
    FILE* file = std::fopen(reskin.constData(), "w");
    QVERIFY(file && std::fputs("x", file) >= 0 && std::fclose(file) == 0);
    const QByteArray previous = QFile::encodeName(QDir::currentPath());
    QVERIFY(::chdir(folder.constData()) == 0);
    const Report report = mediaReport(kBinary, QString());
    QVERIFY(::chdir(previous.constData()) == 0);
    ::unlink(reskin.constData());
    ::rmdir((folder + "/music").constData());
    ::rmdir(folder.constData());
    QCOMPARE(report.exitCode, 0);
    QVERIFY2(report.out.contains(QFile::encodeName(sound) + '\t' + reskin + '\n'),
             report.out.constData());
}

// An installed tree (bin/zorban and share/zorban) put in a fresh place and run
// from another one: every file comes from the share directory; assets/ next to
// the binary, as in a build tree, still comes before it; a file missing from
// both is reported and the exit code says so.
void TestInstalledMedia::installedTreeIsFoundWhereverItIsMoved() {
    QTemporaryDir root;
    QTemporaryDir elsewhere;
    QVERIFY(root.isValid() && elsewhere.isValid());
    const QString bin = QDir(root.path()).filePath(QStringLiteral("bin"));
    const QString share =
        QDir::cleanPath(bin + QLatin1Char('/') + QStringLiteral(ZORBAN_DATA_FROM_BIN));
    QVERIFY(share.startsWith(root.path() + QLatin1Char('/')));
    QVERIFY(QDir().mkpath(bin));
    const QString binary = QDir(bin).filePath(QStringLiteral("zorban"));
    QVERIFY(QFile::copy(kBinary, binary));
    QVERIFY(
        copyTree(kSourceAssets + QStringLiteral("/flashes"), share + QStringLiteral("/flashes")));
    QVERIFY(copyTree(kSourceAssets + QStringLiteral("/music"), share + QStringLiteral("/music")));

    Report report = mediaReport(binary, elsewhere.path());
    QCOMPARE(report.exitCode, 0);
    QCOMPARE(report.names, everyMediaFile());
    for (const QString& name : everyMediaFile())
        QCOMPARE(report.pathOf.value(name), share + QLatin1Char('/') + name);

    const QString nextToBinary =
        bin + QStringLiteral("/assets/") + media::soundFile(media::Sound::Banker);
    QVERIFY(writeFile(nextToBinary));
    const QString gone = media::kMovieLidOpen;
    QVERIFY(QFile::remove(share + QLatin1Char('/') + gone));
    report = mediaReport(binary, elsewhere.path());
    QCOMPARE(report.exitCode, 1);
    QCOMPARE(report.pathOf.value(gone), QStringLiteral("missing"));
    QCOMPARE(report.pathOf.value(media::soundFile(media::Sound::Banker)), nextToBinary);
    QCOMPARE(report.pathOf.value(media::soundFile(media::Sound::Credits)),
             share + QLatin1Char('/') + media::soundFile(media::Sound::Credits));
}

void TestInstalledMedia::desktopStartUsesTheStateDirectory_data() {
    QTest::addColumn<bool>("stateHomeSet");
    QTest::addColumn<QString>("stateHome");     // "ROOT" stands for the scratch directory
    QTest::addColumn<QString>("gameDirectory"); // under ROOT; empty: it stays in ROOT/work

    const QString byDefault = QStringLiteral("home/.local/state/zorban");
    QTest::newRow("absolute") << true << QStringLiteral("ROOT/state")
                              << QStringLiteral("state/zorban");
    QTest::newRow("unset") << false << QString() << byDefault;
    QTest::newRow("empty") << true << QString() << byDefault;
    QTest::newRow("relative, ignored") << true << QStringLiteral("state") << byDefault;
    QTest::newRow("cannot be created")
        << true << QStringLiteral("ROOT/plain-file/state") << QString();
}

// The first start creates the directory, private to the user; from then on the
// re-skin folders in it are used, and those of the directory the game was
// started in are not. When the directory cannot be made, the game says so once
// and stays where it was started.
void TestInstalledMedia::desktopStartUsesTheStateDirectory() {
    QFETCH(bool, stateHomeSet);
    QFETCH(QString, stateHome);
    QFETCH(QString, gameDirectory);
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QDir root(scratch.path());
    const QString work = root.filePath(QStringLiteral("work"));
    QVERIFY(root.mkpath(QStringLiteral("home")) && root.mkpath(QStringLiteral("work")));
    QVERIFY(writeFile(root.filePath(QStringLiteral("plain-file"))));
    const QString sound = media::soundFile(media::Sound::Declined);
    QVERIFY(writeFile(QDir(work).filePath(sound)));

    QProcessEnvironment env = environmentWithoutDisplay();
    env.insert(QStringLiteral("HOME"), root.filePath(QStringLiteral("home")));
    env.remove(QStringLiteral("XDG_STATE_HOME"));
    if (stateHomeSet)
        env.insert(QStringLiteral("XDG_STATE_HOME"),
                   stateHome.replace(QStringLiteral("ROOT"), root.path()));
    const QStringList desktop{QStringLiteral("--desktop")};
    const QString bundled = QFileInfo(kBinary).absolutePath() + QStringLiteral("/assets/") + sound;
    const QString cannotUse = QStringLiteral("zorban: cannot use ");

    Report report = mediaReport(kBinary, work, env, desktop);
    QCOMPARE(report.exitCode, 0);
    if (gameDirectory.isEmpty()) {
        QCOMPARE(report.errors.count(cannotUse), 1);
        QCOMPARE(report.pathOf.value(sound), QDir(work).filePath(sound));
        return;
    }
    QVERIFY2(!report.errors.contains(cannotUse), qPrintable(report.errors));
    const QFileInfo created(root.filePath(gameDirectory));
    QVERIFY(created.isDir());
    QCOMPARE(created.permissions() & ~(QFile::ReadUser | QFile::ReadOwner | QFile::WriteUser |
                                       QFile::WriteOwner | QFile::ExeUser | QFile::ExeOwner),
             QFile::Permissions());
    QCOMPARE(report.pathOf.value(sound), bundled);

    const QString reskinned = QDir(created.filePath()).filePath(sound);
    QVERIFY(writeFile(reskinned));
    report = mediaReport(kBinary, work, env, desktop);
    QCOMPARE(report.exitCode, 0);
    QCOMPARE(report.pathOf.value(sound), reskinned);
}

QTEST_GUILESS_MAIN(TestInstalledMedia)
#include "test_installed_media.moc"
