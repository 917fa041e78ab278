#include "amounts.h"
#include "game_state.h"
#include "random_source.h"
#include "shuffle.h"

#include <QSet>
#include <QtTest>
#include <algorithm>

class TestAmounts final : public QObject {
    Q_OBJECT

  private slots:
    void logTextsAsDesigned();
    void boardHalvesTotalAsDesigned();
    void shuffleIsPermutationWithEveryText();
    void sameDrawsHideSameAmounts();
    void drawEqualToPositionLeavesItInPlace();
    void shuffleSwapsWithPositionsBelowToo();
    void drawsStayBelowTheirRange();
    void timeSeededGeneratorRepeatsForSameSecond();
};

void TestAmounts::logTextsAsDesigned() {
    const QStringList designed = {
        "0.01",    "0.1",     "1",       "5",         "10",        "50",       "100",    "500",
        "1 000",   "2 500",   "5 000",   "10 000",    "15 000",    "25 000",   "50 000", "100 000",
        "200 000", "300 000", "500 000", "1 000 000", "1 500 000", "3 000 000"};
    for (int rank = 0; rank < game::kCaseCount; ++rank)
        QCOMPARE(game::amountText(rank), designed[rank]);
}

void TestAmounts::boardHalvesTotalAsDesigned() {
    double low = 0;
    double high = 0;
    for (int rank = 0; rank < game::kCaseCount; ++rank) {
        const double value = game::amountValue(rank);
        (rank <= game::kLowHalfTopRank ? low : high) += value;
        if (rank > 0)
            QVERIFY2(value > game::amountValue(rank - 1), "ranks ascend");
    }
    QCOMPARE(qRound64(low * 100), qint64(916611));
    QCOMPARE(high, 6700000.0);
}

void TestAmounts::shuffleIsPermutationWithEveryText() {
    game::TimeSeededRandom random([] { return 0; });
    for (int seed = 0; seed < 200; ++seed) {
        random.seed(static_cast<std::uint32_t>(seed));
        game::GameState state;
        state.offerTaken = true;
        game::shuffle(state, random);
        QVERIFY(!state.offerTaken);
        QSet<int> ranks;
        for (int i = 0; i < game::kCaseCount; ++i)
            ranks.insert(state.caseAmount[i]);
        QCOMPARE(ranks.size(), game::kCaseCount);
        QCOMPARE(*std::min_element(ranks.begin(), ranks.end()), 0);
        QCOMPARE(*std::max_element(ranks.begin(), ranks.end()), 21);
    }
}

void TestAmounts::sameDrawsHideSameAmounts() {
    game::TimeSeededRandom a([] { return 41234; });
    game::TimeSeededRandom b([] { return 41234; });
    game::GameState first;
    game::GameState second;
    game::shuffle(first, a);
    game::shuffle(second, b);
    QCOMPARE(first.caseAmount, second.caseAmount);
}

void TestAmounts::drawEqualToPositionLeavesItInPlace() {
    // Draw i at step i: every swap is with itself.
    std::vector<float> draws;
    for (int i = 0; i < game::kCaseCount; ++i)
        draws.push_back((i + 0.5f) / game::kCaseCount);
    game::ReplayRandom random(draws);
    game::GameState state;
    game::shuffle(state, random);
    for (int i = 0; i < game::kCaseCount; ++i)
        QCOMPARE(state.caseAmount[i], qint16(i));
    QCOMPARE(random.used(), game::kCaseCount);
}

void TestAmounts::shuffleSwapsWithPositionsBelowToo() {
    // Every step draws position 0: the amount at 0 travels along, which a
    // Fisher-Yates shuffle (drawing only from i..21) could never do.
    game::ReplayRandom random(std::vector<float>(game::kCaseCount, 0.0f));
    game::GameState state;
    game::shuffle(state, random);
    // Step 0 keeps 0 in place; step i swaps positions 0 and i, so position i
    // receives what position 0 held, i.e. i - 1, and position 0 ends with 21.
    QCOMPARE(state.caseAmount[0], qint16(21));
    for (int i = 1; i < game::kCaseCount; ++i)
        QCOMPARE(state.caseAmount[i], qint16(i - 1));
}

void TestAmounts::drawsStayBelowTheirRange() {
    const float largest = std::nextafter(1.0f, 0.0f);
    for (int n : {2, 3, 20, 22, 100}) {
        game::ReplayRandom random({largest, 0.0f});
        QCOMPARE(game::drawBelow(random, n), n - 1);
        QCOMPARE(game::drawBelow(random, n), 0);
    }
    game::TimeSeededRandom random([] { return 0; });
    for (int i = 0; i < 100000; ++i) {
        const float u = random.next();
        QVERIFY(u >= 0.0f && u < 1.0f);
    }
}

void TestAmounts::timeSeededGeneratorRepeatsForSameSecond() {
    int second = 100;
    game::TimeSeededRandom random([&second] { return second; });
    const float first = random.next();
    random.reseedFromTimeOfDay();
    QCOMPARE(random.next(), first);
    second = 101;
    random.reseedFromTimeOfDay();
    QVERIFY(random.next() != first);
}

QTEST_APPLESS_MAIN(TestAmounts)
#include "test_amounts.moc"
