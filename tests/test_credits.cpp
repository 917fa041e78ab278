#include "credits_window.h"
#include "fake_sound_player.h"
#include "game_fonts.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <vector>

namespace {

using Phase = CreditsWindow::Phase;

constexpr int kDesignMainWidth = 15870;
constexpr int kTickLimit = 20000;
constexpr int kNameWidth = 7095;

// The credits window opened beside a main window whose width the test sets.
struct Credits {
    explicit Credits(int width, bool deleteOnClose = false) : mainWidth(width) {
        auto owned = std::make_unique<FakeSoundPlayer>();
        player = owned.get();
        window = new CreditsWindow(std::move(owned), [this] { return mainWidth; });
        window->setAttribute(Qt::WA_DeleteOnClose, deleteOnClose);
        window->show();
    }
    ~Credits() { delete window; }
    Credits(const Credits&) = delete;
    Credits& operator=(const Credits&) = delete;

    int mainWidth;
    QPointer<FakeSoundPlayer> player;
    QPointer<CreditsWindow> window;
};

// What the window shows after one tick.
struct Step {
    Phase phase;
    int entry; // before the tick
    int nameLeft;
    int rankGrey;
    bool mailShown;
    int namePixels;
    QString role;
    QString mail;
    int timersRunning;
};

int timersRunning(const CreditsWindow& window) {
    int count = 0;
    for (const Phase phase : {Phase::RoleFadeIn, Phase::NameSlideIn, Phase::Hold,
                              Phase::NameSlideOut, Phase::RoleFadeOut})
        count += window.timer(phase)->isActive() ? 1 : 0;
    return count;
}

// Drives the ticks until the window has closed itself.
std::vector<Step> runToEnd(CreditsWindow& window) {
    std::vector<Step> steps;
    while (window.runningPhase() != Phase::None && int(steps.size()) < kTickLimit) {
        const Phase phase = window.runningPhase();
        const int entry = window.entryIndex();
        window.tick();
        steps.push_back({phase, entry, window.nameLeft(),
                         window.roleLabel()->palette().color(QPalette::WindowText).red(),
                         !window.addressLabel()->isHidden(), window.nameLabel()->font().pixelSize(),
                         window.roleLabel()->text(), window.addressLabel()->text(),
                         timersRunning(window)});
    }
    return steps;
}

QString run(Phase phase, int entry, int ticks) {
    return QStringLiteral("phase %1 entry %2: %3 ticks").arg(int(phase)).arg(entry).arg(ticks);
}

// Each unbroken run of one phase's ticks.
QStringList runsOf(const std::vector<Step>& steps) {
    QStringList runs;
    for (std::size_t first = 0, i = 0; i < steps.size(); ++i) {
        if (i + 1 == steps.size() || steps[i + 1].phase != steps[i].phase) {
            runs << run(steps[first].phase, steps[first].entry, int(i - first + 1));
            first = i + 1;
        }
    }
    return runs;
}

// Ticks until the given phase of the given entry is about to run.
[[nodiscard]] bool tickUntil(CreditsWindow& window, Phase phase, int entry) {
    for (int i = 0; i < kTickLimit; ++i) {
        if (window.runningPhase() == phase && window.entryIndex() == entry)
            return true;
        window.tick();
    }
    return false;
}

} // namespace

class CreditsTest final : public QObject {
    Q_OBJECT
  private slots:
    void opensCentredWithLoopingMusic();
    void phasesFollowTheEntries();
    void roleFadesInAndOutThroughGreys();
    void addressShownOnlyWhileNameStandsStill();
    void nameComesToRestAtTheSamePlace_data();
    void nameComesToRestAtTheSamePlace();
    void namesRestartFromTheCurrentMainWindowWidth();
    void closingStopsTheMusic_data();
    void closingStopsTheMusic();
    void reopeningStartsOver();
    void closedWindowTakesItsPlayerAlong();
    void textsFitTheirLabels();
};

