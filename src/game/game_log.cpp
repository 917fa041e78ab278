#include "game_log.h"

#include <QChar>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <map>

namespace game {

namespace records {
QString amount(const QString& boardText) {
    return boardText + QStringLiteral("\r\n");
}
QString offer(const QString& shownOffer) {
    return QStringLiteral("---------------") + shownOffer;
}
QString declined() {
    return QStringLiteral("\r\n");
}
QString accepted() {
    return QStringLiteral(" V\r\n");
}
QString ownCase(const QString& boardText) {
    return QStringLiteral("<") + boardText + QStringLiteral(">\r\n");
}
} // namespace records

namespace {

// The system's UTF-8 to Windows-1251 converter, open for one conversion.
class Windows1251Converter {
  public:
    Windows1251Converter() : cd_(iconv_open("WINDOWS-1251", "UTF-8")) {
        if (!isOpen())
            openError_ = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~Windows1251Converter() {
        if (isOpen())
            iconv_close(cd_);
    }
    Windows1251Converter(const Windows1251Converter&) = delete;
    Windows1251Converter& operator=(const Windows1251Converter&) = delete;

    [[nodiscard]] bool isOpen() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    [[nodiscard]] const QString& openError() const { return openError_; }

    // Appends the code page's byte for one character; false when it has none.
    bool convert(char32_t character, QByteArray& out) {
        if (character < 0x80) {
            out += static_cast<char>(character);
            return true;
        }
        if (!isOpen())
            return false;
        QByteArray utf8 = QString::fromUcs4(&character, 1).toUtf8();
        char* in = utf8.data();
        size_t inLeft = static_cast<size_t>(utf8.size());
        char bytes[8];
        char* outPtr = bytes;
        size_t outLeft = sizeof bytes;
        if (iconv(cd_, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft > 0)
            return false;
        out.append(bytes, static_cast<int>(outPtr - bytes));
        return true;
    }

  private:
    iconv_t cd_;
    QString openError_;
};

// What is written for a character Windows-1251 lacks; nothing when empty.
QByteArray standInFor(char32_t character) {
    if (QChar::category(character) == QChar::Separator_Space)
        return character == 0x2007 || character == 0x202F ? QByteArray("\xa0") : QByteArray(" ");
    if (QChar::category(character) == QChar::Number_DecimalDigit)
        return QByteArray(1, static_cast<char>('0' + QChar::digitValue(character)));
    return {};
}

std::optional<QByteArray> encode(const QString& text, Windows1251Converter& converter) {
    if (!converter.isOpen())
        return std::nullopt;
    QByteArray out;
    out.reserve(text.size());
    for (char32_t character : text.toUcs4()) {
        if (!converter.convert(character, out))
            out += standInFor(character);
    }
    return out;
}

} // namespace

std::optional<QByteArray> toWindows1251(const QString& text) {
    Windows1251Converter converter;
    return encode(text, converter);
}

bool fitsWindows1251(const QString& text) {
    Windows1251Converter converter;
    QByteArray unused;
    for (char32_t character : text.toUcs4()) {
        if (!converter.convert(character, unused))
            return false;
    }
    return true;
}

LogFileClaim::LogFileClaim(const QString& directory) {
    constexpr int kLastName = 9;
    const QDir place(directory);
    const auto refuse = [this](const QString& name, const QString& problem) {
        refusedName_ = name;
        problem_ = problem;
        path_.clear();
        lock_.reset();
    };
    for (int n = 1; n <= kLastName; ++n) {
        const QString name =
            n == 1 ? QStringLiteral("log.txt") : QStringLiteral("log-%1.txt").arg(n);
        const QString lockName = name + QStringLiteral(".lock");
        auto lock = std::make_unique<files::Lock>(place.filePath(lockName));
        switch (lock->take(0)) {
        case files::Lock::Result::Taken:
            lock_ = std::move(lock);
            path_ = place.filePath(name);
            apart_ = n > 1;
            break;
        case files::Lock::Result::Held:
            continue;
        case files::Lock::Result::Refused:
            if (!lock->folderUnwritable()) {
                refuse(lockName, lock->problem());
                return;
            }
            // No lock can be made here: the log's own writes say what is wrong.
            path_ = place.filePath(QStringLiteral("log.txt"));
            break;
        }
        const QString odd = files::oddity(path_, files::Links::Refuse);
        if (!odd.isEmpty())
            refuse(QFileInfo(path_).fileName(), odd);
        return;
    }
    apart_ = true; // every name is held: no log
}

LogFileClaim::~LogFileClaim() = default;

std::shared_ptr<const LogFileClaim> LogFileClaim::shared(const QString& directory) {
    static std::map<QString, std::weak_ptr<const LogFileClaim>> claims;
    std::weak_ptr<const LogFileClaim>& held = claims[directory];
    std::shared_ptr<const LogFileClaim> claim = held.lock();
    if (!claim) {
        claim = std::make_shared<const LogFileClaim>(directory);
        held = claim;
    }
    return claim;
}

bool GameLog::reset() {
    return write({}, true);
}

bool GameLog::append(const QString& record) {
    if (path_.isEmpty())
        return true;
    Windows1251Converter converter;
    const std::optional<QByteArray> bytes = encode(record + QStringLiteral("\r\n"), converter);
    if (!bytes) {
        lastError_ = QStringLiteral("the system has no Windows-1251 converter (iconv: %1)")
                         .arg(converter.openError());
        return false;
    }
    return write(*bytes, false);
}

bool GameLog::write(const QByteArray& bytes, bool truncate) {
    if (path_.isEmpty())
        return true;
    files::OpenFile opened(path_, truncate ? files::Access::Write : files::Access::Append,
                           files::Links::Refuse);
    if (!opened.isOpen() || (truncate && !opened.truncate())) {
        lastError_ = opened.problem();
        return false;
    }
    QFile file;
    if (!file.open(opened.release(), QIODevice::WriteOnly | QIODevice::Append,
                   QFileDevice::AutoCloseHandle)) {
        lastError_ = file.errorString();
        return false;
    }
    if (!bytes.isEmpty() && file.write(bytes) != bytes.size()) {
        lastError_ = file.errorString();
        return false;
    }
    if (!file.flush()) {
        lastError_ = file.errorString();
        return false;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        lastError_ = file.errorString();
        return false;
    }
    return true;
}

} // namespace game
