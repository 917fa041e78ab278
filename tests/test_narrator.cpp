// What a screen reader is told through whole games, in both languages, played
// through the game class alone: the news of every step word for word and in
// order, the texts of the controls in each phase, the answers to the fact keys,
// and never the amount of a case still closed.
#include "draws.h"
#include "game.h"
#include "language.h"
#include "narrator.h"
#include "shown_texts.h"

#include <QtTest>

namespace {

using game::Phase;
using Step = game::Game::Step;

// One game with a narrator listening; timed steps fired and sounds ended by
// hand. Every utterance is checked against the cases still closed as it comes.
struct Listen {
    explicit Listen(std::vector<float> draws) : random(std::move(draws)) {
        g = std::make_unique<game::Game>(random, timers);
        g->setLogFile(QString(), QString());
        narrator = std::make_unique<a11y::Narrator>(*g);
        QObject::connect(narrator.get(), &a11y::Narrator::spoken, [this](const QString& text) {
            said << text;
            checkNoClosedAmount(text);
        });
        g->newGame();
    }

    // The news goes out once the step's events are handled.
    void settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    // Everything said since last asked.
    QStringList heard() {
        settle();
        return std::exchange(said, {});
    }
    void fire(Step step, int times = 1) {
        for (int i = 0; i < times; ++i)
            g->timer(step).fireNow();
    }
    void press(int caseIndex) {
        g->pressCase(caseIndex);
        settle();
        checkDescriptions();
    }
    // A case opened to its end: the suspense, then the amount's sound.
    void open(int caseIndex) {
        press(caseIndex);
        if (g->phase() == Phase::Suspense) {
            QCOMPARE(narrator->caseDescription(caseIndex),
                     QCoreApplication::translate("Accessibility", "закрыт"));
            g->cueEnded();
        }
        settle();
        checkDescriptions();
    }

    // "Чемодан N: ..." only for a case that is open.
    void checkNoClosedAmount(const QString& text) {
        for (int i = 0; i < game::kCaseCount; ++i) {
            if (!g->state().caseOpened[static_cast<size_t>(i)])
                QVERIFY2(!text.contains(narrator->caseName(i) + QLatin1Char(':')),
                         qPrintable(text));
        }
    }
    // A closed case is described without its amount.
    void checkDescriptions() {
        const auto tr = [](const char* text) {
            return QCoreApplication::translate("Accessibility", text);
        };
        for (int i = 0; i < game::kCaseCount; ++i) {
            if (g->state().caseOpened[static_cast<size_t>(i)])
                continue;
            QCOMPARE(narrator->caseDescription(i),
                     i == g->state().ownCase ? tr("ваш") : tr("закрыт"));
        }
    }

    game::ReplayRandom random;
    game::ManualTimerSource timers;
    std::unique_ptr<game::Game> g;
    std::unique_ptr<a11y::Narrator> narrator;
    QStringList said;
};

// The draws of a game in which case i holds the i-th amount, with a banker who
// is not the cautious one.
std::vector<float> identityGame() {
    std::vector<float> draws = identityGameDraws(1);
    draws.push_back(drawFor(0, 2));
    return draws;
}

} // namespace

class TestNarrator final : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void cleanup() { QVERIFY(i18n::setLanguage(i18n::kRussian)); }
    void wholeGame_data();
    void wholeGame();
    void controlsFollowWhatIsShown();
};

