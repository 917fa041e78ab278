#include "banker.h"
#include "draws.h"
#include "game_log.h"
#include "offer_format.h"

#include <QtTest>
#include <initializer_list>

namespace {

game::BankerInput boardWithout(std::initializer_list<int> openedRanks, int openedCount) {
    game::BankerInput input;
    input.onBoard.fill(true);
    for (int rank : openedRanks)
        input.onBoard[static_cast<size_t>(rank)] = false;
    input.openedCount = openedCount;
    return input;
}

game::BankerInput boardWith(std::initializer_list<int> ranks, int openedCount) {
    game::BankerInput input;
    input.onBoard.fill(false);
    for (int rank : ranks)
        input.onBoard[static_cast<size_t>(rank)] = true;
    input.openedCount = openedCount;
    return input;
}

} // namespace

class TestBanker final : public QObject {
    Q_OBJECT

  private slots:
    void workedExampleOffers10899();
    void offerIsShownInGroupsOfThree_data();
    void offerIsShownInGroupsOfThree();
    void smallSumIgnoresTheFactorDraw();
    void onlyCoinsLeftOffersNothing_data();
    void onlyCoinsLeftOffersNothing();
    void shapingRules_data();
    void shapingRules();
    void cautiousBankerNeverRearmsTheExchange();
    void exchangeDrawOrder_data();
    void exchangeDrawOrder();
    void earlierExchangeDecisionStillCounts();
    void noExchangeOfferInFirstTwoRounds();
    void rollThirtyThreeRearmsExchangeOffer();
    void drawsAtTheLastOffer();
};

void TestBanker::workedExampleOffers10899() {
    game::BankerInput input = boardWithout({0, 5, 10, 15, 20, 21}, 6);
    game::ReplayRandom random({0.5f, 0.18f});
    const game::BankerOffer offer = game::makeOffer(input, random);
    QCOMPARE(offer.remainingCount, qint16(16));
    QVERIFY(qAbs(offer.bankFactor) < 1e-9);
    QCOMPARE(offer.bankRoll, 18.0f);
    QCOMPARE(offer.offerAmount, qint64(10899));
    QCOMPARE(random.used(), 2);
    QCOMPARE(random.overdrawn(), 0);
}

void TestBanker::offerIsShownInGroupsOfThree_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("offerText");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("logged");

    const QString noBreakSpace(QChar(0x00A0));
    struct Separator {
        const char* locale;
        QString shown;
        QByteArray logged;
    };
    const Separator separators[] = {
        {"C", ",", ","},
        {"ru_RU", noBreakSpace, "\xa0"},
        {"de_DE", ".", "."},
        // The locale's apostrophe (U+2019) is in the code page.
        {"de_CH", QString(QChar(0x2019)), "\x92"},
        // The locale's narrow no-break space (U+202F) is not.
        {"fr_FR", noBreakSpace, "\xa0"},
        // Qt alone would write 7755 and 1234.567 here.
        {"es_ES", ".", "."},
        {"pl_PL", noBreakSpace, "\xa0"},
        // Qt alone would write 12,34,567 here.
        {"en_IN", ",", ","},
        // Qt alone would write Arabic-script digits and separators (U+066C) here.
        {"ar_EG", noBreakSpace, "\xa0"},
        {"fa_IR", noBreakSpace, "\xa0"},
    };
    const QList<QStringList> offers = {
        {"7", "755"}, {"10", "899"}, {"1", "234", "567"}, {"3", "000", "000"}};
    for (const Separator& separator : separators) {
        const QLocale locale(QString::fromLatin1(separator.locale));
        for (const QStringList& groups : offers) {
            QByteArrayList loggedGroups;
            for (const QString& group : groups)
                loggedGroups << group.toLatin1();
            QTest::addRow("%s %s", separator.locale, qPrintable(groups.join(QString())))
                << locale << groups.join(QString()) << groups.join(separator.shown)
                << loggedGroups.join(separator.logged);
        }
    }
    QTest::newRow("three digits") << QLocale::c() << "999"
                                  << "999" << QByteArray("999");
    QTest::newRow("nothing") << QLocale(QLocale::Arabic, QLocale::Egypt) << "0" << QString()
                             << QByteArray();
    QTest::newRow("exchange") << QLocale(QLocale::Arabic, QLocale::Egypt) << game::kExchangeOffer
                              << game::kExchangeOffer << QByteArray("\xce\xc1\xcc\xc5\xcd");
}

void TestBanker::offerIsShownInGroupsOfThree() {
    QFETCH(QLocale, locale);
    QFETCH(QString, offerText);
    QFETCH(QString, shown);
    QFETCH(QByteArray, logged);
    const game::Offer offer{offerText == game::kExchangeOffer, offerText.toLongLong()};
    const QString text = game::formatOffer(offer, locale);
    QCOMPARE(text, shown);
    // The log holds the offer as shown, byte for byte.
    QCOMPARE(game::toWindows1251(game::records::offer(text)).value(),
             QByteArray("---------------") + logged);
}

