// Whole seeded games played step by step, each step written down as the player
// sees and hears it: the phase, the sounds started, every control that changed
// (shown or hidden, enabled, its text, its place, its movie), and at the end
// every sound with whether it loops and the log's bytes. The record must match the
// one kept in tests/data/golden/ to the byte; ZORBAN_GOLDEN_RECORD=1 writes it
// anew instead (for a change of behaviour that is meant).
#include "game_harness.h"
#include "language.h"
#include "media_files.h"
#include "movie_widget.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QtTest>

namespace {

// From "Начать игру": one tick before the first entry, then one per entry.
constexpr int kRevealTicks = 23;
const QString kGoldenDir = QStringLiteral(ZORBAN_SOURCE_DIR "/tests/data/golden/");

// How a scripted player plays one game.
struct Script {
    QString name;
    int ownCase = 21;
    // Board entries shown before the own case is chosen (22: the whole board).
    int revealTicksBeforeChoosing = kRevealTicks;
    // The banker's exchange draws at each offer, in order.
    std::vector<std::vector<float>> exchangeDraws;
    QString answers; // 'y' or 'n' for each offer that waits for an answer
    std::vector<int> swapPicks;
    QStringList missingSounds;
    // Cases opened in this order, skipping the own case and opened ones.
    std::vector<int> openingOrder = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                                     11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21};
};

QString phaseName(GameWindow::Phase phase) {
    switch (phase) {
    case GameWindow::Phase::Loaded:
        return QStringLiteral("loaded");
    case GameWindow::Phase::ChoosingOwnCase:
        return QStringLiteral("choosing own case");
    case GameWindow::Phase::WaitingForClick:
        return QStringLiteral("waiting for a click");
    case GameWindow::Phase::Suspense:
        return QStringLiteral("suspense");
    case GameWindow::Phase::OfferPending:
        return QStringLiteral("offer pending");
    case GameWindow::Phase::OfferShown:
        return QStringLiteral("offer shown");
    case GameWindow::Phase::ExchangePick:
        return QStringLiteral("exchange pick");
    case GameWindow::Phase::EndOfGame:
        return QStringLiteral("end of game");
    case GameWindow::Phase::GameOver:
        return QStringLiteral("game over");
    }
    return QStringLiteral("?");
}

// Every control of the window under a name that says what it is.
QList<QPair<QString, QWidget*>> namedControls(GameWindow* w) {
    QList<QPair<QString, QWidget*>> controls;
    auto add = [&controls](const QString& name, QWidget* widget) {
        controls.append({name, widget});
    };
    for (int i = 0; i < game::kCaseCount; ++i) {
        add(QStringLiteral("casePlates[%1]").arg(i), w->controls().casePlates[i]);
        add(QStringLiteral("caseBriefcases[%1]").arg(i), w->controls().caseBriefcases[i]);
        add(QStringLiteral("caseAmounts[%1]").arg(i), w->controls().caseAmounts[i]);
        add(QStringLiteral("caseLids[%1]").arg(i), w->controls().caseLids[i]);
    }
    for (int rank = 0; rank < game::kCaseCount; ++rank) {
        add(QStringLiteral("boardAmounts[%1]").arg(rank), w->controls().boardAmounts[rank]);
        add(QStringLiteral("boardPlates[%1]").arg(rank), w->controls().boardPlates[rank]);
    }
    for (int row = 0; row < 5; ++row) {
        add(QStringLiteral("historyAmounts[%1]").arg(row), w->controls().historyAmounts[row]);
        add(QStringLiteral("historyPlates[%1]").arg(row), w->controls().historyPlates[row]);
    }
    add(QStringLiteral("historyTitle"), w->controls().historyTitle);
    add(QStringLiteral("historyCover"), w->controls().historyCover);
    add(QStringLiteral("offerAmount"), w->controls().offerAmount);
    add(QStringLiteral("offerPanel"), w->controls().offerPanel);
    add(QStringLiteral("acceptButton"), w->controls().acceptButton);
    add(QStringLiteral("declineButton"), w->controls().declineButton);
    add(QStringLiteral("counterCaption"), w->controls().counterCaption);
    add(QStringLiteral("counterNumber"), w->controls().counterNumber);
    add(QStringLiteral("phoneGlyph"), w->controls().phoneGlyph);
    add(QStringLiteral("captionFrame"), w->controls().captionFrame);
    add(QStringLiteral("numberFrame"), w->controls().numberFrame);
    add(QStringLiteral("phoneFrame"), w->controls().phoneFrame);
    add(QStringLiteral("winningsTitle"), w->controls().winningsTitle);
    add(QStringLiteral("winningsAmount"), w->controls().winningsAmount);
    add(QStringLiteral("winningsPanel"), w->controls().winningsPanel);
    add(QStringLiteral("startButton"), w->controls().startButton);
    add(QStringLiteral("newGameButton"), w->controls().newGameButton);
    add(QStringLiteral("logo"), w->controls().logo);
    return controls;
}

