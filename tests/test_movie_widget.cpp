#include "movie_animation.h"
#include "movie_clock.h"
#include "movie_widget.h"

#include <QPalette>
#include <QPointer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

QString movie(const QString& name) {
    return QStringLiteral(ZORBAN_TEST_DATA "/movies/") + name;
}

// Every message about a movie file that reached the message handler.
QStringList movieReports;
QtMessageHandler previousHandler = nullptr;

void countMovieReports(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String("zorban: movie")))
        movieReports.append(text);
    previousHandler(type, context, text);
}

} // namespace

class TestMovieWidget : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void brokenFileLeavesWidgetEmpty_data();
    void brokenFileLeavesWidgetEmpty();
    void damagedMoviesNeverCrash();
    void startsByItselfOnlyWhenShown_data();
    void startsByItselfOnlyWhenShown();
    void advancesWithTime_data();
    void advancesWithTime();
    void frameNumStandsUntilPlay_data();
    void frameNumStandsUntilPlay();
    void hiddenMoviePausesAndGoesOn();
    void sharesAnimationAndFrames();
    void onlyShownFramesStayOnceNothingPlays();
    void scaleModes_data();
    void scaleModes();
    void paintsOverWhatLiesBeneath();
    void sharedTimerRunsOnlyWhileSomethingPlays();
    void playsInRealTime();

  private:
    // A shown window that holds the movie widgets of one test.
    std::unique_ptr<QWidget> window_;
    MovieWidget* addMovie(ScaleMode mode, QSize size);
};

void TestMovieWidget::initTestCase() {
    previousHandler = qInstallMessageHandler(countMovieReports);
}

void TestMovieWidget::cleanupTestCase() {
    qInstallMessageHandler(previousHandler);
}

void TestMovieWidget::init() {
    window_ = std::make_unique<QWidget>();
    window_->resize(400, 300);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    MovieClock::instance().setManualTime(true);
}

void TestMovieWidget::cleanup() {
    window_.reset();
    MovieClock::instance().setManualTime(false);
    // Nothing outlives the widgets that used it.
    const MovieCacheStatistics statistics = MovieAnimation::statistics();
    QCOMPARE(statistics.animations, 0);
    QCOMPARE(statistics.files, 0);
    QCOMPARE(MovieClock::instance().clientCount(), 0);
    QVERIFY(!MovieClock::instance().isRunning());
}

MovieWidget* TestMovieWidget::addMovie(ScaleMode mode, QSize size) {
    auto* widget = new MovieWidget(mode, window_.get());
    widget->resize(size);
    widget->show();
    return widget;
}

