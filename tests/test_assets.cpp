// The game's own media: every file present under assets/, the pictures at the
// sizes the screen is laid out for, and the movies' first and last frames leave
// the places free that the game's texts need. (Sounds: test_sound_files.)
#include "media_files.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRect>
#include <QSet>
#include <QtTest>
#include <rlottie.h>

#include <memory>
#include <vector>

namespace {

const QString kAssets = QStringLiteral(ZORBAN_SOURCE_DIR "/assets/");

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

struct Frame {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    // Lowest and highest alpha inside rect.
    [[nodiscard]] std::pair<int, int> alphaRange(const QRect& rect) const {
        int low = 255;
        int high = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                const int alpha = static_cast<int>(pixels[y * width + x] >> 24);
                low = std::min(low, alpha);
                high = std::max(high, alpha);
            }
        }
        return {low, high};
    }
};

std::unique_ptr<rlottie::Animation> loadMovie(const QString& relativePath) {
    const QByteArray json = readAll(kAssets + relativePath);
    return rlottie::Animation::loadFromData(json.toStdString(), relativePath.toStdString(), "",
                                            false);
}

Frame render(rlottie::Animation& movie, size_t frame, int width, int height) {
    Frame out{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, 0)};
    rlottie::Surface surface(out.pixels.data(), width, height, width * 4);
    movie.renderSync(frame, surface);
    return out;
}

double meanLuminance(const QImage& image, const QRect& rect) {
    double sum = 0.0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x)
            sum += qGray(image.pixel(x, y));
    }
    return sum / (rect.width() * rect.height());
}

} // namespace

class TestAssets final : public QObject {
    Q_OBJECT

  private slots:
    void mediaFileExists_data();
    void mediaFileExists();
    void pictureSize_data();
    void pictureSize();
    void platesAreAllDifferent();
    void briefcaseBandCarriesDarkText();
    void movieFields_data();
    void movieFields();
    void movieFrame_data();
    void movieFrame();
};

void TestAssets::mediaFileExists_data() {
    QTest::addColumn<QString>("path");
    const QStringList files = media::allMovies() + media::allSounds();
    for (const QString& file : files)
        QTest::newRow(qPrintable(file)) << file;
}

void TestAssets::mediaFileExists() {
    QFETCH(QString, path);
    QVERIFY2(QFileInfo(kAssets + path).size() > 0, qPrintable(path + " is missing or empty"));
}

void TestAssets::pictureSize_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::newRow("logo") << QStringLiteral("logo") << QSize(304, 41);
    QTest::newRow("briefcase") << QStringLiteral("briefcase") << QSize(80, 65);
    QTest::newRow("background") << QStringLiteral("background") << QSize(1058, 758);
    QTest::newRow("history frame") << QStringLiteral("history-frame") << QSize(198, 246);
    for (int n = 1; n <= 22; ++n) {
        const QString name = QStringLiteral("plate%1").arg(n, 2, 10, QLatin1Char('0'));
        QTest::newRow(qPrintable(name)) << name << QSize(80, 55);
    }
}

void TestAssets::pictureSize() {
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QImage normal(kAssets + QStringLiteral("pictures/%1.png").arg(name));
    const QImage doubled(kAssets + QStringLiteral("pictures/%1@2x.png").arg(name));
    QCOMPARE(normal.size(), size);
    QCOMPARE(doubled.size(), size * 2);
}

void TestAssets::platesAreAllDifferent() {
    QSet<size_t> seen;
    for (int n = 1; n <= 22; ++n) {
        const QImage plate(kAssets +
                           QStringLiteral("pictures/plate%1.png").arg(n, 2, 10, QLatin1Char('0')));
        QVERIFY(!plate.isNull());
        const QImage pixels = plate.convertToFormat(QImage::Format_ARGB32);
        seen.insert(qHashBits(pixels.constBits(), static_cast<size_t>(pixels.sizeInBytes())));
    }
    QCOMPARE(seen.size(), 22);
}

