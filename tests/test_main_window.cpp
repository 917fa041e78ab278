// The main window as it is built and started: layout, the reveal of the board,
// and "Новая игра".
#include "game_fonts.h"
#include "game_harness.h"
#include "layout.h"
#include "media_files.h"
#include "movie_widget.h"
#include "pictures.h"
#include "private_home.h"
#include "rounds.h"
#include "settings_file.h"
#include "shown_texts.h"
#include "theme.h"
#include "widgets.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

class TestMainWindow final : public QObject {
    Q_OBJECT

  private slots:
    void windowHasDesignedSizeAndTitle();
    void windowOpensWhollyOnTheScreen_data();
    void windowOpensWhollyOnTheScreen();
    void savedPlaceIsFittedToTheScreen_data();
    void savedPlaceIsFittedToTheScreen();
    void placeIsWrittenOnceTheWindowSettles();
    void clickAtDrawnPlateOpensThatCase_data();
    void clickAtDrawnPlateOpensThatCase();
    void newGameKeepsTheWindowWhereItWas_data();
    void newGameKeepsTheWindowWhereItWas();
    void controlsKeepTheirPlaces();
    void freshWindowShowsOnlyWhatTheDesignShows();
    void counterCaptionBreaksAsDesigned_data();
    void counterCaptionBreaksAsDesigned();
    void textsStayInsideTheirFrames_data();
    void textsStayInsideTheirFrames();
    void lidsStandAtFrameOne();
    void caseSkinArrangesThePlates_data();
    void caseSkinArrangesThePlates();
    void startShufflesAndWritesTheAmounts();
    void revealRunsInRealTime();
    void clicksBeforeStartDoNothing();
    void newGameDrawsTheWindowAfresh();
    void logIsEmptiedAtLoad();
    void unwritableStartDirectoryStillStarts();
    void startFolderNamedInAnotherCodePage();
    void logoOpensOneCreditsWindow();
    void closingTheWindowClosesTheCredits();
};

void TestMainWindow::windowHasDesignedSizeAndTitle() {
    GameHarness h(identityGameDraws());
    QCOMPARE(h.w()->size(), QSize(1058, 758));
    QCOMPARE(h.w()->windowTitle(), QStringLiteral("? ЗОРБАН !"));
    QCOMPARE(h.w()->controls().logo->toolTip(), QStringLiteral("Об авторах"));
}

void TestMainWindow::windowOpensWhollyOnTheScreen_data() {
    QTest::addColumn<QSize>("available");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<bool>("designedSize");
    QTest::newRow("full HD") << QSize(1920, 1040) << QMargins(4, 32, 4, 4) << true;
    QTest::newRow("netbook") << QSize(1024, 600) << QMargins(4, 32, 4, 4) << false;
    QTest::newRow("netbook under a panel") << QSize(1024, 568) << QMargins(1, 28, 1, 1) << false;
    QTest::newRow("laptop under a panel") << QSize(1366, 736) << QMargins(4, 32, 4, 4) << false;
    QTest::newRow("tall and narrow") << QSize(800, 1280) << QMargins(4, 32, 4, 4) << false;
    QTest::newRow("just fits") << QSize(1058, 758) << QMargins() << true;
}

void TestMainWindow::windowOpensWhollyOnTheScreen() {
    QFETCH(QSize, available);
    QFETCH(QMargins, frame);
    QFETCH(bool, designedSize);
    const QSize size = layout::openingSize(layout::kGameWindow, available, frame);
    const QSize outer = size.grownBy(frame);
    QVERIFY2(outer.width() <= available.width() && outer.height() <= available.height(),
             qPrintable(QStringLiteral("%1x%2").arg(outer.width()).arg(outer.height())));
    QCOMPARE(size == QSize(1058, 758), designedSize);
    // As large as fits: one side fills the room, and the proportions are kept.
    QVERIFY(available.width() - outer.width() <= 1 || available.height() - outer.height() <= 1 ||
            designedSize);
    QVERIFY(qAbs(size.width() * 758.0 / size.height() - 1058.0) < 2.5);
}

