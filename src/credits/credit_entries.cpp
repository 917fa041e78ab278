#include "credit_entries.h"

namespace {

const QString kDeveloper = QStringLiteral("Разработчик");
const QString kBetaTesters = QStringLiteral("Бета-тестеры");
const QString kThanks = QStringLiteral("Благодарность");
const QString kWeb = QStringLiteral("www:");

} // namespace

CreditTable creditEntries() {
    // The beta testers are the tools the game was tested with, the thanks go to
    // the free software it is built on. The two web addresses are placeholders.
    return {{
        {kDeveloper, QStringLiteral("Команда «Зорбан»"), QStringLiteral("zorban@example.org")},
        {kBetaTesters, QStringLiteral("Qt Test"),
         QStringLiteral("doc.qt.io/qt-6/qttest-index.html")},
        {kBetaTesters, QStringLiteral("Xvfb"), QStringLiteral("www.x.org")},
        {kBetaTesters, QStringLiteral("Valgrind"), QString()},
        {kThanks, QStringLiteral("Qt"), QStringLiteral("www.qt.io")},
        {kThanks, QStringLiteral("rlottie"), QStringLiteral("github.com/Samsung/rlottie")},
        {kThanks, QStringLiteral("SDL"), QStringLiteral("www.libsdl.org")},
        {kThanks, QStringLiteral("Debian"), QStringLiteral("www.debian.org")},
        {kThanks, QStringLiteral("DejaVu"), QStringLiteral("dejavu-fonts.github.io")},
        {kWeb, QStringLiteral("show.example.org"), QStringLiteral("Официальный сайт телеигры")},
        {kWeb, QStringLiteral("www.example.org/zorban"),
         QStringLiteral("Сайт компьютерной версии игры")},
        {},
        {},
    }};
}
