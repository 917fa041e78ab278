#include "pictures.h"

#include "amounts.h"

#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <cstdio>
#include <future>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace pictures {

namespace {

QString fileOf(const QString& name, bool doubleSize) {
    return QStringLiteral(":/pictures/") + name +
           (doubleSize ? QStringLiteral("@2x.png") : QStringLiteral(".png"));
}

// The file a picture is drawn from: the double-size one when wanted and there is one.
QString fileFor(const QString& name, bool doubleSize) {
    return doubleSize && QFile::exists(fileOf(name, true)) ? fileOf(name, true)
                                                           : fileOf(name, false);
}

QStringList iconFiles() {
    QStringList files;
    QDirIterator it(QStringLiteral(":/icons"), {QStringLiteral("*.png")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

// Every picture of the game is a PNG. Named as such, the reader goes straight to
// the built-in decoder; left to guess, it would first load every image format
// plugin installed to ask each whether it reads PNG.
QImage readPng(const QString& file) {
    QImageReader reader(file, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

// Pictures being decoded on the worker thread, by file, each ready when its
// future is. Only the window's thread touches this table.
struct DecodedAhead {
    std::unordered_map<QString, std::future<QImage>> images;
    std::vector<std::future<void>> workers; // joined when the program ends, if still running
};

DecodedAhead& decodedAhead() {
    static DecodedAhead ahead;
    return ahead;
}

// The picture decoded ahead from this file, waiting for it if need be; none when
// the file was not among them or has been taken already.
std::optional<QImage> takeDecodedAhead(const QString& file) {
    auto& images = decodedAhead().images;
    const auto found = images.find(file);
    if (found == images.end())
        return std::nullopt;
    QImage image = found->second.get(); // moved out: the future keeps no copy
    images.erase(found);
    return image;
}

// Decodes these files, in order, on a thread of its own; each picture is ready
// in the table as soon as it is decoded.
std::future<void> decodeOnWorker(const QStringList& files, DecodedAhead& ahead) {
    auto promises = std::make_shared<std::vector<std::promise<QImage>>>(files.size());
    for (qsizetype i = 0; i < files.size(); ++i)
        ahead.images.emplace(files[i], (*promises)[static_cast<size_t>(i)].get_future());
    // QImage, unlike QPixmap, may be made on any thread. Each is decoded into the
    // format a pixmap keeps, so that the window's thread takes it without a copy.
    return std::async(std::launch::async, [files, promises] {
        for (qsizetype i = 0; i < files.size(); ++i) {
            QImage image = readPng(files[i]);
            image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                    : QImage::Format_RGB32);
            (*promises)[static_cast<size_t>(i)].set_value(std::move(image));
        }
        promises->clear();
    });
}

QPixmap decode(const QString& file) {
    if (std::optional<QImage> image = takeDecodedAhead(file))
        return QPixmap::fromImage(std::move(*image));
    return QPixmap::fromImage(readPng(file));
}

} // namespace

QPixmap load(const QString& name, qreal devicePixelRatio) {
    const QString file = fileFor(name, devicePixelRatio > 1.0);
    QPixmap pixmap = decode(file);
    if (file != fileOf(name, false)) {
        pixmap.setDevicePixelRatio(2.0);
        return pixmap;
    }
    if (pixmap.isNull()) {
        static QSet<QString> reported;
        if (!reported.contains(name)) {
            reported.insert(name);
            std::fprintf(stderr, "zorban: picture missing: %s.png\n", qPrintable(name));
        }
    }
    return pixmap;
}

QString plateName(int plateIndex) {
    return QStringLiteral("plate%1").arg(plateIndex + 1, 2, 10, QLatin1Char('0'));
}

QIcon icon() {
    QIcon icon;
    for (const QString& file : iconFiles())
        icon.addPixmap(decode(file));
    return icon;
}

void decodeAhead() {
    DecodedAhead& ahead = decodedAhead();
    if (!ahead.workers.empty())
        return;
    const bool doubleSize = qApp->devicePixelRatio() > 1.0;
    // The backdrop takes as long as all the others together: it has a worker of its own.
    ahead.workers.push_back(decodeOnWorker({fileFor(kBackground, doubleSize)}, ahead));
    QStringList files;
    for (const QString& name : {kHistoryFrame, kBriefcase, kLogo})
        files << fileFor(name, doubleSize);
    for (int plate = 0; plate < game::kCaseCount; ++plate)
        files << fileFor(plateName(plate), doubleSize);
    ahead.workers.push_back(decodeOnWorker(files, ahead));
}

void forgetDecodedAhead() {
    decodedAhead().images.clear();
}

} // namespace pictures