void TestMainWindow::savedPlaceIsFittedToTheScreen_data() {
    QTest::addColumn<QString>("saved");
    QTest::newRow("larger than any screen") << QStringLiteral("@Rect(0 0 30000 30000)");
    QTest::newRow("a corner on the screen") << QStringLiteral("@Rect(790 790 1058 758)");
    QTest::newRow("past the screen") << QStringLiteral("@Rect(1270 890 1058 758)");
    QTest::newRow("too small to play") << QStringLiteral("@Rect(100 100 40 30)");
}

void TestMainWindow::savedPlaceIsFittedToTheScreen() {
    QFETCH(QString, saved);
    usePrivateHome();
    const storage::SettingsFile settings(storage::SettingsFile::userFile());
    QVERIFY(settings.set({{QStringLiteral("window/geometry"), saved},
                          {QStringLiteral("window/fullScreen"), QStringLiteral("false")}}));
    QTemporaryDir dir;
    GameApp app([] { return std::make_unique<FakeSoundPlayer>(); },
                std::make_unique<game::ReplayRandom>(identityGameDraws()),
                dir.filePath(QStringLiteral("statistics.json")));
    app.rememberWindowBetweenRuns();
    app.start();
    QFile::remove(settings.path());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect place = app.window()->geometry();
    QVERIFY2(screen.contains(place), qPrintable(storage::SettingsFile::rectText(place)));
    // Large enough to play in.
    QVERIFY2(place.width() >= screen.width() / 3 && place.height() >= screen.height() / 3,
             qPrintable(storage::SettingsFile::rectText(place)));
}

// A game killed later (a session's end) keeps the place and size the window had
// settled at; the window never gets smaller than half the design.
void TestMainWindow::placeIsWrittenOnceTheWindowSettles() {
    usePrivateHome();
    const storage::SettingsFile settings(storage::SettingsFile::userFile());
    QFile::remove(settings.path());
    QTemporaryDir dir;
    GameApp app([] { return std::make_unique<FakeSoundPlayer>(); },
                std::make_unique<game::ReplayRandom>(identityGameDraws()),
                dir.filePath(QStringLiteral("statistics.json")));
    app.rememberWindowBetweenRuns();
    app.start();
    app.window()->setGeometry(40, 50, 700, 500);
    QTRY_COMPARE_WITH_TIMEOUT(settings.rectValue(QStringLiteral("window/geometry")),
                              std::optional<QRect>(QRect(40, 50, 700, 500)), 3000);
    app.window()->resize(200, 150);
    QCOMPARE(app.window()->size(), QSize(529, 379));
    QFile::remove(settings.path());
}

void TestMainWindow::clickAtDrawnPlateOpensThatCase_data() {
    QTest::addColumn<QSize>("windowSize");
    QTest::newRow("full HD, wider than the design") << QSize(1920, 1080);
    QTest::newRow("small, taller than the design") << QSize(700, 640);
}

void TestMainWindow::clickAtDrawnPlateOpensThatCase() {
    QFETCH(QSize, windowSize);
    GameHarness h(identityGameDraws());
    GameWindow* w = h.w();
    w->resize(windowSize);
    // The design drawn as large as fits, centred.
    const double scale = std::min(windowSize.width() / 1058.0, windowSize.height() / 758.0);
    const QPointF origin((windowSize.width() - 1058 * scale) / 2,
                         (windowSize.height() - 758 * scale) / 2);
    auto drawnCentre = [&](const twips::Rect& rect) {
        const QPointF centre((rect.left + rect.width / 2.0) / 15,
                             (rect.top + rect.height / 2.0) / 15);
        return (origin + centre * scale).toPoint();
    };
    auto clickAt = [&](QPoint point) {
        QWidget* target = w->childAt(point);
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(w, point));
    };
    QVERIFY(h.startGame());
    clickAt(drawnCentre(layout::casePlate(9)));
    QCOMPARE(h.app->state().ownCase, qint16(9));
    clickAt(drawnCentre(layout::casePlate(20)));
    QCOMPARE(w->phase(), GameWindow::Phase::Suspense);
    h.endSound();
    QVERIFY(h.app->state().caseOpened[20]);
    // Texts are drawn at the same scale.
    QCOMPARE(w->controls().startButton->font().pixelSize(),
             static_cast<int>(std::lround(fonts::pixels(24) * scale)));
}