void TestBanker::smallSumIgnoresTheFactorDraw() {
    // 0.01 + 0.1 + 1 + 1000: the factor draw is taken but the exponent stays 1.39.
    for (float u1 : {0.0f, 0.5f, 0.99f}) {
        game::ReplayRandom random({drawFor(10, 100), u1, drawFor(99, 100)});
        const game::BankerOffer offer = game::makeOffer(boardWith({0, 1, 2, 8}, 18), random);
        QCOMPARE(offer.bankFactor, 0.0);
        // 1001 / round(4^1.39 = 6.86) = 143, cut to whole hundreds.
        QCOMPARE(offer.offerAmount, qint64(100));
        QCOMPARE(random.used(), 3);
    }
}

void TestBanker::onlyCoinsLeftOffersNothing_data() {
    QTest::addColumn<int>("roll");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain roll") << 40 << "0"
                                << "";
    QTest::newRow("roll 63 offers one") << 63 << "1"
                                        << "1";
    QTest::newRow("roll 55 offers ten") << 55 << "10"
                                        << "10";
}

void TestBanker::onlyCoinsLeftOffersNothing() {
    QFETCH(int, roll);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    game::ReplayRandom random({0.9f, 0.3f, drawFor(roll, 100)});
    const game::BankerOffer offer = game::makeOffer(boardWith({0, 1}, 20), random);
    QCOMPARE(offer.remainingCount, qint16(2));
    QCOMPARE(offer.bankFactor, 0.0);
    QCOMPARE(offer.offerAmount, text.toLongLong());
    QCOMPARE(game::formatMoney(offer.offerAmount, QLocale::c()), shown);
}

void TestBanker::shapingRules_data() {
    QTest::addColumn<int>("offer");
    QTest::addColumn<int>("roll");
    QTest::addColumn<int>("shaped");
    QTest::newRow("hundreds below a thousand") << 999 << 5 << 900;
    QTest::newRow("small offers untouched") << 99 << 99 << 99;
    QTest::newRow("roll 10 adds 900 without cutting to thousands") << 5432 << 10 << 6300;
    QTest::newRow("roll 18 adds 1899 after thousands") << 123456 << 18 << 124899;
    QTest::newRow("roll 18 leaves hundreds below a thousand") << 999 << 18 << 900;
    QTest::newRow("roll 20 adds 999") << 5432 << 20 << 5999;
    QTest::newRow("roll 23 thousands times 1001") << 45678 << 23 << 45045;
    QTest::newRow("roll 25 adds one") << 5 << 25 << 6;
    QTest::newRow("roll 27 repeats the digit") << 34567 << 27 << 33333;
    QTest::newRow("roll 30 alternates the digit") << 34567 << 30 << 30303;
    QTest::newRow("roll 36 six equal digits") << 345678 << 36 << 333333;
    QTest::newRow("roll 38 alternating six digits") << 345678 << 38 << 303030;
    QTest::newRow("roll 40 just under a million") << 1100000 << 40 << 999999;
    QTest::newRow("roll 40 leaves 1.2 million") << 1200000 << 40 << 1200000;
    QTest::newRow("roll 54 makes 49") << 23 << 54 << 49;
    QTest::newRow("roll 55 lifts to 10") << 3 << 55 << 10;
    QTest::newRow("roll 58 rounds 85 up to 100") << 85 << 58 << 100;
    QTest::newRow("roll 63 turns 0 into 1") << 0 << 63 << 1;
    QTest::newRow("roll 63 leaves other offers") << 7 << 63 << 7;
    QTest::newRow("roll 66 makes 7755") << 8765 << 66 << 7755;
    QTest::newRow("roll 70 uses the full quotient") << 456000 << 70 << 899995;
    QTest::newRow("roll 73 counts up, digits carry") << 7000 << 73 << 7900;
    QTest::newRow("roll 73 counts up") << 3456 << 73 << 3456;
    QTest::newRow("roll 74 counts up") << 34567 << 74 << 34567;
    QTest::newRow("roll 75 counts up") << 345678 << 75 << 345678;
    QTest::newRow("roll 99 only cuts") << 345678 << 99 << 345000;
}

void TestBanker::shapingRules() {
    QFETCH(int, offer);
    QFETCH(int, roll);
    QFETCH(int, shaped);
    QCOMPARE(game::shapeOffer(offer, roll), qint64(shaped));
}

void TestBanker::cautiousBankerNeverRearmsTheExchange() {
    // The first roll (33) would re-arm; the cautious banker rolls again over 20.
    game::BankerInput input = boardWithout({0, 5, 10, 15, 20, 21, 1, 2, 3, 4, 6, 7}, 12);
    input.bankerStyle = 1;
    input.swapOfferChosen = true;
    input.swapOfferAllowed = false;
    game::ReplayRandom random({drawFor(5, 100), 0.5f, drawFor(33, 100), drawFor(12, 20)});
    const game::BankerOffer offer = game::makeOffer(input, random);
    QCOMPARE(offer.bankRoll, 12.0f);
    QVERIFY(!offer.swapOfferAllowed);
    QVERIFY(!offer.isExchange);
    QCOMPARE(random.used(), 4);

    // An exchange already allowed is still offered by the cautious banker.
    input.swapOfferAllowed = true;
    game::ReplayRandom again({drawFor(5, 100), 0.5f, drawFor(33, 100), drawFor(12, 20)});
    QVERIFY(game::makeOffer(input, again).isExchange);
}