void TestNarrator::wholeGame_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("expected");
    // clang-format off
    QTest::newRow("ru") << i18n::kRussian << QStringList{
        QStringLiteral("Суммы в игре: одна сотая, одна десятая, 1, 5, 10, 50, 100, 500, 1000, 2500, 5000, 10000, 15000, 25000, 50000, 100000, 200000, 300000, 500000, 1 миллион, 1 миллион 500000, 3 миллиона."),
        QStringLiteral("Банк ещё ничего не предлагал."),
        QStringLiteral("Закрыты чемоданы: 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22."),
        QStringLiteral("Закрыты чемоданы: 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22."),
        QStringLiteral("Выберите свой чемодан."),
        QStringLiteral("Ваш чемодан 1. 6 чемоданов до предложения банка."),
        QStringLiteral("Чемодан 22: одна сотая. 5 чемоданов до предложения банка."),
        QStringLiteral("Чемодан 20: одна десятая. 4 чемодана до предложения банка."),
        QStringLiteral("Чемодан 19: 1. 3 чемодана до предложения банка."),
        QStringLiteral("Чемодан 13: 5. 2 чемодана до предложения банка."),
        QStringLiteral("Чемодан 12: 10. 1 чемодан до предложения банка."),
        QStringLiteral("Чемодан 5: 50."),
        QStringLiteral("Банк предлагает 44000."),
        QStringLiteral("Без сделки, играем дальше. 3 чемодана до предложения банка."),
        QStringLiteral("Чемодан 4: 100. 2 чемодана до предложения банка."),
        QStringLiteral("Чемодан 21: 500. 1 чемодан до предложения банка."),
        QStringLiteral("Чемодан 18: 1000."),
        QStringLiteral("Банк предлагает 119000."),
        QStringLiteral("Без сделки, играем дальше. 3 чемодана до предложения банка."),
        QStringLiteral("Чемодан 14: 2500. 2 чемодана до предложения банка."),
        QStringLiteral("Чемодан 11: 5000. 1 чемодан до предложения банка."),
        QStringLiteral("Чемодан 6: 10000."),
        QStringLiteral("Банк предлагает обмен."),
        QStringLiteral("Выберите чемодан для обмена."),
        QStringLiteral("Обмен: ваш чемодан теперь 7."),
        QStringLiteral("Чемодан 3: 15000. 2 чемодана до предложения банка."),
        QStringLiteral("Чемодан 17: 25000. 1 чемодан до предложения банка."),
        QStringLiteral("Чемодан 15: 50000."),
        QStringLiteral("Банк предлагает 412000."),
        QStringLiteral("Вы продали свой чемодан за 412000. 3 чемодана до предложения банка."),
        QStringLiteral("Чемодан 10: 100000. 2 чемодана до предложения банка."),
        QStringLiteral("Чемодан 2: 300000. 1 чемодан до предложения банка."),
        QStringLiteral("Чемодан 16: 500000."),
        QStringLiteral("Банк предлагает 950000. Отвечать не нужно."),
        QStringLiteral("Чемодан 9: 1 миллион. 1 чемодан до предложения банка."),
        QStringLiteral("Чемодан 8: 1 миллион 500000."),
        QStringLiteral("Банк предлагает 1 миллион 600000. Отвечать не нужно. Остался один чемодан, кроме вашего: 1."),
        QStringLiteral("Чемодан 1: 3 миллиона. Теперь откроется ваш чемодан 7."),
        QStringLiteral("Ваш чемодан 7: 200000."),
        QStringLiteral("Выигрыш: 412000."),
        QStringLiteral("Все суммы открыты."),
        QStringLiteral("Банк предлагал: 44000, 119000, обмен, 412000, 950000, 1 миллион 600000. Вы продали свой чемодан за 412000."),
        QStringLiteral("Все чемоданы открыты."),
        QStringLiteral("Все чемоданы открыты."),
    };
    QTest::newRow("en") << i18n::kEnglish << QStringList{
        QStringLiteral("Amounts in play: 0.01, 0.1, 1, 5, 10, 50, 100, 500, 1000, 2500, 5000, 10000, 15000, 25000, 50000, 100000, 200000, 300000, 500000, 1000000, 1500000, 3000000."),
        QStringLiteral("The bank has offered nothing yet."),
        QStringLiteral("Closed cases: 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22."),
        QStringLiteral("Closed cases: 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22."),
        QStringLiteral("Choose your case."),
        QStringLiteral("Your case 1. 6 cases left before the bank’s offer."),
        QStringLiteral("Case 22: 0.01. 5 cases left before the bank’s offer."),
        QStringLiteral("Case 20: 0.1. 4 cases left before the bank’s offer."),
        QStringLiteral("Case 19: 1. 3 cases left before the bank’s offer."),
        QStringLiteral("Case 13: 5. 2 cases left before the bank’s offer."),
        QStringLiteral("Case 12: 10. 1 case left before the bank’s offer."),
        QStringLiteral("Case 5: 50."),
        QStringLiteral("The bank offers 44000."),
        QStringLiteral("No deal, play on. 3 cases left before the bank’s offer."),
        QStringLiteral("Case 4: 100. 2 cases left before the bank’s offer."),
        QStringLiteral("Case 21: 500. 1 case left before the bank’s offer."),
        QStringLiteral("Case 18: 1000."),
        QStringLiteral("The bank offers 119000."),
        QStringLiteral("No deal, play on. 3 cases left before the bank’s offer."),
        QStringLiteral("Case 14: 2500. 2 cases left before the bank’s offer."),
        QStringLiteral("Case 11: 5000. 1 case left before the bank’s offer."),
        QStringLiteral("Case 6: 10000."),
        QStringLiteral("The bank offers a swap."),
        QStringLiteral("Choose the case you want instead."),
        QStringLiteral("Swap: your case is now 7."),
        QStringLiteral("Case 3: 15000. 2 cases left before the bank’s offer."),
        QStringLiteral("Case 17: 25000. 1 case left before the bank’s offer."),
        QStringLiteral("Case 15: 50000."),
        QStringLiteral("The bank offers 412000."),
        QStringLiteral("You sold your case for 412000. 3 cases left before the bank’s offer."),
        QStringLiteral("Case 10: 100000. 2 cases left before the bank’s offer."),
        QStringLiteral("Case 2: 300000. 1 case left before the bank’s offer."),
        QStringLiteral("Case 16: 500000."),
        QStringLiteral("The bank offers 950000. Nothing to answer."),
        QStringLiteral("Case 9: 1000000. 1 case left before the bank’s offer."),
        QStringLiteral("Case 8: 1500000."),
        QStringLiteral("The bank offers 1600000. Nothing to answer. One case left besides yours: 1."),
        QStringLiteral("Case 1: 3000000. Your case 7 opens now."),
        QStringLiteral("Your case 7 held 200000."),
        QStringLiteral("You win 412000."),
        QStringLiteral("Every amount is open."),
        QStringLiteral("The bank offered: 44000, 119000, swap, 412000, 950000, 1600000. You sold your case for 412000."),
        QStringLiteral("Every case is open."),
        QStringLiteral("Every case is open."),
    };
    // clang-format on
}