void TestMainWindow::newGameKeepsTheWindowWhereItWas_data() {
    QTest::addColumn<bool>("fullScreen");
    QTest::newRow("moved and resized") << false;
    QTest::newRow("full screen") << true;
}

void TestMainWindow::newGameKeepsTheWindowWhereItWas() {
    QFETCH(bool, fullScreen);
    GameHarness h(identityGameDraws());
    h.w()->setGeometry(37, 41, 900, 500);
    if (fullScreen)
        h.w()->showFullScreen();
    const QRect before = h.w()->geometry();
    const QRect logoBefore = h.w()->controls().logo->geometry();
    h.random->append({drawFor(1, 3)});
    h.app->newGame();
    QCOMPARE(h.w()->isFullScreen(), fullScreen);
    QCOMPARE(h.w()->geometry(), before);
    // Drawn at the same scale.
    QCOMPARE(h.w()->controls().logo->geometry(), logoBefore);
    if (fullScreen) {
        h.w()->showNormal();
        QCOMPARE(h.w()->geometry(), QRect(37, 41, 900, 500));
    }
}

// The layout's relations rather than its numbers: every control inside the
// window but the two panels that slide in from past its left edge; the cells of
// the cases, the board's amounts and the earlier offers apart and in their order.
void TestMainWindow::controlsKeepTheirPlaces() {
    GameHarness h(identityGameDraws());
    GameWindow* w = h.w();
    const GameWindow::Controls& c = w->controls();
    for (QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != c.offerPanel && child != c.winningsPanel && !child->isWindow())
            QVERIFY2(w->rect().contains(child->geometry()),
                     qPrintable(QStringLiteral("%1 at %2,%3 %4x%5")
                                    .arg(child->metaObject()->className())
                                    .arg(child->x())
                                    .arg(child->y())
                                    .arg(child->width())
                                    .arg(child->height())));
    }
    // Each list in reading order: a later one right of the one before in its
    // row or column, or below it, never over it.
    auto inOrder = [](const auto& widgets, int count, bool columns) {
        for (int i = 0; i < count; ++i) {
            const QRect a = widgets[i]->geometry();
            for (int j = i + 1; j < count; ++j) {
                if (a.intersects(widgets[j]->geometry()))
                    return false;
            }
            if (i + 1 == count)
                break;
            const QRect b = widgets[i + 1]->geometry();
            const bool next = columns ? (b.x() == a.x() ? b.y() > a.bottom() : b.x() > a.right())
                                      : (b.y() == a.y() ? b.x() > a.right() : b.y() > a.bottom());
            if (!next)
                return false;
        }
        return true;
    };
    QVERIFY(inOrder(c.caseBriefcases, game::kCaseCount, false));
    QVERIFY(inOrder(c.boardAmounts, game::kCaseCount, true));
    QVERIFY(inOrder(c.historyAmounts, game::kHistoryRowsShown, true));
    QVERIFY(inOrder(std::array{c.acceptButton, c.declineButton}, 2, true));
    for (int i = 0; i < game::kCaseCount; ++i) {
        const QRect cell = c.caseBriefcases[i]->geometry();
        QVERIFY(cell.contains(c.casePlates[i]->geometry()));
        QVERIFY(cell.contains(c.caseAmounts[i]->geometry().center()));
        QVERIFY(cell.right() < c.boardAmounts[0]->x()); // the board stands right of the cases
        QVERIFY(c.boardAmounts[i]->geometry().contains(c.boardPlates[i]->geometry()) ||
                c.boardPlates[i]->geometry().contains(c.boardAmounts[i]->geometry()));
    }
    QCOMPARE(c.newGameButton->geometry(), c.startButton->geometry());
    QVERIFY(c.acceptButton->x() > c.offerAmount->geometry().right());
}

