// The contrast ratio that the readable texts and tools/contrast.sh rely on,
// against figures known from the WCAG 2 definition; and the windows around the
// game (rules, statistics, the game's summary, a question), whose every text
// must read on the game's backdrop and fit its place in both languages, in a
// small window and full screen.
#include "contrast.h"
#include "language.h"
#include "rules_dialog.h"
#include "side_windows.h"
#include "statistics_window.h"
#include "summary_window.h"

#include <QAbstractAxis>
#include <QChart>
#include <QChartView>
#include <QMessageBox>
#include <QtTest>
#include <memory>

namespace {

// A game whose summary and chart show every kind of row: offers declined, an
// exchange taken, money taken and offers shown after it.
game::GameRecord playedGame() {
    game::GameRecord record;
    const double amounts[] = {44000, 119000, 0, 412000, 933000, 1550000};
    const double averages[] = {419318.75, 531250, 584000, 610000, 1240000, 1550000};
    const int opened[] = {6, 9, 12, 15, 18, 20};
    const game::OfferAnswer answers[] = {game::OfferAnswer::Declined, game::OfferAnswer::Declined,
                                         game::OfferAnswer::Accepted, game::OfferAnswer::Declined,
                                         game::OfferAnswer::Accepted, game::OfferAnswer::NotAsked};
    for (int i = 0; i < 6; ++i) {
        game::OfferRecord offer(i == 2, amounts[i], averages[i]);
        offer.answer = answers[i];
        offer.onBoard.emplace();
        for (int rank = opened[i]; rank < game::kCaseCount; ++rank)
            (*offer.onBoard)[size_t(rank)] = true;
        record.offers.push_back(offer);
    }
    record.exchanges = {{3000000, 100000}};
    record.acceptedOffer = 933000;
    record.acceptedAt = 4;
    record.ownCaseAmount = 100000;
    return record;
}

} // namespace

class TestContrast final : public QObject {
    Q_OBJECT

  private slots:
    void ratioMatchesKnownFigures_data();
    void ratioMatchesKnownFigures();
    void sideWindowTextsReadAndFit_data();
    void sideWindowTextsReadAndFit();
};

void TestContrast::ratioMatchesKnownFigures_data() {
    QTest::addColumn<QRgb>("first");
    QTest::addColumn<QRgb>("second");
    QTest::addColumn<double>("ratio");
    QTest::newRow("black on white") << qRgb(0, 0, 0) << qRgb(255, 255, 255) << 21.0;
    QTest::newRow("white on black") << qRgb(255, 255, 255) << qRgb(0, 0, 0) << 21.0;
    QTest::newRow("the same colour") << qRgb(0x12, 0x0c, 0x38) << qRgb(0x12, 0x0c, 0x38) << 1.0;
    // The lightest grey that passes 4.5:1 on white, and the next one that does not.
    QTest::newRow("#767676 on white") << qRgb(0x76, 0x76, 0x76) << qRgb(255, 255, 255) << 4.54;
    QTest::newRow("#777777 on white") << qRgb(0x77, 0x77, 0x77) << qRgb(255, 255, 255) << 4.48;
    // Channels weigh differently: pure red and pure green on black.
    QTest::newRow("red on black") << qRgb(255, 0, 0) << qRgb(0, 0, 0) << 5.25;
    QTest::newRow("green on black") << qRgb(0, 255, 0) << qRgb(0, 0, 0) << 15.3;
}

void TestContrast::ratioMatchesKnownFigures() {
    QFETCH(QRgb, first);
    QFETCH(QRgb, second);
    QFETCH(double, ratio);
    const double measured = contrast::ratio(first, second);
    QVERIFY2(qAbs(measured - ratio) < 0.01, qPrintable(QString::number(measured, 'f', 4)));
}

void TestContrast::sideWindowTextsReadAndFit_data() {
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QSize>("size"); // empty: the window's own
    for (const QString& language : {QStringLiteral("ru"), QStringLiteral("en")}) {
        for (const char* window : {"rules", "statistics", "summary"}) {
            // A 1024 x 600 screen less the frame and panel, and a full HD one.
            QTest::addRow("%s %s small", qPrintable(language), window)
                << language << QString::fromLatin1(window) << QSize(1016, 540);
            QTest::addRow("%s %s full screen", qPrintable(language), window)
                << language << QString::fromLatin1(window) << QSize(1920, 1080);
        }
        QTest::addRow("%s question", qPrintable(language))
            << language << QStringLiteral("question") << QSize();
    }
}

void TestContrast::sideWindowTextsReadAndFit() {
    QFETCH(QString, language);
    QFETCH(QString, window);
    QFETCH(QSize, size);
    QVERIFY(i18n::setLanguage(language));
    storage::Statistics statistics;
    statistics.addGame(playedGame());
    std::unique_ptr<QWidget> shown;
    if (window == QLatin1String("rules")) {
        shown = std::make_unique<RulesDialog>();
    } else if (window == QLatin1String("statistics")) {
        auto* statisticsWindow = new StatisticsWindow(statistics);
        shown.reset(statisticsWindow);
        // The chart draws its own texts on its plate.
        QChart* chart = statisticsWindow->chartView()->chart();
        const QRgb plate = chart->backgroundBrush().color().rgb();
        QVERIFY(contrast::ratio(chart->titleBrush().color().rgb(), plate) >= contrast::kReadable);
        const QList<QAbstractAxis*> axes = chart->axes();
        QCOMPARE(axes.size(), 2);
        for (const QAbstractAxis* axis : axes) {
            QVERIFY(contrast::ratio(axis->labelsColor().rgb(), plate) >= contrast::kReadable);
            QVERIFY(contrast::ratio(axis->titleBrush().color().rgb(), plate) >=
                    contrast::kReadable);
        }
    } else if (window == QLatin1String("summary")) {
        auto* summary = new SummaryWindow;
        summary->setGame(playedGame());
        shown.reset(summary);
    } else {
        auto* question = new QMessageBox(QMessageBox::Question, QStringLiteral("?"),
                                         QStringLiteral("Игра ещё идёт. Бросить её и выйти?"),
                                         QMessageBox::Yes | QMessageBox::No);
        side_windows::applyGameLook(question);
        shown.reset(question);
    }
    if (!size.isEmpty())
        shown->resize(size);
    shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
    QCoreApplication::processEvents();
    if (!qEnvironmentVariableIsEmpty("ZORBAN_SHOTS"))
        shown->grab().save(QStringLiteral("%1/%2-%3-%4.png")
                               .arg(qEnvironmentVariable("ZORBAN_SHOTS"), window, language)
                               .arg(size.width()));
    const QList<contrast::TextReading> readings = contrast::readTexts(shown.get());
    QVERIFY(readings.size() >= 2);
    for (const contrast::TextReading& reading : readings) {
        const QString what = QStringLiteral("%1 \"%2\": %3:1")
                                 .arg(reading.control, reading.text)
                                 .arg(reading.lowest, 0, 'f', 2);
        QVERIFY2(reading.lowest >= contrast::kReadable, qPrintable(what));
        QVERIFY2(reading.fits, qPrintable(what + QStringLiteral(" does not fit")));
    }
}

QTEST_MAIN(TestContrast)
#include "test_contrast.moc"
