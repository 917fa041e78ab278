#include "credit_entries.h"

#include <QCoreApplication>

namespace {

QString text(const char* source) {
    return QCoreApplication::translate("CreditEntries", source);
}

} // namespace

CreditTable creditEntries() {
    // Who made the game and what it is made with, each with its licence: the
    // authors as the repository and LICENSE name them, the libraries the game
    // links, the fonts it draws with (their Debian packages' copyright files),
    // and the game's own licence last.
    const QString developer = text("Разработчик");
    const QString madeWith = text("Сделано на");
    const QString thanks = text("Благодарность");
    const QString licence = text("Лицензия игры");
    return {{
        {developer, text("Команда «Зорбан»"), text("git: Seed 3494a540 maintainers")},
        {madeWith, QStringLiteral("Qt 6"), text("LGPLv3 · qt.io")},
        {madeWith, QStringLiteral("rlottie"), text("MIT · github.com/Samsung/rlottie")},
        {madeWith, QStringLiteral("SDL2"), text("zlib · libsdl.org")},
        {thanks, QStringLiteral("libmpg123"), text("LGPL-2.1 · mpg123.de")},
        {thanks, QStringLiteral("DejaVu"), text("шрифт · лицензия Bitstream Vera")},
        {thanks, QStringLiteral("Play"), text("шрифт · SIL Open Font License 1.1")},
        {thanks, QStringLiteral("PT Sans"), text("шрифт · ParaType Free Font License")},
        {thanks, QStringLiteral("Debian"), text("debian.org")},
        {licence, QStringLiteral("MIT License"), text("файл LICENSE рядом с игрой")},
        {licence, text("© 2026 Команда «Зорбан»"), text("копируйте и меняйте свободно")},
        {},
        {},
    }};
}
