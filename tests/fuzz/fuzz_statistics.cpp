// The statistics file as the game reads it at start: missing, damaged or whole.
#include "fuzz_input_file.h"
#include "statistics.h"

#include <QJsonDocument>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = inputFile(data, size, QStringLiteral("statistics.json"));
    const storage::StatisticsStore store(path);
    const storage::StatisticsStore::Loaded loaded = store.load();
    // What was read is written back as the game would, and read again alike.
    const QByteArray written = QJsonDocument(loaded.statistics.toJson()).toJson();
    QString error;
    const std::optional<storage::Statistics> again =
        storage::Statistics::fromJson(QJsonDocument::fromJson(written).object(), &error);
    if (!again || again->toJson() != loaded.statistics.toJson())
        std::abort();
    // A damaged file is moved aside: the next input starts from none.
    QFile::remove(path);
    QFile::remove(path + QStringLiteral(".damaged"));
    return 0;
}