void TestMainWindow::freshWindowShowsOnlyWhatTheDesignShows() {
    GameHarness h(identityGameDraws());
    GameWindow* w = h.w();
    for (QWidget* hidden : std::initializer_list<QWidget*>{
             w->controls().newGameButton, w->controls().acceptButton, w->controls().declineButton,
             w->controls().offerAmount, w->controls().historyTitle, w->controls().counterCaption,
             w->controls().counterNumber, w->controls().phoneGlyph, w->controls().captionFrame,
             w->controls().numberFrame, w->controls().phoneFrame, w->controls().winningsTitle,
             w->controls().winningsAmount, w->controls().winningsPanel})
        QVERIFY2(hidden->isHidden(), qPrintable(hidden->metaObject()->className()));
    for (int k = 0; k < 22; ++k) {
        QVERIFY(w->controls().boardAmounts[k]->isHidden());
        QVERIFY(w->controls().boardPlates[k]->isHidden());
        QVERIFY(!w->controls().casePlates[k]->isHidden());
        QVERIFY(!w->controls().casePlates[k]->isEnabled());
    }
    for (int row = 0; row < 5; ++row)
        QVERIFY(w->controls().historyAmounts[row]->isHidden() &&
                w->controls().historyPlates[row]->isHidden());
    QVERIFY(w->controls().startButton->isVisible() && w->controls().historyCover->isVisible() &&
            w->controls().offerPanel->isVisible());
    QCOMPARE(w->controls().counterNumber->text(), QStringLiteral("6"));
    QCOMPARE(w->controls().phoneGlyph->text(), QString(QChar(0x260E)));
    QCOMPARE(w->phase(), GameWindow::Phase::Loaded);
    // The stacking of a case cell: the plate over the lid over the amount over the briefcase.
    QList<QObject*> order = w->children();
    QVERIFY(order.indexOf(w->controls().casePlates[3]) > order.indexOf(w->controls().caseLids[3]));
    QVERIFY(order.indexOf(w->controls().caseLids[3]) > order.indexOf(w->controls().caseAmounts[3]));
    QVERIFY(order.indexOf(w->controls().caseAmounts[3]) >
            order.indexOf(w->controls().caseBriefcases[3]));
    QVERIFY(order.indexOf(w->controls().offerAmount) > order.indexOf(w->controls().offerPanel));
    QVERIFY(order.indexOf(w->controls().boardAmounts[5]) >
            order.indexOf(w->controls().boardPlates[5]));
    QVERIFY(order.indexOf(w->controls().historyCover) >
            order.indexOf(w->controls().historyAmounts[4]));
    QVERIFY(order.indexOf(w->controls().numberFrame) > order.indexOf(w->controls().historyCover));
    QVERIFY(order.indexOf(w->controls().counterNumber) > order.indexOf(w->controls().numberFrame));
    QVERIFY(order.indexOf(w->controls().winningsAmount) >
            order.indexOf(w->controls().winningsPanel));
}

// Every caption the counter panel shows is drawn in its two designed lines,
// the first with its leading blanks, each whole and inside the label, with the Russian plural form
// of its count; in the window's font, and in a wider, taller one standing in for it.
void TestMainWindow::counterCaptionBreaksAsDesigned_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("secondLine");
    QTest::addColumn<bool>("substituteFont");
    const QString untilOffer = QStringLiteral("до предложения банка");
    for (const bool substitute : {false, true}) {
        const char* font = substitute ? ", substitute font" : "";
        // Every count the panel shows, and the word forms of counts beyond.
        const std::pair<int, QString> counts[] = {
            {1, QStringLiteral("чемодан")},    {2, QStringLiteral("чемодана")},
            {3, QStringLiteral("чемодана")},   {4, QStringLiteral("чемодана")},
            {5, QStringLiteral("чемоданов")},  {6, QStringLiteral("чемоданов")},
            {11, QStringLiteral("чемоданов")}, {21, QStringLiteral("чемодан")},
            {22, QStringLiteral("чемодана")}};
        for (const auto& [count, word] : counts) {
            QTest::addRow("%d %s%s", count, qPrintable(word), font)
                << i18n::counterWords(count) << QString(11, QLatin1Char(' ')) + word << untilOffer
                << substitute;
        }
        QTest::addRow("choose the own case%s", font)
            << i18n::chooseOwnCasePrompt() << QStringLiteral("             Выберите")
            << QStringLiteral("свой чемодан") << substitute;
        QTest::addRow("choose the case to exchange%s", font)
            << i18n::chooseSwapCasePrompt() << QStringLiteral("             Выберите")
            << QStringLiteral("чемодан для обмена") << substitute;
    }
}