// A whole game: a round declined, the exchange taken at the third offer, the
// money at the fourth, the cases after it opened at once, the own case at the
// end; the fact keys before the start and at the end.
void TestNarrator::wholeGame() {
    QFETCH(QString, language);
    QFETCH(QStringList, expected);
    QVERIFY(i18n::setLanguage(language));
    Listen l(identityGame());
    QStringList heard;
    const auto facts = [&] {
        for (const a11y::Fact fact :
             {a11y::Fact::AmountsInPlay, a11y::Fact::Offers, a11y::Fact::ClosedCases})
            l.narrator->say(fact);
        l.narrator->say(a11y::Fact::LastNews);
        heard << l.heard();
    };
    facts();
    l.g->start();
    l.fire(Step::BoardReveal, game::kCaseCount + 1);
    heard << l.heard();
    l.press(21);
    heard << l.heard();
    const std::vector<int> rounds[] = {{0, 1, 2, 3, 4, 5}, {6, 7, 8}, {9, 10, 11}, {12, 13, 14}};
    const std::vector<float> exchange[] = {{}, {}, kYesExchange, kNoExchange};
    for (int r = 0; r < 4; ++r) {
        for (const int i : rounds[r]) {
            l.open(i);
            heard << l.heard();
        }
        l.random.append(offerDraws(exchange[r]));
        l.g->cueEnded();
        heard << l.heard();
        if (r == 2) {
            l.g->accept();
            heard << l.heard();
            l.press(16);
            heard << l.heard();
        } else if (r == 3) {
            l.g->accept();
        } else {
            l.g->decline();
        }
        heard << l.heard();
    }
    for (const int i : {15, 17, 18}) {
        l.open(i);
        heard << l.heard();
    }
    l.random.append(offerDraws(kNoExchange));
    l.g->cueEnded();
    heard << l.heard();
    for (const int i : {19, 20}) {
        l.open(i);
        heard << l.heard();
    }
    l.random.append(offerDraws({0.25f}));
    l.g->cueEnded();
    heard << l.heard();
    for (const int i : {0, 1, 16}) // opened already, and the own case: nothing to say
        l.press(i);
    heard << l.heard();
    l.open(21);
    heard << l.heard();
    QCOMPARE(l.g->phase(), Phase::EndOfGame);
    for (const Step step : {Step::OwnCaseWait, Step::WinningsWait}) {
        l.g->cueEnded();
        QVERIFY(l.g->timer(step).isRunning());
        l.fire(step);
        heard << l.heard();
    }
    QCOMPARE(l.g->phase(), Phase::GameOver);
    facts();
    QCOMPARE(heard.size(), expected.size());
    for (qsizetype i = 0; i < heard.size(); ++i)
        QCOMPARE(heard[i], expected[i]);
}

