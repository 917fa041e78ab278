#include "credit_entries.h"

#include <QCoreApplication>

namespace {

QString translated(const char* text) {
    return QCoreApplication::translate("CreditEntries", text);
}

} // namespace

CreditTable creditEntries() {
    // The roles and the texts that are words are in the language spoken now;
    // names and addresses stay as they are.
    const QString kDeveloper = translated(QT_TRANSLATE_NOOP("CreditEntries", "Разработчик"));
    const QString kBetaTesters = translated(QT_TRANSLATE_NOOP("CreditEntries", "Бета-тестеры"));
    const QString kThanks = translated(QT_TRANSLATE_NOOP("CreditEntries", "Благодарность"));
    const QString kWeb = QStringLiteral("www:");
    // The beta testers are the tools the game was tested with, the thanks go to
    // the free software it is built on. The two web addresses are placeholders.
    return {{
        {kDeveloper, translated(QT_TRANSLATE_NOOP("CreditEntries", "Команда «Зорбан»")),
         QStringLiteral("zorban@example.org")},
        {kBetaTesters, QStringLiteral("Qt Test"),
         QStringLiteral("doc.qt.io/qt-6/qttest-index.html")},
        {kBetaTesters, QStringLiteral("Xvfb"), QStringLiteral("www.x.org")},
        {kBetaTesters, QStringLiteral("Valgrind"), QString()},
        {kThanks, QStringLiteral("Qt"), QStringLiteral("www.qt.io")},
        {kThanks, QStringLiteral("rlottie"), QStringLiteral("github.com/Samsung/rlottie")},
        {kThanks, QStringLiteral("SDL"), QStringLiteral("www.libsdl.org")},
        {kThanks, QStringLiteral("Debian"), QStringLiteral("www.debian.org")},
        {kThanks, QStringLiteral("DejaVu"), QStringLiteral("dejavu-fonts.github.io")},
        {kWeb, QStringLiteral("show.example.org"),
         translated(QT_TRANSLATE_NOOP("CreditEntries", "Официальный сайт телеигры"))},
        {kWeb, QStringLiteral("www.example.org/zorban"),
         translated(QT_TRANSLATE_NOOP("CreditEntries", "Сайт компьютерной версии игры"))},
        {},
        {},
    }};
}