void TestAssets::briefcaseBandCarriesDarkText() {
    // The amount of an open case is written in dark figures on the band at
    // y 32..49; the band must be light, the case around it darker.
    for (const int scale : {1, 2}) {
        const QString file =
            scale == 1 ? QStringLiteral("briefcase") : QStringLiteral("briefcase@2x");
        const QImage image = QImage(kAssets + QStringLiteral("pictures/%1.png").arg(file))
                                 .convertToFormat(QImage::Format_ARGB32);
        QVERIFY(!image.isNull());
        const double band =
            meanLuminance(image, QRect(10 * scale, 34 * scale, 60 * scale, 13 * scale));
        const double lining =
            meanLuminance(image, QRect(12 * scale, 6 * scale, 56 * scale, 20 * scale));
        QVERIFY2(band > 200.0, qPrintable(QStringLiteral("band luminance %1").arg(band)));
        QVERIFY2(lining < band - 80.0,
                 qPrintable(QStringLiteral("lining luminance %1").arg(lining)));
    }
}

void TestAssets::movieFields_data() {
    QTest::addColumn<QString>("path");
    for (const QString& movie : media::allMovies())
        QTest::newRow(qPrintable(movie)) << movie;
}

void TestAssets::movieFields() {
    QFETCH(QString, path);
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(readAll(kAssets + path), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject root = doc.object();
    const int width = root.value(QStringLiteral("w")).toInt();
    const int height = root.value(QStringLiteral("h")).toInt();
    const double rate = root.value(QStringLiteral("fr")).toDouble();
    const double in = root.value(QStringLiteral("ip")).toDouble();
    const double out = root.value(QStringLiteral("op")).toDouble(-1.0);
    QVERIFY(width > 0 && height > 0);
    QVERIFY(rate > 0.0 && rate <= 120.0);
    QVERIFY(out > in);
    const double seconds = (out - in) / rate;
    QVERIFY2(seconds >= 0.3 && seconds <= 1.0, qPrintable(QStringLiteral("%1 s").arg(seconds)));
    QVERIFY(!root.value(QStringLiteral("layers")).toArray().isEmpty());

    const std::unique_ptr<rlottie::Animation> movie = loadMovie(path);
    QVERIFY2(movie, "rlottie cannot load it");
    size_t movieWidth = 0;
    size_t movieHeight = 0;
    movie->size(movieWidth, movieHeight);
    QCOMPARE(movieWidth, static_cast<size_t>(width));
    QCOMPARE(movieHeight, static_cast<size_t>(height));
    QCOMPARE(movie->totalFrame(), static_cast<size_t>(out - in));
    QCOMPARE(movie->frameRate(), rate);
}

enum class Cover { Clear, Opaque };
// rlottie's gradient fills come out at alpha 253..254 where they cover fully.
constexpr int kNearlyOpaque = 240;
Q_DECLARE_METATYPE(Cover)

void TestAssets::movieFrame_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("last");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<Cover>("cover");

    const QRect amountBand(0, 28, 81, 25);
    QTest::newRow("lid closed at first")
        << media::kMovieLidOpen << false << QRect(2, 28, 77, 25) << Cover::Opaque;
    QTest::newRow("lid gone from the amount at last")
        << media::kMovieLidOpen << true << amountBand << Cover::Clear;
    QTest::newRow("plate closed at first")
        << media::kMovieOpenPlate << false << QRect(0, 0, 153, 33) << Cover::Clear;
    QTest::newRow("plate open at last")
        << media::kMovieOpenPlate << true << QRect(12, 4, 129, 25) << Cover::Opaque;
    QTest::newRow("bank panel framing the offer at last")
        << media::kMovieBankOpen << true << QRect(272, 6, 250, 53) << Cover::Opaque;
    QTest::newRow("bank panel gone after closing")
        << media::kMovieBankClose << true << QRect(0, 0, 529, 65) << Cover::Clear;
}

void TestAssets::movieFrame() {
    QFETCH(QString, path);
    QFETCH(bool, last);
    QFETCH(QRect, area);
    QFETCH(Cover, cover);
    const std::unique_ptr<rlottie::Animation> movie = loadMovie(path);
    QVERIFY(movie);
    size_t width = 0;
    size_t height = 0;
    movie->size(width, height);
    const size_t frame = last ? movie->totalFrame() - 1 : 0;
    const Frame image = render(*movie, frame, static_cast<int>(width), static_cast<int>(height));
    const auto [low, high] = image.alphaRange(area);
    if (cover == Cover::Clear)
        QVERIFY2(high == 0, qPrintable(QStringLiteral("alpha up to %1").arg(high)));
    else
        QVERIFY2(low >= kNearlyOpaque, qPrintable(QStringLiteral("alpha down to %1").arg(low)));
}

QTEST_MAIN(TestAssets)
#include "test_assets.moc"
