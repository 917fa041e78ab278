#include "shown_texts.h"

#include <QCoreApplication>

namespace i18n {

namespace {

// Every text of the rules that reaches the screen, exactly as the rules write
// it (the runs of blanks place the words around the number and the frame of
// the panel). Kept for lupdate; tests check that the rules make no other.
[[maybe_unused]] constexpr const char* kGameTexts[] = {
    QT_TRANSLATE_NOOP("GameTexts", "             Выберите                      свой чемодан"),
    QT_TRANSLATE_NOOP("GameTexts", "             Выберите                чемодан для обмена"),
    QT_TRANSLATE_NOOP("GameTexts", "           чемоданов              до предложения банка"),
    QT_TRANSLATE_NOOP("GameTexts", "           чемодана              до предложения банка"),
    QT_TRANSLATE_NOOP("GameTexts", "           чемодан              до предложения банка"),
    QT_TRANSLATE_NOOP("GameTexts", "ОБМЕН"),
    QT_TRANSLATE_NOOP("GameTexts", "ObMEH"),
};

} // namespace

QString shownGameText(const QString& designed) {
    const QByteArray source = designed.toUtf8();
    return QCoreApplication::translate("GameTexts", source.constData());
}

} // namespace i18n