void TestMainWindow::counterCaptionBreaksAsDesigned() {
    QFETCH(QString, caption);
    QFETCH(QString, firstLine);
    QFETCH(QString, secondLine);
    QFETCH(bool, substituteFont);
    GameHarness h(identityGameDraws());
    auto* label = qobject_cast<FittedCaption*>(h.w()->controls().counterCaption);
    QVERIFY(label);
    const QFont designed = label->font();
    if (substituteFont) {
        QFont wide(QStringLiteral("DejaVu Sans Mono"));
        wide.setPixelSize(22);
        wide.setBold(true);
        label->setFont(wide);
    }
    label->setText(caption);
    QCOMPARE(label->text(), caption);

    const QTextLayout& layout = label->textLayout();
    // A line as it reads: its leading blanks count, blanks at its end do not.
    auto lineText = [&layout](int i) {
        const QTextLine line = layout.lineAt(i);
        QString text =
            layout.text().mid(line.textStart(), line.textLength()).remove(QChar::LineSeparator);
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        return text;
    };
    QCOMPARE(layout.lineCount(), 2);
    QCOMPARE(lineText(0), firstLine);
    QCOMPARE(lineText(1), secondLine);
    const QRect box = label->contentsRect();
    const QFontMetricsF metrics(layout.font(), label);
    for (int i = 0; i < 2; ++i) {
        QVERIFY2(layout.lineAt(i).naturalTextWidth() <= box.width(), qPrintable(lineText(i)));
        QVERIFY2(metrics.horizontalAdvance(lineText(i)) <= box.width(), qPrintable(lineText(i)));
    }
    QVERIFY(layout.boundingRect().height() <= box.height());
    // The window's own font fits as it is.
    if (!substituteFont)
        QCOMPARE(layout.font().pixelSize(), designed.pixelSize());
}

// The ink of a text stays inside the frame drawn around it, clear of its border.
void TestMainWindow::textsStayInsideTheirFrames_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("shownText");
    QTest::addColumn<int>("border");
    const int panelBorder = theme::kPanelBorderWidth;
    QTest::newRow("history title") << "historyTitle"
                                   << "historyFrame" << QString() << 2;
    QTest::newRow("history row") << "historyAmounts"
                                 << "historyFrame" << QStringLiteral("3000000") << 2;
    QTest::newRow("phone") << "phoneGlyph"
                           << "phoneFrame" << QString() << panelBorder;
    QTest::newRow("count") << "counterNumber"
                           << "numberFrame" << QStringLiteral("6") << panelBorder;
    QTest::newRow("caption") << "counterCaption"
                             << "captionFrame" << i18n::counterWords(4) << panelBorder;
    QTest::newRow("prompt") << "counterCaption"
                            << "captionFrame" << i18n::chooseSwapCasePrompt() << panelBorder;
}