void CreditsTest::opensCentredWithLoopingMusic() {
    Credits credits(kDesignMainWidth);
    const CreditsWindow& window = *credits.window;
    QCOMPARE(window.size(), QSize(490, 139));
    // Centred up to the width of the frame around it.
    const QPoint screenCentre = window.screen()->availableGeometry().center();
    QVERIFY((window.frameGeometry().center() - screenCentre).manhattanLength() <= 8);

    QVERIFY(credits.player->isPlaying());
    QVERIFY(credits.player->file().endsWith(QStringLiteral("music/Rule.mp3")));
    QVERIFY(credits.player->isLooping());

    QCOMPARE(window.runningPhase(), Phase::RoleFadeIn);
    QCOMPARE(window.roleLabel()->text(), QStringLiteral("Разработчик"));
    QCOMPARE(window.roleLabel()->palette().color(QPalette::WindowText), QColor(Qt::black));
    QVERIFY(window.addressLabel()->isHidden());
    QVERIFY(window.closeButton()->isHidden());
    QCOMPARE(window.nameLabel()->x(), kDesignMainWidth / 15);
}

// One fade-in per role, every name slides in, stands and slides out, and the
// window closes on the first tick after the last name has gone; one timer runs
// at a time.
void CreditsTest::phasesFollowTheEntries() {
    Credits credits(kDesignMainWidth);
    const std::vector<Step> steps = runToEnd(*credits.window);
    for (const Step& step : steps)
        QCOMPARE(step.timersRunning, &step == &steps.back() ? 0 : 1);

    constexpr int kFade = 51;
    constexpr int kSlideIn = 78;  // (15870 - 371) / 200, rounded up
    constexpr int kSlideOut = 38; // from 360 to below -7095
    QStringList expected;
    for (const auto& [first, count] : {std::pair{0, 1}, {1, 3}, {4, 5}, {9, 2}}) {
        expected << run(Phase::RoleFadeIn, first, kFade);
        for (int entry = first; entry < first + count; ++entry) {
            expected << run(Phase::NameSlideIn, entry, kSlideIn)
                     << run(Phase::Hold, entry, entry >= 9 ? 350 : 130)
                     << run(Phase::NameSlideOut, entry, kSlideOut);
        }
        expected << run(Phase::RoleFadeOut, first + count, first == 9 ? 1 : kFade);
    }
    QCOMPARE(runsOf(steps), expected);

    QVERIFY(credits.window->isHidden());
    QVERIFY(!credits.player->isPlaying());
    QCOMPARE(credits.window->runningPhase(), Phase::None);
    // The last role does not fade out.
    QCOMPARE(steps.back().role, creditEntries()[10].role);
    QCOMPARE(steps.back().rankGrey, 250);
}

void CreditsTest::roleFadesInAndOutThroughGreys() {
    Credits credits(kDesignMainWidth);
    std::vector<int> fadeIn;
    std::vector<int> fadeOut;
    for (const Step& step : runToEnd(*credits.window)) {
        if (step.phase == Phase::RoleFadeIn && step.entry == 1)
            fadeIn.push_back(step.rankGrey);
        if (step.phase == Phase::RoleFadeOut && step.entry == 1) {
            fadeOut.push_back(step.rankGrey);
            // The old role fades, the new one replaces it in black at the end,
            // and the next name waits out of sight until then.
            const bool last = fadeOut.size() == 51;
            QCOMPARE(step.role, last ? creditEntries()[1].role : creditEntries()[0].role);
            QVERIFY(last || step.nameLeft < -kNameWidth);
        }
    }
    QCOMPARE(fadeIn.size(), std::size_t{51});
    QCOMPARE(fadeOut.size(), std::size_t{51});
    for (int i = 0; i < 51; ++i) {
        QCOMPARE(fadeIn[i], 5 * i);
        QCOMPARE(fadeOut[i], i == 50 ? 0 : 255 - 5 * i);
    }
}

