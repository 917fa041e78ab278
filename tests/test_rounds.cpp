#include "banker.h"
#include "rounds.h"

#include <QSet>
#include <QtTest>

class TestRounds final : public QObject {
    Q_OBJECT

  private slots:
    void counterPanelThroughWholeGame();
    void afterOpeningFollowsTheRoundSchedule();
    void plateArrangementsUseEveryPlateOnce();
};

void TestRounds::counterPanelThroughWholeGame() {
    // The count each click of a game leaves on the panel, from the first opening on.
    const int expected[21] = {
        5, 4, 3, 2, 1, 3, // round 1
        2, 1, 3,          // round 2
        2, 1, 3,          // round 3
        2, 1, 3,          // round 4
        2, 1, 2,          // round 5: 2 for round 6
        1, 3,             // round 6
        2,                // the last case
    };
    int count = game::kFirstRoundCount;
    for (int opened = 0; opened < 21; ++opened) {
        count = game::counterAfterClick(count, opened);
        QCOMPARE(count, expected[opened]);
    }
}

void TestRounds::afterOpeningFollowsTheRoundSchedule() {
    QList<int> offers;
    for (int opened = 1; opened <= 21; ++opened) {
        switch (game::afterOpening(opened)) {
        case game::AfterOpening::Offer:
            offers << opened;
            break;
        case game::AfterOpening::EndOfGame:
            QCOMPARE(opened, 21);
            break;
        case game::AfterOpening::NextCase:
            break;
        }
    }
    QCOMPARE(offers, (QList<int>{6, 9, 12, 15, 18, 20}));
}

void TestRounds::plateArrangementsUseEveryPlateOnce() {
    for (int skin = 0; skin < 3; ++skin) {
        QSet<int> plates;
        for (int i = 0; i < game::kCaseCount; ++i)
            plates.insert(game::plateForCase(skin, i));
        QCOMPARE(plates.size(), game::kCaseCount);
    }
    QCOMPARE(game::plateForCase(0, 1), 7);
    QCOMPARE(game::plateForCase(1, 0), 21);
    QCOMPARE(game::plateForCase(2, 5), 5);
}

QTEST_APPLESS_MAIN(TestRounds)
#include "test_rounds.moc"
