#include "offer_format.h"

namespace game {

QString formatOffer(const QString& offerText, const QLocale& locale) {
    bool isNumber = false;
    const qlonglong value = offerText.toLongLong(&isNumber);
    if (!isNumber)
        return offerText;
    if (value == 0)
        return {};
    QLocale grouped = locale;
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
    return grouped.toString(value);
}

} // namespace game
