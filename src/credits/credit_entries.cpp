#include "credit_entries.h"

#include <QCoreApplication>

namespace {

QString translated(const char* text) {
    return QCoreApplication::translate("CreditEntries", text);
}

} // namespace

CreditTable creditEntries() {
    // Who made the game and what it is made with, each with its licence: the
    // authors as the repository and LICENSE name them, the libraries the game
    // links, the fonts it draws with (their Debian packages' copyright files),
    // and the game's own licence last. Words are in the language spoken now;
    // names and addresses stay as they are.
    const QString developer = translated(QT_TRANSLATE_NOOP("CreditEntries", "Разработчик"));
    const QString madeWith = translated(QT_TRANSLATE_NOOP("CreditEntries", "Сделано на"));
    const QString thanks = translated(QT_TRANSLATE_NOOP("CreditEntries", "Благодарность"));
    const QString licence = translated(QT_TRANSLATE_NOOP("CreditEntries", "Лицензия игры"));
    const QString font = translated(QT_TRANSLATE_NOOP("CreditEntries", "шрифт"));
    return {{
        {developer, translated(QT_TRANSLATE_NOOP("CreditEntries", "Команда «Зорбан»")),
         translated(QT_TRANSLATE_NOOP("CreditEntries", "авторы перечислены в истории git"))},
        {madeWith, QStringLiteral("Qt 6"), QStringLiteral("LGPLv3 · qt.io")},
        {madeWith, QStringLiteral("rlottie"), QStringLiteral("MIT · github.com/Samsung/rlottie")},
        {madeWith, QStringLiteral("SDL2"), QStringLiteral("zlib · libsdl.org")},
        {thanks, QStringLiteral("libmpg123"), QStringLiteral("LGPL-2.1 · mpg123.de")},
        {thanks, QStringLiteral("DejaVu"), font + QStringLiteral(" · Bitstream Vera License")},
        {thanks, QStringLiteral("Play"), font + QStringLiteral(" · SIL Open Font License 1.1")},
        {thanks, QStringLiteral("PT Sans"), font + QStringLiteral(" · ParaType Free Font License")},
        {thanks, QStringLiteral("Debian"), QStringLiteral("debian.org")},
        {licence, QStringLiteral("MIT License"),
         translated(QT_TRANSLATE_NOOP("CreditEntries", "файл LICENSE рядом с игрой"))},
        {licence, translated(QT_TRANSLATE_NOOP("CreditEntries", "© 2026 Команда «Зорбан»")),
         translated(QT_TRANSLATE_NOOP("CreditEntries", "копируйте и меняйте свободно"))},
        {},
        {},
    }};
}
