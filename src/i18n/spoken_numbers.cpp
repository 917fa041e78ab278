#include "spoken_numbers.h"

#include "language.h"

#include <cmath>

namespace i18n {

namespace {

QString russianMillions(qint64 millions) {
    const qint64 lastTwo = millions % 100;
    const qint64 last = millions % 10;
    if (last == 1 && lastTwo != 11)
        return QStringLiteral("миллион");
    if (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14))
        return QStringLiteral("миллиона");
    return QStringLiteral("миллионов");
}

} // namespace

QString spokenMoney(qint64 amount, const QString& language) {
    constexpr qint64 kMillion = 1000000;
    if (language != kRussian || amount < kMillion)
        return QString::number(amount);
    const qint64 millions = amount / kMillion;
    QString spoken = QString::number(millions) + QLatin1Char(' ') + russianMillions(millions);
    if (const qint64 rest = amount % kMillion; rest != 0)
        spoken += QLatin1Char(' ') + QString::number(rest);
    return spoken;
}

QString spokenAmount(const QString& amountText, const QString& language) {
    QString digits = amountText;
    digits.remove(QLatin1Char(' '));
    if (!digits.contains(QLatin1Char('.'))) {
        bool ok = false;
        const qint64 amount = digits.toLongLong(&ok);
        return ok ? spokenMoney(amount, language) : amountText;
    }
    if (language != kRussian)
        return digits;
    // The board's two fractions.
    if (digits == QLatin1String("0.01"))
        return QStringLiteral("одна сотая");
    if (digits == QLatin1String("0.1"))
        return QStringLiteral("одна десятая");
    return digits;
}

QString spokenSum(double amount, const QString& language) {
    const double size = std::fabs(amount);
    if (size > 0 && size < 1) {
        QString fraction = QString::number(size, 'f', 2);
        if (fraction.endsWith(QLatin1Char('0')))
            fraction.chop(1);
        return spokenAmount(fraction, language);
    }
    return spokenMoney(std::llround(size), language);
}

} // namespace i18n
