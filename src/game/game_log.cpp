#include "game_log.h"

#include <QFile>
#include <cerrno>
#include <iconv.h>

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

QByteArray toWindows1251(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    iconv_t cd = iconv_open("WINDOWS-1251", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return text.toLatin1();
    QByteArray out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.constData());
    size_t inLeft = static_cast<size_t>(utf8.size());
    char* outPtr = out.data();
    size_t outLeft = static_cast<size_t>(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL)
            break;
        // A character the code page lacks: write '?' and skip its UTF-8 bytes.
        *outPtr++ = '?';
        --outLeft;
        do {
            ++in;
            --inLeft;
        } while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80);
    }
    iconv_close(cd);
    out.truncate(static_cast<int>(outPtr - out.data()));
    return out;
}

bool GameLog::reset() {
    return write({}, true);
}

bool GameLog::append(const QString& record) {
    return write(toWindows1251(record + QStringLiteral("\r\n")), false);
}

bool GameLog::write(const QByteArray& bytes, bool truncate) {
    QFile file(path_);
    const QIODevice::OpenMode mode =
        QIODevice::WriteOnly | (truncate ? QIODevice::Truncate : QIODevice::Append);
    if (!file.open(mode)) {
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
