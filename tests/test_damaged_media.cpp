// Whole games with damaged movie and sound files, played with the sound engine
// (silent output) and the real movie widgets. However the files are damaged (missing,
// empty, cut short, filled with noise), every game is played to "Новая игра",
// writes the same log as a game with sound media, and each damaged file is named
// exactly once on stderr.
#include "banker.h"
#include "credits_window.h"
#include "game_app.h"
#include "game_harness.h"
#include "game_window.h"
#include "media_files.h"
#include "offer_format.h"
#include "sound_engine.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

namespace {

enum class Damage { Missing, Empty, CutShort, Noise };

const char* damageName(Damage damage) {
    switch (damage) {
    case Damage::Missing:
        return "missing";
    case Damage::Empty:
        return "empty";
    case Damage::CutShort:
        return "cut short";
    case Damage::Noise:
        return "noise";
    }
    return "";
}

// Every sound of the test games is this short clip, so that a game with real
// sounds goes by in a few seconds.
const QString kShortClip = QStringLiteral(ZORBAN_TEST_DATA "/blip-40ms.mp3");

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The game's own reports ("zorban: ..."); everything else goes on as usual.
QStringList g_reports;
QtMessageHandler g_previousHandler = nullptr;

void collectReports(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String("zorban: ")))
        g_reports << text;
    else if (g_previousHandler)
        g_previousHandler(type, context, text);
}

// A player of the sound engine, remembering every file it was given.
class RecordingSoundPlayer final : public SoundPlayer {
  public:
    RecordingSoundPlayer(std::unique_ptr<SoundPlayer> real, QStringList* played)
        : real_(std::move(real)), played_(played) {
        connect(real_.get(), &SoundPlayer::clipEnded, this, &SoundPlayer::clipEnded);
    }
    void start(const QString& path) override {
        played_->append(path);
        real_->start(path);
    }
    [[nodiscard]] QString file() const override { return real_->file(); }
    void setLooping(bool looping) override { real_->setLooping(looping); }
    [[nodiscard]] bool isLooping() const override { return real_->isLooping(); }
    [[nodiscard]] double position() const override { return real_->position(); }
    [[nodiscard]] double length() const override { return real_->length(); }
    void resume() override { real_->resume(); }
    void stop() override { real_->stop(); }

  private:
    std::unique_ptr<SoundPlayer> real_;
    QStringList* played_;
};

media::SoundEngine& soundEngine() {
    static media::SoundEngine engine(media::SoundEngine::Output::Silent);
    return engine;
}

// A start-up directory holding the game's movies and sounds, some of them damaged.
class MediaFolder {
  public:
    explicit MediaFolder(const QHash<QString, Damage>& damaged) {
        QDir root(dir_.path());
        root.mkpath(QStringLiteral("flashes"));
        root.mkpath(QStringLiteral("music"));
        const QByteArray clip = readFile(kShortClip);
        for (const QString& movie : media::allMovies())
            write(movie, readFile(QStringLiteral(ZORBAN_SOURCE_DIR "/assets/") + movie), damaged);
        for (const QString& sound : media::allSounds())
            write(sound, clip, damaged);
    }

    [[nodiscard]] QString path() const { return dir_.path(); }
    [[nodiscard]] QString filePath(const QString& relative) const {
        return QDir(dir_.path()).filePath(relative);
    }

  private:
    void write(const QString& relative, const QByteArray& good,
               const QHash<QString, Damage>& damaged) {
        QByteArray bytes = good;
        const auto found = damaged.find(relative);
        if (found != damaged.end()) {
            switch (*found) {
            case Damage::Missing:
                return;
            case Damage::Empty:
                bytes.clear();
                break;
            case Damage::CutShort:
                bytes.truncate(bytes.size() / 2 + 7);
                break;
            case Damage::Noise: {
                QRandomGenerator random(qHash(relative));
                for (char& byte : bytes)
                    byte = static_cast<char>(random.bounded(256));
                break;
            }
            }
        }
        QFile file(filePath(relative));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }

    QTemporaryDir dir_;
};

// What one game left behind.
struct GameRecord {
    bool finished = false;
    QByteArray log;
    QStringList played;
    QStringList reports;
};

// Draws of a game that goes through every offer, declines the money, and takes
// the exchange offered at the last offer (case i holds rank i).
std::vector<float> scriptedDraws() {
    return wholeGameDraws({{}, {}, kNoExchange, kNoExchange, kNoExchange, {0.75f}});
}

