#include "movie_structure.h"

#include "regular_file.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSize>
#include <algorithm>
#include <cmath>

namespace media {

namespace {

// How deep the raw text nests, counted before any parser recurses into it.
int nestingDepth(const QByteArray& json) {
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    for (qsizetype i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            deepest = std::max(deepest, ++depth);
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return deepest;
}

// The largest number a repeater's copies take, in any keyframe.
double largestNumber(const QJsonValue& value) {
    if (value.isDouble())
        return std::fabs(value.toDouble());
    double largest = 0;
    if (value.isArray()) {
        for (const QJsonValue& item : value.toArray())
            largest = std::max(largest, largestNumber(item));
    } else if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (const char* key : {"k", "s", "e"})
            largest = std::max(largest, largestNumber(object.value(QLatin1String(key))));
    }
    return largest;
}

qint64 pointsOf(const QJsonValue& value) {
    qint64 points = 0;
    if (value.isArray()) {
        for (const QJsonValue& item : value.toArray())
            points += pointsOf(item);
    } else if (value.isObject()) {
        const QJsonObject object = value.toObject();
        if (object.value(QLatin1String("v")).isArray())
            points += object.value(QLatin1String("v")).toArray().size();
        for (const char* key : {"k", "s", "e"})
            points += pointsOf(object.value(QLatin1String(key)));
    }
    return points;
}

// What a list of layers or shapes draws, each copy counted.
struct Cost {
    double layers = 0;
    double shapes = 0;
    double points = 0;