void TestMovieWidget::brokenFileLeavesWidgetEmpty_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("report");
    const QString missing = QStringLiteral("zorban: movie file missing: ");
    const QString unreadable =
        QStringLiteral("zorban: movie file cannot be read as an animation: ");
    const QString absent = movie(QStringLiteral("no such movie.json"));
    QTest::newRow("missing") << absent << missing + absent;
    QTest::newRow("a folder") << movie(QString()) << missing + movie(QString());
    for (const char* name : {"broken_not_lottie.json", "broken_no_frames.json",
                             "broken_frame_rate.json", "broken_size.json"}) {
        const QString path = movie(QLatin1String(name));
        QTest::newRow(name) << path << unreadable + path;
    }
    // What is not JSON never reaches rlottie, which would draw what it made of it.
    for (const char* name : {"broken_empty.json", "broken_truncated.json"})
        QTest::newRow(name) << movie(QLatin1String(name))
                            << QStringLiteral("zorban: movie file refused (not JSON");
    // Movies made to exhaust rlottie are refused before it sees them.
    static QTemporaryDir hostile;
    QFile square(movie(QStringLiteral("square.json")));
    QVERIFY(square.open(QIODevice::ReadOnly));
    const QByteArray good = square.readAll();
    const QByteArray box = R"({"ty": "rc", "nm": "box")";
    const auto repeated = [&](const char* copies) {
        QByteArray text = good;
        return text.replace(box, QByteArray(R"({"ty": "rp", "c": {"a": 0, "k": )") + copies +
                                     R"(}, "o": {"a": 0, "k": 0}, "m": 1}, )" + box);
    };
    constexpr int kNestedGroups = 200000;
    QByteArray nested = good;
    nested.replace(box, QByteArray(R"({"ty": "gr", "it": [)").repeated(kNestedGroups) + "]}" +
                            QByteArray("]}").repeated(kNestedGroups - 1) + ", " + box);
    // Precompositions drawing one another, and images held in or named by a movie.
    const auto corpus = [](const char* name) {
        QFile file(QStringLiteral(ZORBAN_SOURCE_DIR "/tests/fuzz/corpus/movie/") +
                   QLatin1String(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray precompositions = corpus("precompositions-drawn-a-billion-times.json");
    const QByteArray image = corpus("embedded-image-16384-square.json");
    const QByteArray notUtf8 = corpus("precompositions-behind-a-byte-that-is-no-utf8.json");
    QVERIFY(!precompositions.isEmpty() && !image.isEmpty() && !notUtf8.isEmpty());
    QByteArray loop = precompositions;
    loop.replace(R"("refId":"a1")", R"("refId":"a0")");
    const QByteArray unreadableImage =
        QByteArray(image).replace("iVBORw0KGgo", "AAAAAAAAAAA"); // no image header left
    const qsizetype asset = image.indexOf(R"("u":)");
    const QByteArray device = QByteArray(image).replace(
        asset, image.indexOf(R"("e":1)") + 5 - asset, R"("u":"/dev/","p":"zero","e":0)");
    const QList<QPair<const char*, QByteArray>> movies = {
        {"a repeater of a million copies", repeated("1000000")},
        {"a repeater of a billion copies", repeated("1e9")},
        {"groups nested 200000 deep", nested},
        {"precompositions drawn a billion times", precompositions},
        {"a precomposition that contains itself", loop},
        {"an embedded image of 16384 x 16384", image},
        {"an embedded image of no size", unreadableImage},
        {"an image that is a device", device},
        {"precompositions behind a byte that is no UTF-8", notUtf8}};
    for (const auto& [name, bytes] : movies) {
        const QString path = hostile.filePath(QString::fromLatin1(name) + ".json");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        QTest::newRow(name) << path << QStringLiteral("zorban: movie file refused (");
    }
}

void TestMovieWidget::brokenFileLeavesWidgetEmpty() {
    QFETCH(QString, path);
    QFETCH(QString, report);
    movieReports.clear();
    MovieWidget* first = addMovie(ScaleMode::ExactFit, {50, 50});
    MovieWidget* second = addMovie(ScaleMode::ShowAll, {50, 50});
    for (MovieWidget* widget : {first, second, first}) {
        widget->setFile(path);
        widget->jumpToFrame(3);
        widget->play();
        QVERIFY(!widget->isLoaded());
        QVERIFY(!widget->isPlaying());
        QCOMPARE(widget->frameCount(), 0);
        QCOMPARE(widget->frame(), 0);
        QVERIFY(widget->renderedFrame().isNull());
    }
    QCOMPARE(movieReports.size(), 1);
    QVERIFY2(movieReports.first().startsWith(report), qPrintable(movieReports.first()));
    QVERIFY2(movieReports.first().endsWith(path), qPrintable(movieReports.first()));

    // A good movie after a broken one plays as usual.
    first->setFile(movie(QStringLiteral("square.json")));
    QVERIFY(first->isLoaded());
    QVERIFY(first->isPlaying());
    QCOMPARE(movieReports.size(), 1);
}

// The game's own movies damaged in many seeded ways: cut at many places, bytes
// replaced by JSON punctuation or digits, numbers replaced by extreme values,
// and deep nesting. Each either loads and draws its frames, or leaves the widget
// empty with one report.
void TestMovieWidget::damagedMoviesNeverCrash() {
    QTemporaryDir dir;
    QRandomGenerator random(2026);
    QList<QByteArray> variants;
    variants << QByteArray(100000, '[')
             << "{\"v\":\"5.7\",\"fr\":30,\"ip\":0,\"op\":10,\"w\":10,\"h\":10,\"layers\":" +
                    QByteArray(20000, '[') + QByteArray(20000, ']') + "}";
    const QRegularExpression number(QStringLiteral("-?\\d+(\\.\\d+)?"));
    const QByteArray punctuation = " {}[],:\"0123456789-.eE";
    const char* extremes[] = {"1e308", "-1e308", "-1", "0",         "\"x\"",
                              "null",  "[]",     "{}", "4294967296"};
    for (const QFileInfo& file :
         QDir(QStringLiteral(ZORBAN_SOURCE_DIR "/assets/flashes")).entryInfoList({"*.json"})) {
        QFile in(file.filePath());
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray good = in.readAll();
        for (int cut = 1; cut < 40; ++cut)
            variants << good.left(good.size() * cut / 40);
        for (int i = 0; i < 60; ++i) {
            QByteArray bytes = good;
            for (int k = 0, n = 1 + random.bounded(4); k < n; ++k)
                bytes[random.bounded(int(bytes.size()))] =
                    punctuation[random.bounded(int(punctuation.size()))];
            variants << bytes;
        }
        const QString text = QString::fromUtf8(good);
        QList<QRegularExpressionMatch> numbers;
        for (const QRegularExpressionMatch& match : number.globalMatch(text))
            numbers << match;
        for (int i = 0; i < 60; ++i) {
            QString bytes = text;
            for (int k = 0, n = 1 + random.bounded(3); k < n; ++k) {
                const QRegularExpressionMatch& m = numbers[random.bounded(int(numbers.size()))];
                bytes.replace(m.capturedStart(), m.capturedLength(),
                              QLatin1String(extremes[random.bounded(int(std::size(extremes)))]));
            }
            variants << bytes.toUtf8();
        }
    }

    movieReports.clear();
    int loaded = 0;
    MovieWidget* widget = addMovie(ScaleMode::ExactFit, {40, 30});
    for (int i = 0; i < variants.size(); ++i) {
        const QString path = dir.filePath(QStringLiteral("damaged-%1.json").arg(i));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(variants[i]);
        out.close();
        widget->setFile(path);
        if (!widget->isLoaded())
            continue;
        ++loaded;
        QVERIFY(widget->frameCount() > 0);
        for (int frame : {0, widget->frameCount() / 2, widget->frameCount() - 1}) {
            widget->jumpToFrame(frame);
            QVERIFY2(!widget->renderedFrame().isNull(), qPrintable(QString::number(i)));
        }
    }
    // Both outcomes were met, and only the files refused were reported.
    QVERIFY(loaded > 0);
    QCOMPARE(movieReports.size(), variants.size() - loaded);
    widget->setFile(QString());
}

void TestMovieWidget::startsByItselfOnlyWhenShown_data() {
    QTest::addColumn<bool>("shown");
    QTest::newRow("shown") << true;
    QTest::newRow("hidden") << false;
}

void TestMovieWidget::startsByItselfOnlyWhenShown() {
    QFETCH(bool, shown);
    MovieClock& clock = MovieClock::instance();
    MovieWidget* widget = addMovie(ScaleMode::ExactFit, {50, 50});
    widget->setVisible(shown);
    widget->setFile(movie(QStringLiteral("square.json")));
    QCOMPARE(widget->isPlaying(), shown);
    QCOMPARE(clock.isRunning(), shown);
    clock.advance(70);
    QCOMPARE(widget->frame(), shown ? 3 : 0);

    // Showing a waiting movie does not start it; Play does.
    widget->show();
    clock.advance(70);
    QCOMPARE(widget->frame(), shown ? 7 : 0);
    widget->play();
    QVERIFY(widget->isPlaying());
    clock.advance(30);
    QCOMPARE(widget->frame(), shown ? 8 : 1);
}

void TestMovieWidget::advancesWithTime_data() {
    QTest::addColumn<bool>("loop");
    QTest::addColumn<int>("elapsedMs");
    QTest::addColumn<int>("frame");
    QTest::addColumn<bool>("playing");
    // square.json: 10 frames at 50 per second, one frame every 20 ms.
    QTest::newRow("once, first frame") << false << 19 << 0 << true;
    QTest::newRow("once, middle") << false << 110 << 5 << true;
    QTest::newRow("once, frame before last") << false << 179 << 8 << true;
    QTest::newRow("once, reaches last") << false << 180 << 9 << false;
    QTest::newRow("once, long after") << false << 5000 << 9 << false;
    QTest::newRow("loop, last") << true << 190 << 9 << true;
    QTest::newRow("loop, wraps to first") << true << 200 << 0 << true;
    QTest::newRow("loop, second round") << true << 250 << 2 << true;
    QTest::newRow("loop, many rounds") << true << 10070 << 3 << true;
}

void TestMovieWidget::advancesWithTime() {
    QFETCH(bool, loop);
    QFETCH(int, elapsedMs);
    QFETCH(int, frame);
    QFETCH(bool, playing);
    MovieWidget* widget = addMovie(ScaleMode::ExactFit, {50, 50});
    widget->setFile(movie(QStringLiteral("square.json")));
    QCOMPARE(widget->frameCount(), 10);
    widget->setLoop(loop);
    MovieClock::instance().advance(elapsedMs);
    QCOMPARE(widget->frame(), frame);
    QCOMPARE(widget->isPlaying(), playing);
}

void TestMovieWidget::frameNumStandsUntilPlay_data() {
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("frame");
    QTest::newRow("1, as on every lid") << 1 << 1;
    QTest::newRow("first") << 0 << 0;
    QTest::newRow("last") << 9 << 9;
    QTest::newRow("below the movie") << -4 << 0;
    QTest::newRow("beyond the movie") << 250 << 9;
}

void TestMovieWidget::frameNumStandsUntilPlay() {
    QFETCH(int, requested);
    QFETCH(int, frame);
    MovieClock& clock = MovieClock::instance();
    MovieWidget* widget = addMovie(ScaleMode::ShowAll, {50, 50});
    widget->setFile(movie(QStringLiteral("square.json")));
    widget->setLoop(false);
    clock.advance(30);
    widget->jumpToFrame(requested);
    QCOMPARE(widget->frame(), frame);
    QVERIFY(!widget->isPlaying());
    clock.advance(500);
    QCOMPARE(widget->frame(), frame);

    // The picture is the requested frame: the square turns from red to blue.
    const QColor colour = QColor::fromRgba(widget->renderedFrame().pixel(25, 25));
    const double share = frame / 9.0;
    QVERIFY2(qAbs(colour.redF() - (1 - share)) < 0.1 && qAbs(colour.blueF() - share) < 0.1,
             qPrintable(colour.name()));

    widget->play();
    QCOMPARE(widget->isPlaying(), frame < 9);
    clock.advance(50);
    QCOMPARE(widget->frame(), qMin(frame + 2, 9));
}

void TestMovieWidget::hiddenMoviePausesAndGoesOn() {
    MovieClock& clock = MovieClock::instance();
    MovieWidget* widget = addMovie(ScaleMode::ExactFit, {50, 50});
    widget->setFile(movie(QStringLiteral("slider.json"))); // 25 per second, 40 ms a frame
    QCOMPARE(widget->frameCount(), 20);
    clock.advance(130);
    QCOMPARE(widget->frame(), 3);

    widget->hide();
    QVERIFY(widget->isPlaying());
    QVERIFY(!clock.isRunning());
    clock.advance(2000);
    QCOMPARE(widget->frame(), 3);

    widget->show();
    QVERIFY(clock.isRunning());
    clock.advance(85);
    QCOMPARE(widget->frame(), 5);

    // Hiding the window hides its movies too.
    window_->hide();
    QVERIFY(!clock.isRunning());
    clock.advance(1000);
    window_->show();
    clock.advance(40);
    QCOMPARE(widget->frame(), 6);
}

void TestMovieWidget::sharesAnimationAndFrames() {
    const QString square = movie(QStringLiteral("square.json"));
    MovieWidget* first = addMovie(ScaleMode::ExactFit, {60, 40});
    MovieWidget* second = addMovie(ScaleMode::ExactFit, {60, 40});
    for (MovieWidget* widget : {first, second}) {
        widget->setFile(square);
        widget->jumpToFrame(4);
    }
    const qint64 renderedBefore = MovieAnimation::statistics().framesRendered;
    const QImage picture = first->renderedFrame();
    QCOMPARE(second->renderedFrame(), picture);
    MovieCacheStatistics statistics = MovieAnimation::statistics();
    QCOMPARE(statistics.files, 1);
    QCOMPARE(statistics.animations, 1);
    QCOMPARE(statistics.cachedFrames, 1);
    QCOMPARE(statistics.cachedBytes, qint64(60 * 40 * 4));
    QCOMPARE(statistics.framesRendered, renderedBefore + 1);

    // A frame is rendered once however often it is drawn.
    for (MovieWidget* widget : {first, second, first})
        widget->grab();
    QCOMPARE(MovieAnimation::statistics().framesRendered, renderedBefore + 1);

    // Another size or scale mode is another animation; the file is still read once.
    MovieWidget* larger = addMovie(ScaleMode::ExactFit, {80, 40});
    MovieWidget* showAll = addMovie(ScaleMode::ShowAll, {60, 40});
    for (MovieWidget* widget : {larger, showAll}) {
        widget->setFile(square);
        widget->jumpToFrame(4);
        QVERIFY(!widget->renderedFrame().isNull());
    }
    statistics = MovieAnimation::statistics();
    QCOMPARE(statistics.files, 1);
    QCOMPARE(statistics.animations, 3);
    QCOMPARE(statistics.framesRendered, renderedBefore + 3);

    // A resized widget moves to the animation of its new size.
    larger->resize(60, 40);
    QCOMPARE(larger->renderedFrame(), picture);
    QCOMPARE(MovieAnimation::statistics().animations, 2);

    // The last widget to let go of a movie releases it.
    delete first;
    delete larger;
    QCOMPARE(MovieAnimation::statistics().animations, 2);
    second->setFile(movie(QStringLiteral("slider.json")));
    QVERIFY(!second->renderedFrame().isNull());
    statistics = MovieAnimation::statistics();
    QCOMPARE(statistics.files, 2);
    QCOMPARE(statistics.animations, 2);
    delete showAll;
    statistics = MovieAnimation::statistics();
    QCOMPARE(statistics.files, 1);
    QCOMPARE(statistics.animations, 1);
}

void TestMovieWidget::onlyShownFramesStayOnceNothingPlays() {
    MovieClock& clock = MovieClock::instance();
    const QString square = movie(QStringLiteral("square.json")); // 10 frames in 200 ms
    MovieWidget* played = addMovie(ScaleMode::ExactFit, {60, 40});
    played->setFile(square);
    for (int step = 0; step < 4; ++step) {
        played->grab();
        clock.advance(40);
    }
    QVERIFY(played->isPlaying());
    QCOMPARE(MovieAnimation::statistics().cachedFrames, 4);
    clock.advance(200);
    QVERIFY(!played->isPlaying());

    // Nothing plays: only the frame on screen is kept, and it is still drawn.
    QCOMPARE(MovieAnimation::statistics().cachedFrames, 1);
    const QImage last = played->renderedFrame();
    QVERIFY(!last.isNull());
    played->grab();

    // Another widget showing that frame shares it; any other frame is rendered again.
    const qint64 renderedBefore = MovieAnimation::statistics().framesRendered;
    MovieWidget* standing = addMovie(ScaleMode::ExactFit, {60, 40});
    standing->setFile(square);
    standing->jumpToFrame(9);
    QCOMPARE(standing->renderedFrame(), last);
    QCOMPARE(MovieAnimation::statistics().framesRendered, renderedBefore);
    standing->jumpToFrame(0);
    QVERIFY(!standing->renderedFrame().isNull());
    QCOMPARE(MovieAnimation::statistics().framesRendered, renderedBefore + 1);
}

void TestMovieWidget::scaleModes_data() {
    QTest::addColumn<ScaleMode>("mode");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("square"); // where the 100 x 100 square lands
    QTest::newRow("exact fit, wide") << ScaleMode::ExactFit << QSize(90, 30) << QRect(0, 0, 90, 30);
    QTest::newRow("exact fit, tall") << ScaleMode::ExactFit << QSize(30, 90) << QRect(0, 0, 30, 90);
    QTest::newRow("show all, wide") << ScaleMode::ShowAll << QSize(90, 30) << QRect(30, 0, 30, 30);
    QTest::newRow("show all, tall") << ScaleMode::ShowAll << QSize(30, 90) << QRect(0, 30, 30, 30);
    QTest::newRow("show all, same shape")
        << ScaleMode::ShowAll << QSize(40, 40) << QRect(0, 0, 40, 40);
}

void TestMovieWidget::scaleModes() {
    QFETCH(ScaleMode, mode);
    QFETCH(QSize, size);
    QFETCH(QRect, square);
    MovieWidget* widget = addMovie(mode, size);
    widget->setFile(movie(QStringLiteral("square.json")));
    const QImage picture = widget->renderedFrame();
    QCOMPARE(picture.format(), QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(picture.size(), size * widget->devicePixelRatioF());
    int wrong = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const int alpha = qAlpha(picture.pixel(x, y));
            // Edge pixels of the square may be partly covered.
            const bool inside = square.adjusted(1, 1, -1, -1).contains(x, y);
            const bool outside = !square.adjusted(-1, -1, 1, 1).contains(x, y);
            if ((inside && alpha != 255) || (outside && alpha != 0))
                ++wrong;
        }
    }
    QCOMPARE(wrong, 0);
}

void TestMovieWidget::paintsOverWhatLiesBeneath() {
    QPalette palette = window_->palette();
    palette.setColor(QPalette::Window, Qt::green);
    window_->setPalette(palette);
    window_->setAutoFillBackground(true);
    MovieWidget* widget = addMovie(ScaleMode::ShowAll, {90, 30});
    widget->move(100, 50);
    widget->setFile(movie(QStringLiteral("square.json")));
    widget->jumpToFrame(0);
    const QImage screen = window_->grab().toImage();
    QCOMPARE(QColor(screen.pixel(105, 65)), QColor(Qt::green)); // the bar left of the square
    QCOMPARE(QColor(screen.pixel(145, 65)), QColor(Qt::red));   // the square, frame 0
    QCOMPARE(QColor(screen.pixel(185, 65)), QColor(Qt::green)); // the bar to its right
    QCOMPARE(QColor(screen.pixel(145, 85)), QColor(Qt::green)); // below the widget
}

void TestMovieWidget::sharedTimerRunsOnlyWhileSomethingPlays() {
    MovieClock& clock = MovieClock::instance();
    QVERIFY(!clock.isRunning());
    MovieWidget* slow = addMovie(ScaleMode::ExactFit, {50, 50}); // 25 per second: 800 ms
    MovieWidget* fast = addMovie(ScaleMode::ExactFit, {50, 50}); // 50 per second: 200 ms
    MovieWidget* standing = addMovie(ScaleMode::ShowAll, {50, 50});
    standing->setFile(movie(QStringLiteral("square.json")));
    standing->jumpToFrame(1);
    QVERIFY(!clock.isRunning());

    slow->setFile(movie(QStringLiteral("slider.json")));
    QVERIFY(clock.isRunning());
    QCOMPARE(clock.interval(), 20); // twice per frame
    fast->setFile(movie(QStringLiteral("square.json")));
    QCOMPARE(clock.interval(), 10);
    QCOMPARE(clock.clientCount(), 2);

    clock.advance(300);
    QVERIFY(!fast->isPlaying());
    QCOMPARE(clock.interval(), 20);
    clock.advance(600);
    QVERIFY(!slow->isPlaying());
    QVERIFY(!clock.isRunning());
    QCOMPARE(clock.clientCount(), 0);

    // A movie that goes away while it plays leaves the clock.
    slow->setLoop(true);
    slow->jumpToFrame(0);
    slow->play();
    QVERIFY(clock.isRunning());
    delete slow;
    QVERIFY(!clock.isRunning());
}

void TestMovieWidget::playsInRealTime() {
    MovieClock& clock = MovieClock::instance();
    clock.setManualTime(false);
    MovieWidget* widget = addMovie(ScaleMode::ExactFit, {50, 50});
    QElapsedTimer elapsed;
    elapsed.start();
    widget->setFile(movie(QStringLiteral("square.json"))); // 200 ms
    QTRY_VERIFY_WITH_TIMEOUT(!widget->isPlaying(), 3000);
    QVERIFY2(elapsed.elapsed() >= 180, qPrintable(QString::number(elapsed.elapsed())));
    QCOMPARE(widget->frame(), 9);
    QVERIFY(!clock.isRunning());
}

QTEST_MAIN(TestMovieWidget)
#include "test_movie_widget.moc"