void TestMainWindow::textsStayInsideTheirFrames() {
    QFETCH(QString, text);
    QFETCH(QString, frame);
    QFETCH(QString, shownText);
    QFETCH(int, border);
    GameHarness h(identityGameDraws());
    const GameWindow::Controls& c = h.w()->controls();
    const QHash<QString, QWidget*> controls = {
        {"historyTitle", c.historyTitle}, {"historyAmounts", c.historyAmounts[4]},
        {"historyFrame", c.historyFrame}, {"phoneGlyph", c.phoneGlyph},
        {"phoneFrame", c.phoneFrame},     {"counterNumber", c.counterNumber},
        {"numberFrame", c.numberFrame},   {"counterCaption", c.counterCaption},
        {"captionFrame", c.captionFrame}};
    auto* label = qobject_cast<QLabel*>(controls.value(text));
    QWidget* around = controls.value(frame);
    QVERIFY(label && around);
    if (!shownText.isEmpty())
        label->setText(shownText);
    if (auto* picture = qobject_cast<QLabel*>(around); picture && !picture->pixmap().isNull())
        QCOMPARE(picture->pixmap().deviceIndependentSize().toSize(), around->size());

    QImage ink(label->size(), QImage::Format_ARGB32_Premultiplied);
    ink.fill(Qt::transparent);
    label->render(&ink, QPoint(), QRegion(), QWidget::RenderFlags());
    QRect inked;
    for (int y = 0; y < ink.height(); ++y) {
        for (int x = 0; x < ink.width(); ++x) {
            if (qAlpha(ink.pixel(x, y)) > 0)
                inked |= QRect(x, y, 1, 1);
        }
    }
    QVERIFY(!inked.isEmpty());
    inked.translate(label->pos());
    const QRect inside = around->geometry().adjusted(border, border, -border, -border);
    QVERIFY2(inside.contains(inked), qPrintable(QStringLiteral("ink at %1,%2 %3x%4")
                                                    .arg(inked.x())
                                                    .arg(inked.y())
                                                    .arg(inked.width())
                                                    .arg(inked.height())));
}

void TestMainWindow::lidsStandAtFrameOne() {
    GameHarness h(identityGameDraws());
    for (MovieWidget* lid : h.w()->controls().caseLids) {
        QVERIFY(lid->file().endsWith(media::kMovieLidOpen));
        QVERIFY(lid->isLoaded());
        QCOMPARE(lid->frame(), 1);
        QVERIFY(!lid->isPlaying());
    }
    QVERIFY(h.w()->controls().winningsPanel->file().endsWith(media::kMovieBankOpen));
    QVERIFY(h.w()->controls().boardPlates[0]->file().endsWith(media::kMovieOpenPlate));
}

void TestMainWindow::caseSkinArrangesThePlates_data() {
    QTest::addColumn<int>("skin");
    QTest::newRow("first arrangement") << 0;
    QTest::newRow("second arrangement") << 1;
    QTest::newRow("designed plates") << 2;
}

void TestMainWindow::caseSkinArrangesThePlates() {
    QFETCH(int, skin);
    GameHarness h(identityGameDraws(skin));
    QCOMPARE(int(h.app->state().caseSkin), skin);
    for (int i = 0; i < 22; ++i) {
        const QImage shown = h.w()->controls().casePlates[i]->picture().toImage();
        const QImage expected =
            pictures::load(pictures::plateName(game::plateForCase(skin, i)), 1).toImage();
        QVERIFY(!expected.isNull());
        QCOMPARE(shown, expected);
    }
}

void TestMainWindow::startShufflesAndWritesTheAmounts() {
    std::vector<float> draws = {drawFor(2, 3)};
    for (int i = 0; i < 22; ++i)
        draws.push_back(drawFor((i * 7) % 22, 22));
    GameHarness a(draws);
    QVERIFY(a.startGame());
    GameWindow* w = a.w();
    for (int i = 0; i < 22; ++i) {
        QCOMPARE(w->controls().caseAmounts[i]->text(),
                 game::amountText(a.app->state().caseAmount[i]));
        QCOMPARE(w->controls().boardAmounts[i]->text(), game::amountText(i));
        QVERIFY(w->controls().casePlates[i]->isEnabled());
    }
    QVERIFY(w->controls().startButton->isHidden());
    QVERIFY(!a.app->state().offerTaken);

    GameHarness b(draws);
    QVERIFY(b.startGame());
    QCOMPARE(b.app->state().caseAmount, a.app->state().caseAmount);
}