// The address shows while the name stands still, and only then; the last name
// is smaller. Each entry is told once as it comes to rest (what a screen
// reader says).
void CreditsTest::addressShownOnlyWhileNameStandsStill() {
    Credits credits(kDesignMainWidth);
    QSignalSpy told(credits.window.data(), &CreditsWindow::entryShown);
    const std::vector<Step> steps = runToEnd(*credits.window);
    const CreditTable table = creditEntries();

    std::vector<int> entriesShown;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        const bool standing = step.phase == Phase::Hold || (step.phase == Phase::NameSlideIn &&
                                                            steps[i + 1].phase == Phase::Hold);
        QCOMPARE(step.mailShown, standing);
        if (!standing)
            continue;
        QCOMPARE(step.mail, table[step.entry].address);
        QCOMPARE(step.nameLeft, CreditsWindow::kNameRestLeft);
        QCOMPARE(step.namePixels, fonts::pixels(step.entry == 10 ? 22 : 27.75));
        if (entriesShown.empty() || entriesShown.back() != step.entry)
            entriesShown.push_back(step.entry);
    }
    QCOMPARE(entriesShown, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    std::vector<int> entriesTold;
    for (const QList<QVariant>& signal : told)
        entriesTold.push_back(signal.at(0).toInt());
    QCOMPARE(entriesTold, entriesShown);
}

void CreditsTest::nameComesToRestAtTheSamePlace_data() {
    QTest::addColumn<int>("mainWidth");
    QTest::addColumn<int>("slideInTicks");
    QTest::newRow("design width") << kDesignMainWidth << 78;
    QTest::newRow("with borders") << 16110 << 79;
    QTest::newRow("credits width") << 7350 << 35;
    QTest::newRow("one step short of the limit") << 571 << 2;
    QTest::newRow("one step reaches the limit") << 570 << 1;
    QTest::newRow("inside the window") << 100 << 1;
}

void CreditsTest::nameComesToRestAtTheSamePlace() {
    QFETCH(int, mainWidth);
    QFETCH(int, slideInTicks);
    Credits credits(mainWidth);
    CreditsWindow& window = *credits.window;
    QCOMPARE(window.nameLeft(), mainWidth);
    QVERIFY(tickUntil(window, Phase::NameSlideIn, 0));
    int ticks = 0;
    for (; window.runningPhase() == Phase::NameSlideIn; ++ticks)
        window.tick();
    QCOMPARE(ticks, slideInTicks);
    QCOMPARE(window.nameLeft(), CreditsWindow::kNameRestLeft);
    QCOMPARE(window.nameLabel()->pos(), QPoint(24, 48));
}

void CreditsTest::namesRestartFromTheCurrentMainWindowWidth() {
    Credits credits(kDesignMainWidth);
    CreditsWindow& window = *credits.window;

    QVERIFY(tickUntil(window, Phase::RoleFadeOut, 1));
    credits.mainWidth = 9000;
    QVERIFY(tickUntil(window, Phase::RoleFadeIn, 1));
    QCOMPARE(window.nameLeft(), 9000);

    QVERIFY(tickUntil(window, Phase::NameSlideOut, 1));
    credits.mainWidth = 12000;
    QVERIFY(tickUntil(window, Phase::NameSlideIn, 2));
    QCOMPARE(window.nameLeft(), 12000);
    QCOMPARE(window.nameLabel()->x(), 800);
    QCOMPARE(window.nameLabel()->text(), creditEntries()[2].name);
}

void CreditsTest::closingStopsTheMusic_data() {
    // How: the close box, "Закрыть", a click in the window, Esc.
    QTest::addColumn<QString>("how");
    QTest::addColumn<Phase>("phase");
    QTest::addColumn<int>("entry");
    for (const char* how : {"close box", "Закрыть", "click", "Esc"}) {
        QTest::addRow("%s, first fade-in", how) << how << Phase::RoleFadeIn << 0;
        QTest::addRow("%s, name sliding in", how) << how << Phase::NameSlideIn << 2;
        QTest::addRow("%s, name standing", how) << how << Phase::Hold << 3;
        QTest::addRow("%s, name sliding out", how) << how << Phase::NameSlideOut << 9;
        QTest::addRow("%s, role fading out", how) << how << Phase::RoleFadeOut << 4;
    }
}