    Cost& operator+=(const Cost& other) {
        layers += other.layers;
        shapes += other.shapes;
        points += other.points;
        return *this;
    }
};

// The size an image's header declares, read without decoding it: embedded
// ("data:...;base64,") or a file named by the asset's folder and name.
// Invalid when there is no header to read; problem says why when the image
// must not be handed to rlottie at all.
QSize imageSize(const QJsonObject& asset, QString& problem) {
    const QString name = asset.value(QLatin1String("p")).toString();
    if (name.startsWith(QLatin1String("data:"))) {
        QByteArray bytes =
            QByteArray::fromBase64(name.mid(name.indexOf(QLatin1Char(',')) + 1).toLatin1());
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        return QImageReader(&buffer).size();
    }
    const QString path = asset.value(QLatin1String("u")).toString() + name;
    if (name.isEmpty() || !QFileInfo::exists(path))
        return {}; // nothing to load: rlottie draws no image
    // Never a pipe or a device, which rlottie would read without end.
    files::OpenFile opened(path, files::Access::Read, files::Links::Follow);
    QFile file;
    if (!opened.isOpen() ||
        !file.open(opened.release(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        problem = QStringLiteral("an image %1 that %2").arg(path, opened.problem());
        return {};
    }
    const QSize size = QImageReader(&file).size();
    if (!size.isValid())
        problem = QStringLiteral("an image %1 of no size that can be read").arg(path);
    return size;
}

class Walk {
  public:
    explicit Walk(const QJsonArray& assets) {
        for (const QJsonValue& value : assets) {
            const QJsonObject asset = value.toObject();
            if (asset.value(QLatin1String("layers")).isArray())
                precompositions_.insert(asset.value(QLatin1String("id")).toString(),
                                        asset.value(QLatin1String("layers")).toArray());
            else if (asset.contains(QLatin1String("p")))
                image(asset);
            if (!problem.isEmpty())
                return;
        }
    }

    QString problem;

    // The whole movie as drawn; each precomposition is also checked on its own,
    // used or not, so that nothing rlottie reads escapes the bounds.
    void movie(const QJsonArray& layers) {
        if (!problem.isEmpty())
            return;
        within(this->layers(layers, 0));
        for (auto it = precompositions_.cbegin();
             it != precompositions_.cend() && problem.isEmpty(); ++it)
            within(precomposition(it.key(), 0));
    }

  private:
    void fail(const QString& why) {
        if (problem.isEmpty())
            problem = why;
    }

    void within(const Cost& cost) {
        if (!(cost.layers <= kMaxMovieLayers))
            fail(QStringLiteral("over %1 layers drawn").arg(kMaxMovieLayers));
        else if (!(cost.shapes <= kMaxMovieShapes))
            fail(QStringLiteral("over %1 shapes").arg(kMaxMovieShapes));
        else if (!(cost.points <= kMaxMoviePoints))
            fail(QStringLiteral("over %1 points").arg(kMaxMoviePoints));
    }

    void image(const QJsonObject& asset) {
        QString why;
        const QSize size = imageSize(asset, why);
        if (!why.isEmpty())
            return fail(why);
        if (!size.isValid()) {
            if (asset.value(QLatin1String("p")).toString().startsWith(QLatin1String("data:")))
                fail(QStringLiteral("an embedded image of no size that can be read"));
            return;
        }
        if (size.width() > kMaxMovieImageSide || size.height() > kMaxMovieImageSide)
            return fail(QStringLiteral("an image of %1 x %2 pixels (at most %3 a side)")
                            .arg(size.width())
                            .arg(size.height())
                            .arg(kMaxMovieImageSide));
        imagePixels_ += qint64(size.width()) * size.height();
        if (imagePixels_ > kMaxMovieImagePixels)
            fail(QStringLiteral("images of over %1 pixels together").arg(kMaxMovieImagePixels));
    }

    // A precomposition's layers as drawn, worked out once however often it is used.
    Cost precomposition(const QString& id, int depth) {
        if (const auto known = costs_.constFind(id); known != costs_.cend())
            return *known;
        if (depth > kMaxMovieDepth) {
            fail(QStringLiteral("precompositions nested over %1 deep").arg(kMaxMovieDepth));
            return {};
        }
        if (visiting_.contains(id)) {
            fail(QStringLiteral("a precomposition that contains itself"));
            return {};
        }
        visiting_.insert(id);
        const Cost cost = layers(precompositions_.value(id), depth + 1);
        visiting_.remove(id);
        if (problem.isEmpty())
            costs_.insert(id, cost);
        return cost;
    }

    Cost layers(const QJsonArray& list, int depth) {
        Cost cost;
        for (const QJsonValue& value : list) {
            const QJsonObject layer = value.toObject();
            cost.layers += 1;
            cost += shapes(layer.value(QLatin1String("shapes")).toArray(), 1);
            const QString reference = layer.value(QLatin1String("refId")).toString();
            if (precompositions_.contains(reference))
                cost += precomposition(reference, depth);
            if (!problem.isEmpty())
                return {};
        }
        return cost;
    }

    // Shape items of a layer or group, each counted copies times over.
    Cost shapes(const QJsonArray& items, double copies) {
        Cost cost;
        // A repeater repeats the items before it in its group.
        double repeated = copies;
        for (const QJsonValue& value : items) {
            const QJsonObject item = value.toObject();
            if (item.value(QLatin1String("ty")).toString() == QLatin1String("rp")) {
                const double count = largestNumber(item.value(QLatin1String("c")));
                if (!(count <= kMaxRepeaterCopies)) {
                    fail(QStringLiteral("a repeater of %1 copies").arg(count, 0, 'f', 0));
                    return {};
                }
                repeated *= std::max(1.0, count);
            }
        }
        if (!(repeated <= kMaxRepeaterCopies)) {
            fail(QStringLiteral("repeaters nested to %1 copies").arg(repeated, 0, 'f', 0));
            return {};
        }
        for (const QJsonValue& value : items) {
            const QJsonObject item = value.toObject();
            cost.shapes += repeated;
            if (item.value(QLatin1String("ty")).toString() == QLatin1String("sh"))
                cost.points += repeated * double(pointsOf(item.value(QLatin1String("ks"))));
            if (item.value(QLatin1String("it")).isArray())
                cost += shapes(item.value(QLatin1String("it")).toArray(), repeated);
            if (!problem.isEmpty())
                return {};
        }
        return cost;
    }

    QHash<QString, QJsonArray> precompositions_;
    QHash<QString, Cost> costs_;
    QSet<QString> visiting_;
    qint64 imagePixels_ = 0;
};

} // namespace

QString movieStructureProblem(const QByteArray& json) {
    if (const int depth = nestingDepth(json); depth > kMaxMovieDepth)
        return QStringLiteral("nested %1 deep (at most %2)").arg(depth).arg(kMaxMovieDepth);
    // rlottie reads on past what is not JSON (a byte that is no UTF-8, a cut
    // end) and draws what it made of it: what cannot be checked is refused.
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return QStringLiteral("not JSON that can be checked (%1 at byte %2)")
            .arg(error.errorString())
            .arg(error.offset);
    if (!document.isObject())
        return {};
    const QJsonObject movie = document.object();
    Walk walk(movie.value(QLatin1String("assets")).toArray());
    walk.movie(movie.value(QLatin1String("layers")).toArray());
    return walk.problem;
}

} // namespace media
