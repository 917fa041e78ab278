#include "shown_texts.h"

#include "language.h"
#include "offer_format.h"

#include <QCoreApplication>
#include <QLocale>
#include <cmath>

namespace i18n {

namespace {

bool english() {
    return currentLanguage() == kEnglish;
}

QString groupedDigits(qint64 whole, QChar separator) {
    QString digits = QString::number(whole);
    for (qsizetype groupStart = digits.size() - 3; groupStart > 0; groupStart -= 3)
        digits.insert(groupStart, separator);
    return digits;
}

} // namespace

QString shownAmount(double amount) {
    const QString sign = amount < 0 ? QString(QChar(0x2212)) : QString();
    const double size = std::fabs(amount);
    if (size > 0 && size < 1) {
        QString fraction = QString::number(size, 'f', 2);
        if (fraction.endsWith(QLatin1Char('0')))
            fraction.chop(1);
        return sign + fraction;
    }
    const qint64 whole = std::llround(size);
    return (whole == 0 ? QString() : sign) +
           groupedDigits(whole, english() ? QLatin1Char(',') : QLatin1Char(' '));
}

QString shownMoney(qint64 amount) {
    if (english())
        return shownAmount(static_cast<double>(amount));
    return game::formatMoney(amount);
}

QString shownOffer(const game::Offer& offer) {
    if (!offer.exchange)
        return shownMoney(offer.amount);
    return QCoreApplication::translate("GameTexts", "ОБМЕН",
                                       "the exchange of cases offered on the banker's panel");
}

QString shownHistoryOffer(const game::Offer& offer) {
    if (offer.exchange)
        return english() ? QCoreApplication::translate("GameTexts", "ObMEH",
                                                       "an exchange offer in the earlier offers")
                         : game::kExchangeInHistory;
    return english() ? shownMoney(offer.amount) : QString::number(offer.amount);
}

QString shownPercent(double share) {
    const QString number = QString::number(std::llround(share * 100));
    return english() ? number + QLatin1Char('%') : number + QChar(0x00A0) + QLatin1Char('%');
}

QString counterWords(int casesLeft) {
    static constexpr struct {
        const char* source;
        const char* comment;
    } kWords =
        QT_TRANSLATE_N_NOOP3("GameTexts", "           чемоданов              до предложения банка",
                             "after the number of cases left to open");
    return translatePlural("GameTexts", kWords.source, kWords.comment, casesLeft);
}

QString chooseOwnCasePrompt() {
    return QCoreApplication::translate("GameTexts",
                                       "             Выберите                      свой чемодан");
}

QString chooseSwapCasePrompt() {
    return QCoreApplication::translate("GameTexts",
                                       "             Выберите                чемодан для обмена");
}

bool exchangeOfferShownWhilePicking() {
    return !english();
}

} // namespace i18n