void CreditsTest::closingStopsTheMusic() {
    QFETCH(QString, how);
    QFETCH(Phase, phase);
    QFETCH(int, entry);
    Credits credits(kDesignMainWidth);
    CreditsWindow& window = *credits.window;
    QVERIFY(tickUntil(window, phase, entry));
    window.tick();

    if (how == QStringLiteral("Закрыть"))
        window.closeButton()->click();
    else if (how == QStringLiteral("click"))
        QTest::mouseClick(&window, Qt::LeftButton, {}, window.nameLabel()->geometry().center());
    else if (how == QStringLiteral("Esc"))
        QTest::keyClick(&window, Qt::Key_Escape);
    else
        QVERIFY(window.close());

    QVERIFY(window.isHidden());
    QVERIFY(!credits.player->isPlaying());
    QCOMPARE(credits.player->isLooping(), how == QStringLiteral("close box"));
    QCOMPARE(window.runningPhase(), Phase::None);
}

void CreditsTest::reopeningStartsOver() {
    Credits credits(kDesignMainWidth);
    CreditsWindow& window = *credits.window;
    QVERIFY(tickUntil(window, Phase::Hold, 10));
    window.closeButton()->click();
    credits.mainWidth = 16110;

    window.show();
    QCOMPARE(window.entryIndex(), 0);
    QCOMPARE(window.stepCounter(), 0);
    QCOMPARE(window.holdTicks(), CreditsWindow::kHoldTicks);
    QCOMPARE(window.runningPhase(), Phase::RoleFadeIn);
    QCOMPARE(window.nameLabel()->font().pixelSize(), fonts::pixels(27.75));
    QCOMPARE(window.nameLabel()->text(), creditEntries()[0].name);
    QCOMPARE(window.nameLeft(), 16110);
    QCOMPARE(window.roleLabel()->text(), QStringLiteral("Разработчик"));
    QCOMPARE(window.roleLabel()->palette().color(QPalette::WindowText), QColor(Qt::black));
    QVERIFY(window.addressLabel()->isHidden());
    QCOMPARE(credits.player->history().size(), 2);
    QCOMPARE(credits.player->history().last(), credits.player->history().first());
    QVERIFY(credits.player->loopings().last());
    QVERIFY(credits.player->isPlaying());
}

// Opened the way the game opens it: the window and its player are gone once the
// sequence has ended.
void CreditsTest::closedWindowTakesItsPlayerAlong() {
    Credits credits(kDesignMainWidth, true);
    runToEnd(*credits.window);
    QVERIFY(credits.window);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!credits.window);
    QVERIFY(!credits.player);
}

void CreditsTest::textsFitTheirLabels() {
    Credits credits(kDesignMainWidth);
    const CreditsWindow& window = *credits.window;
    QFont smallName = window.nameLabel()->font();
    smallName.setPixelSize(fonts::pixels(22));
    const CreditTable table = creditEntries();
    for (int entry = 0; entry < kCreditEntryCount; ++entry) {
        const QFontMetrics name(entry == 10 ? smallName : window.nameLabel()->font());
        const CreditEntry& texts = table[entry];
        QVERIFY2(!texts.name.isEmpty(), qPrintable(QString::number(entry)));
        QVERIFY2(name.horizontalAdvance(texts.name) <= window.nameLabel()->width(),
                 qPrintable(texts.name));
        QVERIFY2(window.roleLabel()->fontMetrics().horizontalAdvance(texts.role) <=
                     window.roleLabel()->width(),
                 qPrintable(texts.role));
        QVERIFY2(window.addressLabel()->fontMetrics().horizontalAdvance(texts.address) <=
                     window.addressLabel()->width(),
                 qPrintable(texts.address));
    }
}

QTEST_MAIN(CreditsTest)
#include "test_credits.moc"