void TestMainWindow::revealRunsInRealTime() {
    GameHarness h(identityGameDraws());
    QElapsedTimer clock;
    clock.start();
    QVERIFY(GameHarness::click(h.w()->controls().startButton));
    QTRY_VERIFY_WITH_TIMEOUT(!h.w()->controls().boardAmounts[21]->isHidden(), 3000);
    const qint64 first = clock.elapsed();
    QTRY_VERIFY_WITH_TIMEOUT(h.w()->controls().counterCaption->isVisible(), 6000);
    const qint64 last = clock.elapsed();
    QVERIFY2(first >= 990, qPrintable(QString::number(first)));
    QVERIFY2(last - first >= 21 * 75 - 10, qPrintable(QString::number(last - first)));
    QCOMPARE(h.w()->game().timer(game::Game::Step::BoardReveal).interval(), 0);
}

void TestMainWindow::clicksBeforeStartDoNothing() {
    GameHarness h(identityGameDraws());
    QVERIFY(!GameHarness::click(h.w()->controls().casePlates[4]));
    QTest::mouseClick(h.w()->controls().casePlates[4],
                      Qt::LeftButton);               // ignored by a disabled plate
    emit h.w()->controls().casePlates[4]->clicked(); // nor taken from a stray signal
    QCOMPARE(h.app->state().ownCase, qint16(-1));
    QVERIFY(h.sound()->history().isEmpty());
}

// A new game in mid-game is played in the same window, drawn as newly loaded:
// the own case home again, the board hidden, the sound stopped.
void TestMainWindow::newGameDrawsTheWindowAfresh() {
    GameHarness h(identityGameDraws(0));
    QVERIFY(h.startGame());
    h.random->append({drawFor(0, 2)});
    QVERIFY(GameHarness::click(h.w()->controls().casePlates[3]));
    GameWindow* w = h.w();
    QVERIFY(h.sound()->isPlaying());

    h.random->append({drawFor(1, 3)});
    h.app->newGame();
    QCOMPARE(h.w(), w);
    QVERIFY(!h.sound()->isPlaying());
    const GameWindow::Controls& c = w->controls();
    QCOMPARE(int(h.app->state().caseSkin), 1);
    QCOMPARE(c.casePlates[3]->geometry(), twips::toPixels(layout::casePlate(3)));
    QVERIFY(c.startButton->isVisible() && c.newGameButton->isHidden());
    QVERIFY(c.boardAmounts[0]->isHidden() && c.counterCaption->isHidden());
    QVERIFY(!c.casePlates[0]->isEnabled());
    QCOMPARE(c.counterNumber->text(), QStringLiteral("6"));

    QVERIFY(h.startGame());
    h.random->append({drawFor(0, 2)});
    QVERIFY(GameHarness::click(c.casePlates[7]));
    QCOMPARE(h.app->state().ownCase, qint16(7));
}

void TestMainWindow::logIsEmptiedAtLoad() {
    GameHarness h(identityGameDraws());
    QFile log(h.dir() + "/log.txt");
    QVERIFY(log.exists());
    QCOMPARE(log.size(), qint64(0));
    QVERIFY(log.open(QIODevice::Append));
    log.write("100\r\n\r\n");
    log.close();
    h.random->append({drawFor(0, 3)});
    h.app->newGame();
    QCOMPARE(QFileInfo(h.dir() + "/log.txt").size(), qint64(0));
}

void TestMainWindow::unwritableStartDirectoryStillStarts() {
    // A directory standing where the log should be: the game starts all the same.
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("log.txt"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        GameApp app([] { return std::make_unique<FakeSoundPlayer>(); },
                    std::make_unique<game::ReplayRandom>(identityGameDraws()));
        app.start();
        QVERIFY(app.window()->isVisible());
        QVERIFY(GameHarness::click(app.window()->controls().startButton));
    }
    QDir::setCurrent(previous);
}

