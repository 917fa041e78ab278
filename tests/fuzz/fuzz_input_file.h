#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

// The fuzzer's input written as a file, where the game's readers take it from.
inline QString inputFile(const uint8_t* data, size_t size, const QString& name) {
    static const QString directory = [] {
        QByteArray place = qgetenv("ZORBAN_FUZZ_DIR");
        if (place.isEmpty())
            place = QDir::tempPath().toLocal8Bit();
        const QString made =
            QString::fromLocal8Bit(place) + QStringLiteral("/zorban-fuzz-%1").arg(getpid());
        QDir().mkpath(made);
        return made;
    }();
    const QString path = directory + QLatin1Char('/') + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    return path;
}