QString describe(QWidget* widget) {
    QString text = widget->isHidden() ? QStringLiteral("hidden") : QStringLiteral("shown");
    if (!widget->isEnabled())
        text += QStringLiteral(" disabled");
    text += QStringLiteral(" at %1,%2").arg(widget->x()).arg(widget->y());
    if (auto* label = qobject_cast<QLabel*>(widget))
        text += QStringLiteral(" \"%1\"").arg(label->text());
    else if (auto* button = qobject_cast<QPushButton*>(widget))
        text += QStringLiteral(" \"%1\"").arg(button->text());
    else if (auto* movie = qobject_cast<MovieWidget*>(widget))
        text += QStringLiteral(" movie %1").arg(QFileInfo(movie->file()).fileName());
    return text;
}

QString escaped(const QByteArray& bytes) {
    QString text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\n')
            text += QStringLiteral("\\n\n");
        else if (byte >= 0x20 && byte < 0x7f && byte != '\\')
            text += QLatin1Char(c);
        else
            text += QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
    }
    return text;
}

// Writes down a game step by step: what changed since the step before.
class Recorder {
  public:
    explicit Recorder(GameHarness& h) : h_(h) {}

    void step(const QString& what) {
        text_ += QStringLiteral("== %1\n").arg(what);
        GameWindow* w = h_.w();
        const QString phase = phaseName(w->phase());
        if (phase != phase_)
            text_ += QStringLiteral("phase %1\n").arg(phase);
        phase_ = phase;
        const QStringList sounds = h_.soundsSince(soundsSeen_);
        for (const QString& sound : sounds)
            text_ += QStringLiteral("sound %1\n").arg(sound);
        soundsSeen_ += int(sounds.size());
        for (const auto& [name, widget] : namedControls(w)) {
            const QString now = describe(widget);
            if (seen_.value(name) != now)
                text_ += QStringLiteral("%1 %2\n").arg(name, now);
            seen_[name] = now;
        }
        if (i18n::currentLanguage() != i18n::kRussian) {
            for (const QString& shown : h_.notEnglishTexts())
                untranslated_ << QStringLiteral("%1: %2").arg(what, shown);
        }
    }

    // Texts in Russian seen on the screen while another language was spoken.
    [[nodiscard]] const QStringList& untranslated() const { return untranslated_; }

    QString finish() {
        text_ += QStringLiteral("== sounds, looping or once\n");
        const QStringList sounds = h_.soundsSince(0);
        for (int i = 0; i < sounds.size(); ++i)
            text_ += QStringLiteral("%1 %2\n").arg(sounds[i], h_.sound()->loopings()[i]
                                                                  ? QStringLiteral("loop")
                                                                  : QStringLiteral("once"));
        text_ += QStringLiteral("== log\n") + escaped(h_.logBytes()) + QLatin1Char('\n');
        return text_;
    }

  private:
    GameHarness& h_;
    QString text_;
    QString phase_;
    int soundsSeen_ = 0;
    QMap<QString, QString> seen_;
    QStringList untranslated_;
};