void TestBanker::exchangeDrawOrder_data() {
    QTest::addColumn<int>("openedCount");
    QTest::addColumn<int>("firstRoll");
    QTest::addColumn<bool>("secondDraw");
    QTest::newRow("18 above 80") << 18 << 81 << true;
    QTest::newRow("18 at 80") << 18 << 80 << false;
    QTest::newRow("15 above 90") << 15 << 91 << true;
    QTest::newRow("15 at 90") << 15 << 90 << false;
    QTest::newRow("12 at 99") << 12 << 99 << true;
    QTest::newRow("12 at 98") << 12 << 98 << false;
}

void TestBanker::exchangeDrawOrder() {
    QFETCH(int, openedCount);
    QFETCH(int, firstRoll);
    QFETCH(bool, secondDraw);
    // The draws after the exchange decision: factor 0.75, roll 99.
    std::vector<float> draws = {drawFor(firstRoll, 100)};
    if (secondDraw)
        draws.push_back(0.75f); // one of two: exchange
    draws.push_back(0.75f);
    draws.push_back(drawFor(99, 100));
    game::ReplayRandom random(draws);
    game::BankerInput input = boardWith({0, 9, 14, 19, 20, 21}, openedCount);
    input.swapOfferAllowed = true;
    const game::BankerOffer offer = game::makeOffer(input, random);
    QCOMPARE(random.used(), static_cast<int>(draws.size()));
    QCOMPARE(random.overdrawn(), 0);
    QCOMPARE(offer.swapOfferChosen, secondDraw);
    QCOMPARE(offer.bankRoll, 99.0f);
    // The factor came from the draw right after the decision: 0.2 * 0.75 - 0.1,
    // two low amounts up, four high amounts down.
    QVERIFY(qAbs(offer.bankFactor - (0.05 + 2 * 0.02 - 4 * 0.02)) < 1e-9);
    QCOMPARE(offer.isExchange, secondDraw);
}

void TestBanker::earlierExchangeDecisionStillCounts() {
    game::BankerInput input = boardWith({0, 9, 14, 19, 20, 21, 3}, 15);
    input.swapOfferChosen = true;
    input.swapOfferAllowed = true;
    game::ReplayRandom random({drawFor(50, 100), 0.5f, drawFor(99, 100)});
    const game::BankerOffer offer = game::makeOffer(input, random);
    QVERIFY(offer.swapOfferChosen);
    QVERIFY(offer.isExchange);
    QVERIFY(offer.offerAmount > 0); // the money figure is still computed
}

void TestBanker::noExchangeOfferInFirstTwoRounds() {
    for (int openedCount : {6, 9}) {
        game::BankerInput input = boardWithout({0, 1, 2, 3, 4, 5, 6, 7, 8}, openedCount);
        input.swapOfferChosen = true;
        input.swapOfferAllowed = true;
        game::ReplayRandom random({0.5f, drawFor(99, 100)});
        const game::BankerOffer offer = game::makeOffer(input, random);
        QVERIFY(!offer.isExchange);
        QCOMPARE(random.used(), 2); // nothing drawn for the exchange
    }
}

void TestBanker::rollThirtyThreeRearmsExchangeOffer() {
    game::BankerInput input = boardWith({0, 9, 14, 19, 20, 21, 3, 4, 5, 6}, 12);
    input.swapOfferChosen = true;
    input.swapOfferAllowed = false;
    game::ReplayRandom random({drawFor(10, 100), 0.5f, drawFor(33, 100)});
    const game::BankerOffer offer = game::makeOffer(input, random);
    QVERIFY(offer.swapOfferAllowed);
    QVERIFY(offer.isExchange);

    // Re-armed but not chosen: money.
    input.swapOfferChosen = false;
    game::ReplayRandom money({drawFor(10, 100), 0.5f, drawFor(33, 100)});
    const game::BankerOffer second = game::makeOffer(input, money);
    QVERIFY(second.swapOfferAllowed);
    QVERIFY(!second.isExchange);
}

void TestBanker::drawsAtTheLastOffer() {
    // At 20 the decision is always drawn anew, one draw, even against an earlier yes.
    game::BankerInput input = boardWith({7, 21}, 20);
    input.swapOfferChosen = true;
    input.swapOfferAllowed = true;
    game::ReplayRandom random({0.25f, 0.5f, drawFor(99, 100)});
    const game::BankerOffer offer = game::makeOffer(input, random);
    QVERIFY(!offer.swapOfferChosen);
    QCOMPARE(random.used(), 3);
    // 3000500 / round(2^(1.22 + 0.1 * 0 + 0.02 - 0.02)) = 3000500 / 2 = 1500250 -> 1500000
    QCOMPARE(offer.offerAmount, 1500000);
}

QTEST_APPLESS_MAIN(TestBanker)
#include "test_banker.moc"
