#include "credits_window.h"
#include "desktop_controls.h"
#include "fake_sound_player.h"
#include "game_harness.h"
#include "language.h"
#include "offer_format.h"
#include "rounds.h"
#include "rules_dialog.h"
#include "settings.h"
#include "shown_texts.h"
#include "statistics_window.h"

#include <QAbstractButton>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLegendMarker>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QValueAxis>
#include <QtTest>

namespace {

bool hasCyrillic(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.script() == QChar::Script_Cyrillic; });
}

// Every text a window shows: its title, labels, buttons, browsers and charts.
QStringList textsOf(QWidget* window) {
    QStringList texts{window->windowTitle()};
    for (const QLabel* label : window->findChildren<QLabel*>())
        texts << label->text();
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>())
        texts << button->text();
    for (const QTextBrowser* browser : window->findChildren<QTextBrowser*>())
        texts << browser->toPlainText();
    // What a screen reader reads where the screen shows something else.
    for (const QWidget* widget : window->findChildren<QWidget*>())
        texts << widget->accessibleName() << widget->accessibleDescription();
    for (const QChartView* view : window->findChildren<QChartView*>()) {
        texts << view->chart()->title();
        for (const QAbstractSeries* series : view->chart()->series())
            texts << series->name();
        for (const QAbstractAxis* axis : view->chart()->axes())
            texts << axis->titleText();
    }
    return texts;
}

// Every figure of the statistics is read with its caption, and its sums in
// digits a voice reads as one number: not grouped as the screen shows them.
void spokenAsNumbers(const StatisticsWindow& window) {
    const QRegularExpression grouped(QStringLiteral("\\d[ ,\\x{a0}]\\d{3}"));
    for (const auto& [caption, value] : window.figures()) {
        const QLabel* figure = nullptr;
        for (const QLabel* label : window.findChildren<QLabel*>()) {
            if (label->text() == value && label->accessibleName().startsWith(caption))
                figure = label;
        }
        QVERIFY2(figure, qPrintable(caption));
        QVERIFY2(!figure->accessibleName().contains(grouped), qPrintable(figure->accessibleName()));
    }
    const QString summary = window.chartView()->accessibleDescription();
    QVERIFY2(!summary.isEmpty() && !summary.contains(grouped), qPrintable(summary));
}

// The language menu's entry for language, in the game window's menu.
QAction* languageEntry(GameHarness& h, const QString& language) {
    for (const QAction* entry : h.app->desktopControls().menu()->actions()) {
        if (!entry->menu())
            continue;
        for (QAction* item : entry->menu()->actions()) {
            if (item->data().toString() == language)
                return item;
        }
    }
    return nullptr;
}

void switchTo(const QString& language) {
    QVERIFY(i18n::setLanguage(language));
    QCOMPARE(i18n::currentLanguage(), language);
    QCoreApplication::sendPostedEvents(); // the LanguageChange events
}

} // namespace

