#include "amounts.h"

namespace game {

const std::array<QString, kCaseCount>& amountTexts() {
    static const std::array<QString, kCaseCount> texts = {
        QStringLiteral("0.01"),      QStringLiteral("0.1"),       QStringLiteral("1"),
        QStringLiteral("5"),         QStringLiteral("10"),        QStringLiteral("50"),
        QStringLiteral("100"),       QStringLiteral("500"),       QStringLiteral("1 000"),
        QStringLiteral("2 500"),     QStringLiteral("5 000"),     QStringLiteral("10 000"),
        QStringLiteral("15 000"),    QStringLiteral("25 000"),    QStringLiteral("50 000"),
        QStringLiteral("100 000"),   QStringLiteral("200 000"),   QStringLiteral("300 000"),
        QStringLiteral("500 000"),   QStringLiteral("1 000 000"), QStringLiteral("1 500 000"),
        QStringLiteral("3 000 000"),
    };
    return texts;
}

QString amountText(int rank) {
    if (rank < 0 || rank >= kCaseCount)
        return {};
    return amountTexts()[static_cast<size_t>(rank)];
}

double textToNumber(const QString& text) {
    double value = 0;
    double fractionScale = 0; // 0 while reading the whole part
    bool anyDigit = false;
    for (const QChar c : text) {
        if (c == QLatin1Char(' '))
            continue;
        if (c == QLatin1Char('.') && fractionScale == 0) {
            fractionScale = 0.1;
            continue;
        }
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        anyDigit = true;
        const int digit = c.unicode() - '0';
        if (fractionScale == 0) {
            value = value * 10 + digit;
        } else {
            value += digit * fractionScale;
            fractionScale /= 10;
        }
    }
    return anyDigit ? value : 0;
}

} // namespace game
