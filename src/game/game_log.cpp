#include "game_log.h"

#include <QChar>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
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

// What is written for a character Windows-1251 lacks; nothing when empty.
QByteArray standInFor(char32_t character) {
    if (QChar::category(character) == QChar::Separator_Space)
        return character == 0x2007 || character == 0x202F ? QByteArray("\xa0") : QByteArray(" ");
    if (QChar::category(character) == QChar::Number_DecimalDigit)
        return QByteArray(1, static_cast<char>('0' + QChar::digitValue(character)));
    return {};
}

// The system's UTF-8 to Windows-1251 converter, opened once for each thread
// that converts.
class Windows1251Converter {
  public:
    [[nodiscard]] static Windows1251Converter& forThisThread() {
        thread_local Windows1251Converter converter;
        return converter;
    }
    ~Windows1251Converter() {
        if (isOpen())
            iconv_close(cd_);
    }
    Windows1251Converter(const Windows1251Converter&) = delete;
    Windows1251Converter& operator=(const Windows1251Converter&) = delete;

    [[nodiscard]] bool isOpen() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    [[nodiscard]] const QString& openError() const { return openError_; }

    // The text in the code page, whole; each character it lacks is passed to
    // lacking, which gives what stands in its place (or nothing for none). Empty
    // when the converter is not open.
    template <typename Lacking>
    std::optional<QByteArray> convert(const QString& text, Lacking lacking) {
        if (!isOpen())
            return std::nullopt;
        // A lone surrogate counts as U+FFFD, not as the '?' that toUtf8() makes.
        const QList<uint> characters = text.toUcs4();
        QByteArray utf8 =
            QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()),
                              characters.size())
                .toUtf8();
        QByteArray out(utf8.size(), Qt::Uninitialized); // one byte at most for each
        char* in = utf8.data();
        size_t inLeft = static_cast<size_t>(utf8.size());
        char* outPtr = out.data();
        size_t outLeft = static_cast<size_t>(out.size());
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (iconv(cd_, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
            if (errno != EILSEQ)
                return std::nullopt;
            // One character the code page lacks, at in.
            const auto lead = static_cast<unsigned char>(*in);
            const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            const QList<uint> character =
                QString::fromUtf8(in, static_cast<qsizetype>(length)).toUcs4();
            const QByteArray standIn =
                character.isEmpty() ? QByteArray() : lacking(character.front());
            if (standIn.size() > static_cast<qsizetype>(length))
                return std::nullopt; // never: a stand-in is one byte
            outPtr = std::copy(standIn.begin(), standIn.end(), outPtr);
            outLeft -= static_cast<size_t>(standIn.size());
            in += length;
            inLeft -= length;
        }
        out.truncate(static_cast<qsizetype>(outPtr - out.data()));
        return out;
    }

  private:
    Windows1251Converter() : cd_(iconv_open("WINDOWS-1251", "UTF-8")) {
        if (!isOpen())
            openError_ = QString::fromLocal8Bit(std::strerror(errno));
    }

    iconv_t cd_;
    QString openError_;
};

} // namespace

std::optional<QByteArray> toWindows1251(const QString& text) {
    return Windows1251Converter::forThisThread().convert(text, standInFor);
}

bool fitsWindows1251(const QString& text) {
    for (const QChar character : text) {
        if (character.unicode() >= 0x80) {
            bool fits = true;
            const auto converted =
                Windows1251Converter::forThisThread().convert(text, [&fits](char32_t) {
                    fits = false;
                    return QByteArray();
                });
            return converted && fits;
        }
    }
    return true;
}

LogFileClaim::LogFileClaim(const QString& directory) {
    constexpr int kLastName = 9;
    const QDir place(directory);
    const auto refuse = [this](const QString& name, const QString& problem, files::Problem kind) {
        refusedName_ = name;
        problem_ = problem;
        problemKind_ = kind;
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
            if (files::standsInTheWay(lock->problemKind())) {
                refuse(lockName, lock->problem(), lock->problemKind());
                return;
            }
            // No lock can be made here: the log's own writes say what is wrong.
            path_ = place.filePath(QStringLiteral("log.txt"));
            break;
        }
        const QString odd = files::oddity(path_, files::Links::Refuse);
        if (!odd.isEmpty()) {
            // Opening it says of what kind it is.
            const files::OpenFile opened(path_, files::Access::Read, files::Links::Refuse);
            refuse(QFileInfo(path_).fileName(), odd, opened.problemKind());
        }
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
    const std::optional<QByteArray> bytes = toWindows1251(record + QStringLiteral("\r\n"));
    if (!bytes)
        return fail(QStringLiteral("the system has no Windows-1251 converter (iconv: %1)")
                        .arg(Windows1251Converter::forThisThread().openError()),
                    files::Problem::Other);
    return write(*bytes, false);
}

bool GameLog::fail(const QString& error, files::Problem problem) {
    lastError_ = error;
    lastProblem_ = problem == files::Problem::None ? files::Problem::Other : problem;
    return false;
}

bool GameLog::write(const QByteArray& bytes, bool truncate) {
    if (path_.isEmpty())
        return true;
    files::OpenFile opened(path_, truncate ? files::Access::Write : files::Access::Append,
                           files::Links::Refuse);
    if (!opened.isOpen() || (truncate && !opened.truncate()))
        return fail(opened.problem(), opened.problemKind());
    QFile file;
    if (!file.open(opened.release(), QIODevice::WriteOnly | QIODevice::Append,
                   QFileDevice::AutoCloseHandle))
        return fail(file.errorString(), files::problemOf(errno));
    if ((!bytes.isEmpty() && file.write(bytes) != bytes.size()) || !file.flush())
        return fail(file.errorString(), files::problemOf(errno));
    file.close();
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString(), files::problemOf(errno));
    return true;
}

} // namespace game
