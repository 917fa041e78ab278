#include "pictures.h"

#include <QFile>
#include <QSet>
#include <cstdio>

namespace pictures {

QPixmap load(const QString& name, qreal devicePixelRatio) {
    const QString base = QStringLiteral(":/pictures/") + name;
    if (devicePixelRatio > 1.0 && QFile::exists(base + QStringLiteral("@2x.png"))) {
        QPixmap pixmap(base + QStringLiteral("@2x.png"));
        pixmap.setDevicePixelRatio(2.0);
        return pixmap;
    }
    QPixmap pixmap(base + QStringLiteral(".png"));
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

} // namespace pictures
