#include "movie_structure.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

class Walk {
  public:
    QString problem;

    // Shape items of a layer or group, each counted copies times over.
    void shapes(const QJsonArray& items, double copies) {
        // A repeater repeats the items before it in its group.
        double repeated = copies;
        for (const QJsonValue& value : items) {
            const QJsonObject item = value.toObject();
            if (item.value(QLatin1String("ty")).toString() == QLatin1String("rp")) {
                const double count = largestNumber(item.value(QLatin1String("c")));
                if (!(count <= kMaxRepeaterCopies))
                    return fail(QStringLiteral("a repeater of %1 copies").arg(count, 0, 'f', 0));
                repeated *= std::max(1.0, count);
            }
        }
        if (!(repeated <= kMaxRepeaterCopies))
            return fail(QStringLiteral("repeaters nested to %1 copies").arg(repeated, 0, 'f', 0));
        for (const QJsonValue& value : items) {
            const QJsonObject item = value.toObject();
            shapeCount_ += qint64(repeated);
            if (item.value(QLatin1String("ty")).toString() == QLatin1String("sh"))
                pointCount_ += qint64(repeated) * pointsOf(item.value(QLatin1String("ks")));
            if (item.value(QLatin1String("it")).isArray())
                shapes(item.value(QLatin1String("it")).toArray(), repeated);
            if (shapeCount_ > kMaxMovieShapes)
                return fail(QStringLiteral("over %1 shapes").arg(kMaxMovieShapes));
            if (pointCount_ > kMaxMoviePoints)
                return fail(QStringLiteral("over %1 points").arg(kMaxMoviePoints));
            if (!problem.isEmpty())
                return;
        }
    }

    void layers(const QJsonArray& list) {
        for (const QJsonValue& value : list) {
            if (++layerCount_ > kMaxMovieLayers)
                return fail(QStringLiteral("over %1 layers").arg(kMaxMovieLayers));
            shapes(value.toObject().value(QLatin1String("shapes")).toArray(), 1);
            if (!problem.isEmpty())
                return;
        }
    }

  private:
    void fail(const QString& why) {
        if (problem.isEmpty())
            problem = why;
    }

    qint64 layerCount_ = 0;
    qint64 shapeCount_ = 0;
    qint64 pointCount_ = 0;
};

} // namespace

QString movieStructureProblem(const QByteArray& json) {
    if (const int depth = nestingDepth(json); depth > kMaxMovieDepth)
        return QStringLiteral("nested %1 deep (at most %2)").arg(depth).arg(kMaxMovieDepth);
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return {};
    const QJsonObject movie = document.object();
    Walk walk;
    walk.layers(movie.value(QLatin1String("layers")).toArray());
    for (const QJsonValue& asset : movie.value(QLatin1String("assets")).toArray()) {
        if (!walk.problem.isEmpty())
            break;
        walk.layers(asset.toObject().value(QLatin1String("layers")).toArray());
    }
    return walk.problem;
}

} // namespace media
