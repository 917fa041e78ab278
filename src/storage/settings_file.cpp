#include "settings_file.h"

#include "kept_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>

namespace storage {

namespace {

const QString kGeneral = QStringLiteral("General");

// No settings file the game writes comes near this.
constexpr qint64 kLargest = 1 << 20;

struct Lines {
    QStringList lines;
    QString error; // the file is there but cannot be read
};

Lines readLines(const QString& path) {
    Lines read;
    const kept_file::Read file = kept_file::read(path, kLargest);
    if (!file.error.isEmpty()) {
        read.error = file.error;
        return read;
    }
    const QByteArray& bytes = file.bytes;
    read.lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    for (QString& line : read.lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (!read.lines.isEmpty() && read.lines.last().isEmpty())
        read.lines.removeLast();
    return read;
}

struct Name {
    QString section;
    QString key;
};

Name nameOf(const QString& key) {
    const qsizetype slash = key.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return {kGeneral, key};
    return {key.left(slash), key.mid(slash + 1)};
}

// The section a "[section]" line opens.
std::optional<QString> sectionOf(const QString& line) {
    const QString text = line.trimmed();
    if (text.size() >= 2 && text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']')))
        return text.mid(1, text.size() - 2);
    return std::nullopt;
}

// The key and value of a "key=value" line.
std::optional<QPair<QString, QString>> entryOf(const QString& line) {
    const QString text = line.trimmed();
    if (text.startsWith(QLatin1Char(';')) || text.startsWith(QLatin1Char('#')))
        return std::nullopt;
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    if (equals <= 0)
        return std::nullopt;
    QString value = text.mid(equals + 1).trimmed();
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        value = value.mid(1, value.size() - 2);
    return qMakePair(text.left(equals).trimmed(), value);
}

// Sets one key among the lines: the line that has it, else a line added at the
// end of its section, else a section added.
void setLine(QStringList& lines, const Name& name, const QString& value) {
    const QString entry = name.key + QLatin1Char('=') + value;
    QString section = kGeneral; // lines before any section are general ones
    qsizetype last = -1;        // the last line of the section that is not blank
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const std::optional<QString> opened = sectionOf(lines[i]))
            section = *opened;
        if (section != name.section)
            continue;
        const std::optional<QPair<QString, QString>> found = entryOf(lines[i]);
        if (found && found->first == name.key) {
            lines[i] = entry;
            return;
        }
        if (!lines[i].trimmed().isEmpty())
            last = i;
    }
    if (last >= 0) {
        lines.insert(last + 1, entry);
    } else if (name.section == kGeneral) {
        lines = QStringList{QStringLiteral("[General]"), entry, QString()} + lines;
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QString();
        lines << QLatin1Char('[') + name.section + QLatin1Char(']') << entry;
    }
}

} // namespace

QString SettingsFile::userFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/zorban/zorban.conf");
}

std::optional<QString> SettingsFile::value(const QString& key) const {
    const Name name = nameOf(key);
    QString section = kGeneral;
    for (const QString& line : readLines(path_).lines) {
        if (const std::optional<QString> opened = sectionOf(line))
            section = *opened;
        else if (const auto entry = entryOf(line);
                 entry && section == name.section && entry->first == name.key)
            return entry->second;
    }
    return std::nullopt;
}

std::optional<bool> SettingsFile::boolValue(const QString& key) const {
    const std::optional<QString> text = value(key);
    if (!text)
        return std::nullopt;
    return !text->isEmpty() && *text != QLatin1String("0") &&
           text->compare(QLatin1String("false"), Qt::CaseInsensitive) != 0;
}

std::optional<int> SettingsFile::intValue(const QString& key) const {
    const std::optional<QString> text = value(key);
    bool isNumber = false;
    const int number = text ? text->toInt(&isNumber) : 0;
    return isNumber ? std::optional<int>(number) : std::nullopt;
}

std::optional<QRect> SettingsFile::rectValue(const QString& key) const {
    static const QRegularExpression form(
        QStringLiteral("^@Rect\\((-?\\d{1,9}) (-?\\d{1,9}) (\\d{1,9}) (\\d{1,9})\\)$"));
    const QRegularExpressionMatch match = form.match(value(key).value_or(QString()));
    if (!match.hasMatch())
        return std::nullopt;
    return QRect(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(),
                 match.captured(4).toInt());
}

QString SettingsFile::boolText(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

QString SettingsFile::rectText(const QRect& rect) {
    return QStringLiteral("@Rect(%1 %2 %3 %4)")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height());
}

void SettingsFile::removeLeftovers() const {
    if (!QFileInfo(path_).absoluteDir().exists())
        return;
    kept_file::Lock lock(path_);
    if (lock.take(0))
        kept_file::removeLeftovers(path_);
}

bool SettingsFile::set(const QList<QPair<QString, QString>>& values, QString* error) const {
    kept_file::Lock lock(path_);
    if (!lock.take(kept_file::kLockWaitMs, error))
        return false;
    Lines read = readLines(path_);
    if (!read.error.isEmpty()) {
        // Writing would replace what cannot be read.
        if (error)
            *error = QStringLiteral("cannot read it (%1)").arg(read.error);
        return false;
    }
    for (const auto& [key, value] : values)
        setLine(read.lines, nameOf(key), value);
    return kept_file::replace(path_, (read.lines.join(QLatin1Char('\n')) + '\n').toUtf8(), error);
}

} // namespace storage
