#include "offer_format.h"

#include "game_log.h"

namespace game {

QString formatMoney(qint64 value, const QLocale& locale) {
    if (value == 0)
        return {};

    QString separator = locale.groupSeparator();
    if (separator.isEmpty() || !fitsWindows1251(separator))
        separator = QChar(0x00A0);

    QString digits = QString::number(value);
    const qsizetype firstDigit = value < 0 ? 1 : 0;
    for (qsizetype groupStart = digits.size() - 3; groupStart > firstDigit; groupStart -= 3)
        digits.insert(groupStart, separator);
    return digits;
}

QString formatOffer(const Offer& offer, const QLocale& locale) {
    return offer.exchange ? kExchangeOffer : formatMoney(offer.amount, locale);
}

} // namespace game
