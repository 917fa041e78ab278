#pragma once

#include <QLocale>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

// The language the game speaks. Its texts are written in Russian; English comes
// from a translation built into the program. Changing the language installs or
// removes that translation, and Qt then sends QEvent::LanguageChange to every
// widget: each window answers it by setting its texts again (followLanguage()),
// so a game under way goes on as it was.
//
// The language never reaches the log, the statistics file, the rules of play,
// the sounds or the timing: the log's records are built from texts that never
// go through a translation.
namespace i18n {

// "ru" and "en", the language of the texts first.
[[nodiscard]] QStringList languages();
inline const QString kRussian = QStringLiteral("ru");
inline const QString kEnglish = QStringLiteral("en");

// The name of a language as the menu lists it, in that language itself
// ("Русский", "English"), the same whatever language is spoken.
[[nodiscard]] QString nativeName(const QString& language);

// The game's language for a language name: "ru", "RU", "ru_RU", "ru-Latn-RU"
// give "ru", "en-GB" gives "en"; empty for a language the game does not have
// (and for "C").
[[nodiscard]] QString known(const QString& name);

// The first of these languages, best liked first, that the game has, in the form
// QLocale::uiLanguages() gives them; fallback when none is.
[[nodiscard]] QString firstKnown(const QStringList& uiLanguages, const QString& fallback);

// The language chosen in the game and kept in this settings file (by default the
// user's); empty when none is kept or the one kept is not known.
[[nodiscard]] QString remembered(const QString& settingsFile = {});

// The language a run starts in: given (from --lang) when not empty, else the one
// remembered, else the first of the system's languages that the game has, else
// Russian. settingsFile empty: the user's.
[[nodiscard]] QString
startLanguage(const QString& given, const QString& settingsFile = {},
              const QStringList& uiLanguages = QLocale::system().uiLanguages());

// The language --help speaks: given when not empty, else the first of the
// system's languages that the game has, else English (as the manual page made
// from it).
[[nodiscard]] QString
helpLanguage(const QString& given,
             const QStringList& uiLanguages = QLocale::system().uiLanguages());

// Speaks language from now on, for this run: every window takes the new texts at
// once. False, with the language left as it was, when the game does not have it
// or its translation cannot be loaded. Needs the application object.
bool setLanguage(const QString& language);
[[nodiscard]] QString currentLanguage();

// QCoreApplication::translate() of a text that changes with the number n
// (%n in it stands for n), in the plural form the language spoken now takes for
// n. The Russian forms come from the Russian plural translation (the sources
// are Russian, so no translation is installed for Russian): 1, 21 "чемодан";
// 2, 22 "чемодана"; 5, 11 "чемоданов".
[[nodiscard]] QString translatePlural(const char* context, const char* source, const char* comment,
                                      int n);

// What the menu entry "Язык / Language" calls: speaks language and keeps it in
// the settings for the next runs. A failed write is said on stderr; the language
// is switched all the same.
bool chooseLanguage(const QString& language);

// Calls retranslate whenever object (a widget: Qt sends LanguageChange to
// widgets) is told the language changed, for as long as object lives: for a
// widget whose texts are not its own class's, such as a message box.
void followLanguage(QObject* object, std::function<void()> retranslate);

// Loads the Russian texts of --help (whose texts are written in English) when
// language is Russian. Needs the application object.
void setHelpLanguage(const QString& language);

} // namespace i18n