class TestLanguage final : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY(settingsHome_.isValid());
        qputenv("XDG_CONFIG_HOME", settingsHome_.path().toLocal8Bit());
    }

    // --lang first, then the language chosen in the menu, then the first of the
    // system's languages that the game has, then Russian; --help the same
    // without the menu's choice, English last.
    void languageOfARun_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("kept"); // in the settings file; "-" for no file
        QTest::addColumn<QStringList>("system");
        QTest::addColumn<QString>("game");
        QTest::addColumn<QString>("help");
        const QStringList russian{QStringLiteral("ru-RU"), QStringLiteral("ru")};
        const QStringList english{QStringLiteral("en-US"), QStringLiteral("en")};
        QTest::newRow("--lang over all") << "en"
                                         << "ru" << russian << "en"
                                         << "en";
        QTest::newRow("--lang ru") << "ru"
                                   << "-" << english << "ru"
                                   << "ru";
        QTest::newRow("kept over the system") << ""
                                              << "en" << russian << "en"
                                              << "ru";
        QTest::newRow("kept Russian") << ""
                                      << "ru" << english << "ru"
                                      << "en";
        QTest::newRow("system English") << ""
                                        << "-" << english << "en"
                                        << "en";
        QTest::newRow("system Russian") << ""
                                        << "-" << russian << "ru"
                                        << "ru";
        QTest::newRow("first the game has")
            << ""
            << "-" << QStringList{"de-DE", "de", "en-GB", "ru"} << "en"
            << "en";
        QTest::newRow("underscore form") << ""
                                         << "-" << QStringList{"ru_UA"} << "ru"
                                         << "ru";
        QTest::newRow("none the game has") << ""
                                           << "-" << QStringList{"de-DE", "fr"} << "ru"
                                           << "en";
        QTest::newRow("C locale") << ""
                                  << "-" << QStringList{"C"} << "ru"
                                  << "en";
        QTest::newRow("kept text not a language") << ""
                                                  << "german" << english << "en"
                                                  << "en";
        QTest::newRow("kept other language") << ""
                                             << "de" << russian << "ru"
                                             << "ru";
    }
    void languageOfARun() {
        QFETCH(QString, given);
        QFETCH(QString, kept);
        QFETCH(QStringList, system);
        QFETCH(QString, game);
        QFETCH(QString, help);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("zorban.conf"));
        if (kept != QStringLiteral("-"))
            QVERIFY(storage::Settings(file).setLanguage(kept));
        QCOMPARE(i18n::startLanguage(given, file, system), game);
        QCOMPARE(i18n::helpLanguage(given, system), help);
    }

    // The windows open beside a game take the other language at once, with
    // nothing left in Russian, and take their very texts back; what they show
    // (figures, the credits' place) stays.
    void windowsSwitchLanguageAtOnce() {
        game::GameRecord record;
        record.offers = {{false, 12000, 250000}, {true, 0, 180000}, {false, 54000, 90000}};
        record.ownCaseAmount = 75000;
        storage::Statistics statistics;
        statistics.addGame(record);
        StatisticsWindow statisticsWindow(statistics);
        statisticsWindow.setProblem(QStringLiteral("disk full"));
        statisticsWindow.show();
        RulesDialog rules;
        rules.show();
        CreditsWindow credits(std::make_unique<FakeSoundPlayer>(), [] { return 15870; });
        credits.show();
        // Into the second entry, while its name slides in.
        while (credits.entryIndex() < 1 ||
               credits.runningPhase() != CreditsWindow::Phase::NameSlideIn)
            credits.tick();
        const int creditsStep = credits.nameLeft();

        QList<QWidget*> windows{&statisticsWindow, &rules, &credits};
        QList<QStringList> russian;
        for (QWidget* window : windows)
            russian << textsOf(window);
        const auto figures = statisticsWindow.figures();
        for (const QStringList& texts : russian)
            QVERIFY(hasCyrillic(texts.join(QString())));

        switchTo(i18n::kEnglish);
        for (QWidget* window : windows) {
            for (const QString& text : textsOf(window))
                QVERIFY2(!hasCyrillic(text), qPrintable(text));
        }
        QCOMPARE(statisticsWindow.windowTitle(), QStringLiteral("Statistics"));
        QCOMPARE(rules.windowTitle(), QStringLiteral("Rules"));
        QCOMPARE(credits.roleLabel()->text(), QStringLiteral("Made with"));
        QCOMPARE(credits.nameLabel()->text(), QStringLiteral("Qt 6"));
        QCOMPARE(credits.nameLeft(), creditsStep);
        QCOMPARE(credits.entryIndex(), 1);
        QCOMPARE(statisticsWindow.figures().size(), figures.size());
        // The same figures, grouped the English way.
        for (int row = 0; row < figures.size(); ++row)
            QCOMPARE(statisticsWindow.figures()[row].second,
                     QString(figures[row].second).replace(QLatin1Char(' '), QLatin1Char(',')));
        QVERIFY(statisticsWindow.problemLine()->text().endsWith(QStringLiteral("disk full")));
        spokenAsNumbers(statisticsWindow);

        switchTo(i18n::kRussian);
        spokenAsNumbers(statisticsWindow);
        for (int i = 0; i < windows.size(); ++i)
            QCOMPARE(textsOf(windows[i]), russian[i]);
    }

    // What the screen makes of the game's facts: the English words (the
    // counter's in the plural form of its count) and the English grouping of
    // every amount; in Russian the board's and the offer panel's own forms.
    void gameFactsAreShownInTheLanguage() {
        const game::Offer exchange{true, 1000};
        const auto words = [] {
            QStringList texts{i18n::chooseOwnCasePrompt(), i18n::chooseSwapCasePrompt()};
            for (int count : {1, 2, 5, 11, 21, 22})
                texts << i18n::counterWords(count);
            return texts;
        };
        const QStringList russian = words() << i18n::shownOffer({true, 1000})
                                            << i18n::shownHistoryOffer({true, 1000});
        QCOMPARE(i18n::shownOffer(exchange), game::kExchangeOffer);
        QCOMPARE(i18n::shownHistoryOffer(exchange), game::kExchangeInHistory);
        QCOMPARE(i18n::shownHistoryOffer({false, 125000}), QStringLiteral("125000"));
        QCOMPARE(i18n::shownMoney(10899), game::formatMoney(10899));
        QCOMPARE(i18n::shownMoney(0), QString());
        for (int rank = 0; rank < game::kCaseCount; ++rank)
            QCOMPARE(i18n::shownAmount(game::amountValue(rank)), game::amountText(rank));

        switchTo(i18n::kEnglish);
        const QStringList english = words() << i18n::shownOffer(exchange)
                                            << i18n::shownHistoryOffer(exchange);
        for (int i = 0; i < english.size(); ++i)
            QVERIFY2(english[i] != russian[i] && !hasCyrillic(english[i]), qPrintable(english[i]));
        QVERIFY(i18n::counterWords(1) != i18n::counterWords(2));
        for (int count : {5, 11, 21, 22})
            QCOMPARE(i18n::counterWords(count), i18n::counterWords(2));
        QCOMPARE(i18n::shownAmount(3000000), QStringLiteral("3,000,000"));
        QCOMPARE(i18n::shownAmount(2500), QStringLiteral("2,500"));
        QCOMPARE(i18n::shownAmount(0.01), QStringLiteral("0.01"));
        QCOMPARE(i18n::shownAmount(0.1), QStringLiteral("0.1"));
        QCOMPARE(i18n::shownAmount(-1234.4), QStringLiteral("\u22121,234"));
        QCOMPARE(i18n::shownMoney(34000), QStringLiteral("34,000"));
        QCOMPARE(i18n::shownHistoryOffer({false, 125000}), QStringLiteral("125,000"));
        switchTo(i18n::kRussian);
        QCOMPARE(words() << i18n::shownOffer(exchange) << i18n::shownHistoryOffer(exchange),
                 russian);
    }

    // The chart's axis reaches above its highest point, so that a line there
    // (the own case's dashed one, here) is not drawn on the chart's border; its
    // numbers are grouped as the figures are.
    void chartKeepsItsTopLineInSight() {
        game::GameRecord record;
        record.offers = {{false, 400000, 900000}, {false, 1200000, 1500000}};
        record.ownCaseAmount = 3000000;
        storage::Statistics statistics;
        statistics.addGame(record);
        switchTo(i18n::kEnglish);
        StatisticsWindow window(statistics);
        const auto* view = qobject_cast<QChartView*>(window.chartView());
        QVERIFY2(view, "the chart library was not loaded");
        const QChart* chart = view->chart();
        const auto axes = chart->axes(Qt::Vertical);
        QCOMPARE(axes.size(), 1);
        QVERIFY2(static_cast<QValueAxis*>(axes.first())->max() > 3000,
                 "the own case's line lies on the border");
        QVERIFY(chart->localizeNumbers());
        QCOMPARE(chart->locale().groupSeparator(), QStringLiteral(","));
        switchTo(i18n::kRussian);
    }

    // The menu's choice is kept for the next runs; --lang is not.
    void chosenLanguageIsKept() {
        QCOMPARE(i18n::remembered(), QString());
        QVERIFY(i18n::chooseLanguage(i18n::kEnglish));
        QCOMPARE(i18n::currentLanguage(), i18n::kEnglish);
        QCOMPARE(i18n::remembered(), i18n::kEnglish);
        QCOMPARE(i18n::startLanguage({}, {}, {QStringLiteral("ru")}), i18n::kEnglish);
        QVERIFY(!i18n::chooseLanguage(QStringLiteral("de")));
        QCOMPARE(i18n::currentLanguage(), i18n::kEnglish);
        QCOMPARE(i18n::remembered(), i18n::kEnglish);
        QVERIFY(i18n::setLanguage(i18n::kRussian));
        QCOMPARE(i18n::remembered(), i18n::kEnglish);
    }

    // The menu's entry switches the game window mid-game: every text it shows
    // (its own, the counter's words, the exchange offer, the history) and the
    // open question take the other language; the game goes on where it was,
    // and the way back gives the very same texts.
    void gameWindowSwitchesMidGame() {
        auto h = GameHarness::withOwnCase(21);
        QVERIFY(h);
        QVERIFY(h->declineRounds(2));
        QVERIFY(h->openCases({9, 10, 11}));
        QVERIFY(h->showOffer(offerDraws(kYesExchange, 99)));
        GameWindow* w = h->w();
        const GameWindow::Controls& c = w->controls();
        h->app->desktopControls().requestNewGame(); // the question stays open
        auto* question = w->findChild<QMessageBox*>();
        QVERIFY(question);
        const game::GameState before = w->state();
        const game::Phase phase = w->phase();
        const QStringList russian = h->shownTexts() << question->text();
        QCOMPARE(c.offerAmount->text(), game::kExchangeOffer);

        QAction* english = languageEntry(*h, i18n::kEnglish);
        QVERIFY(english && !english->isChecked());
        QVERIFY(languageEntry(*h, i18n::kRussian)->isChecked());
        english->trigger();
        QCoreApplication::sendPostedEvents();
        QCOMPARE(i18n::currentLanguage(), i18n::kEnglish);
        QVERIFY(languageEntry(*h, i18n::kEnglish)->isChecked());
        QCOMPARE(w->phase(), phase);
        QCOMPARE(w->state().offerCount, before.offerCount);
        QCOMPARE(w->state().openedCount, before.openedCount);
        QCOMPARE(w->state().caseAmount, before.caseAmount);
        QCOMPARE(w->windowTitle(), QStringLiteral("? ZORBAN !"));
        QCOMPARE(c.acceptButton->text(), QStringLiteral("YES"));
        QCOMPARE(c.offerAmount->text(), QStringLiteral("Swap your case?"));
        QCOMPARE(question->text(),
                 QStringLiteral("A game is in progress. Abandon it and start a new one?"));
        const QStringList untranslated = h->notEnglishTexts();
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QLatin1Char('\n'))));
        QVERIFY(!hasCyrillic(question->text()));

        languageEntry(*h, i18n::kRussian)->trigger();
        QCoreApplication::sendPostedEvents();
        QCOMPARE(h->shownTexts() << question->text(), russian);
        QCOMPARE(w->state().offerCount, before.offerCount);
        question->reject();
    }

  private:
    QTemporaryDir settingsHome_;
};

QTEST_MAIN(TestLanguage)
#include "test_language.moc"