// A folder named in Windows-1251 (bytes that are not UTF-8): the log is written
// there and a re-skin file there is played.
void TestMainWindow::startFolderNamedInAnotherCodePage() {
    QTemporaryDir scratch;
    const QByteArray folder = QFile::encodeName(scratch.path()) + "/\xc8\xe3\xf0\xfb";
    const QByteArray reskin = folder + "/music/magic2.mp3";
    QVERIFY(::mkdir(folder.constData(), 0700) == 0);
    QVERIFY(::mkdir((folder + "/music").constData(), 0700) == 0);
    FILE* sound = std::fopen(reskin.constData(), "w");
    QVERIFY(sound && std::fputs("x", sound) >= 0 && std::fclose(sound) == 0);
    const QByteArray previous = QFile::encodeName(QDir::currentPath());
    QVERIFY(::chdir(folder.constData()) == 0);
    media::setAssetDirectory(QStringLiteral(ZORBAN_SOURCE_DIR "/assets"));
    QByteArray played;
    {
        std::vector<float> draws = identityGameDraws();
        draws.push_back(drawFor(0, 2)); // the banker's manner
        GameApp app([] { return std::make_unique<FakeSoundPlayer>(); },
                    std::make_unique<game::ReplayRandom>(draws),
                    scratch.filePath(QStringLiteral("statistics.json")));
        app.start();
        const GameWindow::Controls& ui = app.window()->controls();
        QVERIFY(GameHarness::click(ui.startButton));
        for (int tick = 0; tick < 23; ++tick)
            app.game().timer(game::Game::Step::BoardReveal).fireNow();
        auto* sound = static_cast<FakeSoundPlayer*>(app.window()->soundPlayer());
        QVERIFY(!sound->history().isEmpty());
        played = media::nativePath(sound->history().front());
        QVERIFY(GameHarness::click(ui.casePlates[21]));
        QVERIFY(GameHarness::click(ui.casePlates[0]));
        sound->endClip();
        QVERIFY(ui.casePlates[0]->isHidden());
    }
    QVERIFY(::chdir(previous.constData()) == 0);
    QByteArray logged(64, '\0');
    FILE* log = std::fopen((folder + "/log.txt").constData(), "rb");
    logged.truncate(log ? qsizetype(std::fread(logged.data(), 1, 64, log)) : 0);
    if (log)
        std::fclose(log);
    // Qt cannot name what is in the folder to remove it.
    for (const char* file : {"/music/magic2.mp3", "/log.txt"})
        ::unlink((folder + file).constData());
    ::rmdir((folder + "/music").constData());
    ::rmdir(folder.constData());
    QCOMPARE(played, reskin);
    QCOMPARE(logged, QByteArray("0.01\r\n\r\n"));
}

void TestMainWindow::logoOpensOneCreditsWindow() {
    GameHarness h(identityGameDraws());
    QVERIFY(!h.app->credits());
    QVERIFY(GameHarness::click(h.w()->controls().logo));
    QPointer<CreditsWindow> credits = h.app->credits();
    QVERIFY(credits);
    QVERIFY(credits->isVisible());
    QCOMPARE(credits->windowTitle(), QStringLiteral("Об авторах..."));
    QVERIFY(!credits->isModal());
    const int entry = credits->entryIndex();
    credits->tick();
    QVERIFY(GameHarness::click(h.w()->controls().logo));
    QCOMPARE(h.app->credits(), credits.data());
    QCOMPARE(credits->entryIndex(), entry); // not loaded again

    // The game goes on beside it; a new game leaves it open.
    QVERIFY(h.startGame());
    credits->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(credits.isNull());
    QVERIFY(GameHarness::click(h.w()->controls().logo));
    QVERIFY(h.app->credits());
    QCOMPARE(h.app->credits()->entryIndex(), 0);
}

void TestMainWindow::closingTheWindowClosesTheCredits() {
    GameHarness h(identityGameDraws());
    QVERIFY(GameHarness::click(h.w()->controls().logo));
    QPointer<CreditsWindow> credits = h.app->credits();
    QVERIFY(credits && credits->isVisible());
    QVERIFY(h.w()->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(credits.isNull() || !credits->isVisible());
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