// Plays the scripted game in the folder with the sound engine: the player
// looks at the credits first, keeps case 21 and opens the others in order,
// answering "НЕТ" to money and "ДА" to the exchange. The window's staged steps
// are ticked at once; the waits for sounds to end are real.
GameRecord playScriptedGame(const MediaFolder& folder) {
    GameRecord record;
    const QString previousDir = QDir::currentPath();
    QDir::setCurrent(folder.path());
    g_reports.clear();
    {
        GameApp app(
            [&record] {
                return std::make_unique<RecordingSoundPlayer>(soundEngine().createPlayer(),
                                                              &record.played);
            },
            std::make_unique<game::ReplayRandom>(scriptedDraws()));
        app.start();
        GameWindow* w = app.window();
        // The credits' music starts (or is found damaged) before they are closed.
        if (GameHarness::click(w->controls().logo) && app.credits()) {
            QTest::qWait(500);
            app.credits()->close();
        }
        const bool started = GameHarness::click(w->controls().startButton);

        QElapsedTimer clock;
        clock.start();
        while (started && w->phase() != GameWindow::Phase::GameOver && clock.elapsed() < 60000) {
            fireRunningSteps(w->game());
            switch (w->phase()) {
            case GameWindow::Phase::ChoosingOwnCase:
                // Once the whole board is shown, as a player would. A click
                // that does not take is tried again on the next round.
                if (!w->game().timer(game::Game::Step::BoardReveal).isRunning())
                    static_cast<void>(GameHarness::click(w->controls().casePlates[21]));
                break;
            case GameWindow::Phase::WaitingForClick:
                for (int i = 0; i < game::kCaseCount; ++i) {
                    if (i != w->state().ownCase && GameHarness::click(w->controls().casePlates[i]))
                        break;
                }
                break;
            case GameWindow::Phase::OfferShown:
                static_cast<void>(
                    GameHarness::click(w->controls().offerAmount->text() == game::kExchangeOffer
                                           ? w->controls().acceptButton
                                           : w->controls().declineButton));
                break;
            default:
                break;
            }
            // The real sounds end by themselves.
            QTest::qWait(2);
        }
        record.finished =
            w->phase() == GameWindow::Phase::GameOver && w->controls().newGameButton->isVisible();
        // The end screen's sound may still be decoding on the engine's thread; a
        // damaged file is reported when it is done, before the clip gets a length.
        clock.restart();
        while (record.finished && w->soundPlayer()->length() <= 0 && clock.elapsed() < 10000)
            QTest::qWait(2);
    }
    record.log = readFile(folder.filePath(QStringLiteral("log.txt")));
    record.reports = g_reports;
    QDir::setCurrent(previousDir);
    for (QString& path : record.played)
        path = path.section(QLatin1Char('/'), -2);
    return record;
}

QStringList allMedia() {
    return media::allMovies() + media::allSounds();
}

} // namespace

Q_DECLARE_METATYPE(Damage)

class TestDamagedMedia : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void everyFileDamaged_data();
    void everyFileDamaged();
    void oneFileDamaged_data();
    void oneFileDamaged();

  private:
    void checkGame(const QHash<QString, Damage>& damaged);

    QTemporaryDir noAssets_;
    GameRecord intact_;
};

void TestDamagedMedia::initTestCase() {
    QVERIFY(QFileInfo::exists(kShortClip));
    // Nothing falls back on the game's own copies of the files.
    media::setAssetDirectory(noAssets_.path());
    g_previousHandler = qInstallMessageHandler(collectReports);

    const MediaFolder folder({});
    intact_ = playScriptedGame(folder);
    QVERIFY(intact_.finished);
    QVERIFY2(intact_.reports.isEmpty(), qPrintable(intact_.reports.join('\n')));
    // The script plays every sound there is, so every damaged one is met.
    for (const QString& sound : media::allSounds())
        QVERIFY2(intact_.played.contains(sound), qPrintable(sound));
    // 21 opened cases, 6 offers and the own case, between the answers' lines.
    const QList<QByteArray> lines = intact_.log.split('\n');
    QCOMPARE(std::count_if(lines.begin(), lines.end(),
                           [](const QByteArray& line) { return line.trimmed().size() > 0; }),
             21 + 6 + 1);
}

void TestDamagedMedia::cleanupTestCase() {
    qInstallMessageHandler(g_previousHandler);
}

void TestDamagedMedia::checkGame(const QHash<QString, Damage>& damaged) {
    const MediaFolder folder(damaged);
    const GameRecord game = playScriptedGame(folder);
    QVERIFY(game.finished);
    QCOMPARE(game.log, intact_.log);
    for (auto it = damaged.begin(); it != damaged.end(); ++it) {
        const QString path = folder.filePath(it.key());
        const int naming = int(std::count_if(game.reports.begin(), game.reports.end(),
                                             [&](const QString& r) { return r.contains(path); }));
        QVERIFY2(naming == 1, qPrintable(QStringLiteral("%1 (%2) named %3 times in:\n%4")
                                             .arg(it.key(), damageName(*it))
                                             .arg(naming)
                                             .arg(game.reports.join('\n'))));
    }
    QVERIFY2(game.reports.size() == damaged.size(), qPrintable(game.reports.join('\n')));
}

void TestDamagedMedia::everyFileDamaged_data() {
    QTest::addColumn<Damage>("damage");
    for (Damage damage : {Damage::Missing, Damage::Empty, Damage::CutShort, Damage::Noise})
        QTest::newRow(damageName(damage)) << damage;
}

void TestDamagedMedia::everyFileDamaged() {
    QFETCH(Damage, damage);
    QHash<QString, Damage> damaged;
    for (const QString& file : allMedia())
        damaged.insert(file, damage);
    checkGame(damaged);
}

void TestDamagedMedia::oneFileDamaged_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<Damage>("damage");
    const Damage kinds[] = {Damage::Missing, Damage::Empty, Damage::CutShort, Damage::Noise};
    const QStringList files = allMedia();
    for (int i = 0; i < files.size(); ++i) {
        const Damage damage = kinds[i % 4];
        QTest::addRow("%s, %s", qPrintable(files[i]), damageName(damage)) << files[i] << damage;
    }
}

void TestDamagedMedia::oneFileDamaged() {
    QFETCH(QString, file);
    QFETCH(Damage, damage);
    checkGame({{file, damage}});
}

QTEST_MAIN(TestDamagedMedia)
#include "test_damaged_media.moc"