// Plays the script to the end screen and returns the record, or an empty
// string when the game got stuck; untranslated gets the Russian texts seen
// while another language was spoken. At the quick pace the sounds the game
// waits for are cut short by its own timer, not ended.
QString play(const Script& script, QStringList* untranslated = nullptr, bool quick = false) {
    GameHarness h(wholeGameDraws(script.exchangeDraws));
    h.app->game().setQuickPace(quick);
    game::StepTimer& soundCut = h.app->game().timer(game::Game::Step::SoundCut);
    QStringList missing;
    for (const QString& sound : script.missingSounds)
        missing << media::locate(QDir::currentPath(), sound);
    h.sound()->setMissing(missing);
    Recorder record(h);
    GameWindow* w = h.w();
    record.step(QStringLiteral("loaded"));
    int revealTicks = 0;
    int answer = 0;
    size_t pick = 0;
    auto endSound = [&] {
        if (soundCut.isRunning()) {
            soundCut.fireNow();
            record.step(QStringLiteral("sound cut short"));
        } else if (h.sound()->isPlaying()) {
            h.endSound();
            record.step(QStringLiteral("sound ended"));
        }
        // A missing sound's end comes from the event loop; timers are left alone.
        QCoreApplication::sendPostedEvents();
    };
    auto clickCase = [&](int i) {
        if (GameHarness::click(w->controls().casePlates[i]))
            record.step(QStringLiteral("click case %1").arg(i));
    };
    for (int step = 0; step < 1000; ++step) {
        switch (w->phase()) {
        case GameWindow::Phase::Loaded:
            QTest::mouseClick(w->controls().startButton, Qt::LeftButton);
            record.step(QStringLiteral("click start"));
            break;
        case GameWindow::Phase::ChoosingOwnCase:
            if (revealTicks < script.revealTicksBeforeChoosing &&
                fireIfRunning(w->game(), game::Game::Step::BoardReveal)) {
                ++revealTicks;
                record.step(QStringLiteral("board reveal tick"));
            } else {
                clickCase(script.ownCase);
            }
            break;
        case GameWindow::Phase::WaitingForClick:
            // The reveal goes on behind the first openings.
            if (revealTicks < kRevealTicks &&
                fireIfRunning(w->game(), game::Game::Step::BoardReveal)) {
                ++revealTicks;
                record.step(QStringLiteral("board reveal tick"));
                break;
            }
            for (int i : script.openingOrder) {
                if (i != h.app->state().ownCase && !w->controls().casePlates[i]->isHidden()) {
                    clickCase(i);
                    break;
                }
            }
            break;
        case GameWindow::Phase::Suspense:
        case GameWindow::Phase::OfferPending:
            endSound();
            break;
        case GameWindow::Phase::OfferShown:
            if (fireIfRunning(w->game(), game::Game::Step::HistoryReveal)) {
                record.step(QStringLiteral("history reveal tick"));
            } else if (answer < script.answers.size()) {
                const bool yes = script.answers[answer++] == QLatin1Char('y');
                QTest::mouseClick(yes ? w->controls().acceptButton : w->controls().declineButton,
                                  Qt::LeftButton);
                record.step(yes ? QStringLiteral("click ДА") : QStringLiteral("click НЕТ"));
            } else {
                return {};
            }
            break;
        case GameWindow::Phase::ExchangePick:
            if (pick >= script.swapPicks.size())
                return {};
            clickCase(script.swapPicks[pick++]);
            break;
        case GameWindow::Phase::EndOfGame:
            endSound();
            if (fireIfRunning(w->game(), game::Game::Step::OwnCaseWait))
                record.step(QStringLiteral("own case wait tick"));
            else if (fireIfRunning(w->game(), game::Game::Step::WinningsWait))
                record.step(QStringLiteral("winnings wait tick"));
            break;
        case GameWindow::Phase::GameOver:
            if (w->game().timer(game::Game::Step::WinningsWait).isRunning())
                break;
            endSound();
            if (untranslated)
                *untranslated = record.untranslated();
            return record.finish();
        }
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(Script)

class TestGoldenGames final : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    void gameMatchesItsRecord_data();
    void gameMatchesItsRecord();
    void logIsTheSameInEnglishAndQuick_data();
    void logIsTheSameInEnglishAndQuick();
};

// The recorded games, by the names of their rows.
QList<QPair<const char*, Script>> recordedGames() {
    QList<QPair<const char*, Script>> games;
    const std::vector<float> none;
    const std::vector<float> twentyNo = {0.25f};
    const std::vector<float> twentyYes = {0.75f};

    Script declines;
    declines.name = QStringLiteral("declines-every-offer");
    declines.exchangeDraws = {none, none, kNoExchange, kNoExchange, kNoExchange, twentyNo};
    declines.answers = QStringLiteral("nnnnnn");
    games.append({"declines", declines});

    Script money;
    money.name = QStringLiteral("money-then-exchange-offers");
    money.ownCase = 3;
    money.exchangeDraws = {none, none, kYesExchange, kNoExchange, kNoExchange, twentyYes};
    money.answers = QStringLiteral("ynyn");
    money.openingOrder = {21, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11,
                          10, 9,  8,  7,  6,  5,  4,  2,  1,  0};
    games.append({"money", money});

    Script exchanges;
    exchanges.name = QStringLiteral("exchanges-below-and-at-twenty");
    exchanges.ownCase = 10;
    exchanges.exchangeDraws = {none, none, kYesExchange, kNoExchange, kNoExchange, twentyYes};
    exchanges.answers = QStringLiteral("nnynny");
    exchanges.swapPicks = {21};
    games.append({"exchanges", exchanges});

    Script own;
    own.name = QStringLiteral("exchange-picks-the-own-case");
    own.exchangeDraws = {none, none, kYesExchange, kNoExchange, kNoExchange, twentyNo};
    own.answers = QStringLiteral("nnynnn");
    own.swapPicks = {21};
    games.append({"own case picked", own});

    Script cutShort;
    cutShort.name = QStringLiteral("reveal-cut-short-sounds-missing");
    cutShort.ownCase = 0;
    cutShort.revealTicksBeforeChoosing = 9;
    cutShort.missingSounds = {
        media::soundFile(media::Sound::BoardReveal), media::soundFile(media::Sound::OwnCase),
        media::soundFile(media::Sound::Suspense), media::soundFile(media::Sound::Winnings)};
    cutShort.exchangeDraws = {none, none, kNoExchange, kNoExchange, kNoExchange, twentyNo};
    cutShort.answers = QStringLiteral("nnnnnn");
    games.append({"reveal cut short", cutShort});
    return games;
}

void TestGoldenGames::gameMatchesItsRecord_data() {
    QTest::addColumn<Script>("script");
    for (const auto& [row, script] : recordedGames())
        QTest::newRow(row) << script;
}

void TestGoldenGames::gameMatchesItsRecord() {
    QFETCH(Script, script);
    const QString record = play(script);
    QVERIFY2(!record.isEmpty(), "the game did not reach its end screen");
    const QString path = kGoldenDir + script.name + QStringLiteral(".trace");
    if (qEnvironmentVariableIntValue("ZORBAN_GOLDEN_RECORD") == 1) {
        QDir().mkpath(kGoldenDir);
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(record.toUtf8());
        QSKIP("recorded anew");
    }
    QFile golden(path);
    QVERIFY2(golden.open(QIODevice::ReadOnly), qPrintable(path));
    const QStringList expected = QString::fromUtf8(golden.readAll()).split(QLatin1Char('\n'));
    const QStringList actual = record.split(QLatin1Char('\n'));
    for (int line = 0; line < std::min(expected.size(), actual.size()); ++line) {
        if (expected[line] != actual[line])
            QFAIL(qPrintable(QStringLiteral("line %1 differs:\n  kept: %2\n  now:  %3")
                                 .arg(line + 1)
                                 .arg(expected[line], actual[line])));
    }
    QCOMPARE(actual.size(), expected.size());
}

void TestGoldenGames::logIsTheSameInEnglishAndQuick_data() {
    QTest::addColumn<Script>("script");
    QTest::addColumn<bool>("english");
    QTest::addColumn<bool>("quick");
    for (const auto& [row, script] : recordedGames()) {
        QTest::addRow("%s, English", row) << script << true << false;
        QTest::addRow("%s, quick", row) << script << false << true;
    }
}

// The log is written in Russian whatever the language the game speaks: a game
// played in English writes the very bytes of its record's log, and shows no
// Russian text on the way (the title is a picture). At the quick pace the
// game writes the same bytes too.
void TestGoldenGames::logIsTheSameInEnglishAndQuick() {
    QFETCH(Script, script);
    QFETCH(bool, english);
    QFETCH(bool, quick);
    const auto logOf = [](const QString& record) {
        return record.mid(record.indexOf(QStringLiteral("\n== log\n")));
    };
    QVERIFY(i18n::setLanguage(english ? i18n::kEnglish : i18n::kRussian));
    QStringList untranslated;
    const QString record = play(script, &untranslated, quick);
    QVERIFY(i18n::setLanguage(i18n::kRussian));
    if (quick)
        QVERIFY2(record.contains(QStringLiteral("== sound cut short")), "no sound was cut short");
    QVERIFY2(!record.isEmpty(), "the game did not reach its end screen");
    QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QLatin1Char('\n'))));
    QFile golden(kGoldenDir + script.name + QStringLiteral(".trace"));
    QVERIFY(golden.open(QIODevice::ReadOnly));
    const QString kept = logOf(QString::fromUtf8(golden.readAll()));
    QVERIFY(kept.size() > 10);
    QCOMPARE(logOf(record), kept);
}

QTEST_MAIN(TestGoldenGames)
#include "test_golden_games.moc"