// What the controls read in each phase: empty exactly while the window does
// not show them.
void TestNarrator::controlsFollowWhatIsShown() {
    Listen l(identityGame());
    a11y::Narrator& n = *l.narrator;
    QCOMPARE(n.counterText(), QString());
    QCOMPARE(n.offerText(), QString());
    QCOMPARE(n.winningsText(), QString());
    QCOMPARE(n.boardItemDescription(0), QString());
    l.g->start();
    l.fire(Step::BoardReveal, 2);
    // The reveal puts the top amount up first.
    QCOMPARE(n.boardItemDescription(game::kCaseCount - 1), QStringLiteral("в игре"));
    QCOMPARE(n.boardItemDescription(0), QString());
    l.fire(Step::BoardReveal, game::kCaseCount);
    QCOMPARE(n.counterText(), i18n::chooseOwnCasePrompt().simplified());
    l.press(21);
    QCOMPARE(n.counterText(), QStringLiteral("6 ") + i18n::counterWords(6).simplified());
    l.g->pressCase(3);
    QCOMPARE(n.counterText(), QString()); // hidden through the suspense
    l.g->cueEnded();
    QVERIFY(n.boardItemName(3).endsWith(QStringLiteral(", выбыла")));
    QVERIFY(!n.boardItemName(4).contains(QLatin1Char(',')));
    QCOMPARE(n.boardItemDescription(3), QString());
    QCOMPARE(n.caseDescription(3).startsWith(QStringLiteral("открыт: ")), true);
    for (const int i : {0, 1, 2, 4, 5})
        l.open(i);
    l.random.append(offerDraws());
    l.g->cueEnded();
    QCOMPARE(n.offerText(), QStringLiteral("Банк предлагает 44000"));
    QCOMPARE(n.historyItemName(0), QString()); // no earlier offer yet
    l.g->decline();
    QCOMPARE(n.offerText(), QString());
    for (const int i : {6, 7, 8})
        l.open(i);
    l.random.append(offerDraws());
    l.g->cueEnded();
    l.fire(Step::HistoryReveal, 2);
    QCOMPARE(n.historyItemName(0), QStringLiteral("44000"));
}

QTEST_GUILESS_MAIN(TestNarrator)
#include "test_narrator.moc"
