#include "language.h"

#include "settings.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTranslator>
#include <cstdio>

namespace i18n {

namespace {

QString current = kRussian;
// Owned by the application object, so that none outlives it.
QPointer<QTranslator> gameTranslator;
QPointer<QTranslator> helpTranslator;

// Calls a function on every LanguageChange of the object it watches, its parent.
class LanguageFollower final : public QObject {
  public:
    LanguageFollower(QObject* watched, std::function<void()> retranslate)
        : QObject(watched), retranslate_(std::move(retranslate)) {
        watched->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::LanguageChange || passingOn_)
            return QObject::eventFilter(watched, event);
        // The object takes the change first (a message box sets its buttons'
        // texts back to Qt's own then), and the texts set here go over that.
        passingOn_ = true;
        QCoreApplication::sendEvent(watched, event);
        passingOn_ = false;
        retranslate_();
        return true;
    }

  private:
    std::function<void()> retranslate_;
    bool passingOn_ = false;
};

// A translation built into the program, or null when it cannot be loaded.
QTranslator* loadTranslation(const QString& file) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral(":/i18n/") + file))
        return translator;
    std::fprintf(stderr,
                 "zorban: the translation %s cannot be loaded; the texts stay as they are\n",
                 qPrintable(file));
    delete translator;
    return nullptr;
}

} // namespace

QStringList languages() {
    return {kRussian, kEnglish};
}

QString nativeName(const QString& language) {
    if (language == kRussian)
        return QStringLiteral("Русский");
    if (language == kEnglish)
        return QStringLiteral("English");
    return language;
}

QString known(const QString& name) {
    const QString language = name.section(QLatin1Char('-'), 0, 0)
                                 .section(QLatin1Char('_'), 0, 0)
                                 .section(QLatin1Char('.'), 0, 0)
                                 .toLower();
    return languages().contains(language) ? language : QString();
}

QString firstKnown(const QStringList& uiLanguages, const QString& fallback) {
    for (const QString& name : uiLanguages) {
        if (const QString language = known(name); !language.isEmpty())
            return language;
    }
    return fallback;
}

QString remembered(const QString& settingsFile) {
    const QString kept =
        (settingsFile.isEmpty() ? storage::Settings() : storage::Settings(settingsFile)).language();
    return languages().contains(kept) ? kept : QString();
}

QString startLanguage(const QString& given, const QString& settingsFile,
                      const QStringList& uiLanguages) {
    if (const QString language = known(given); !language.isEmpty())
        return language;
    if (const QString language = remembered(settingsFile); !language.isEmpty())
        return language;
    return firstKnown(uiLanguages, kRussian);
}

QString helpLanguage(const QString& given, const QStringList& uiLanguages) {
    if (const QString language = known(given); !language.isEmpty())
        return language;
    return firstKnown(uiLanguages, kEnglish);
}

bool setLanguage(const QString& language) {
    if (!languages().contains(language) || !QCoreApplication::instance())
        return false;
    if (language == current && (language == kRussian || gameTranslator))
        return true;
    QTranslator* replacement = nullptr;
    if (language != kRussian) {
        replacement = loadTranslation(QStringLiteral("zorban_%1.qm").arg(language));
        if (!replacement)
            return false;
    }
    // Each of these sends every widget a LanguageChange event.
    delete gameTranslator.data();
    gameTranslator = replacement;
    if (replacement)
        QCoreApplication::installTranslator(replacement);
    current = language;
    return true;
}

QString currentLanguage() {
    return current;
}

QString translatePlural(const char* context, const char* source, const char* comment, int n) {
    if (current == kRussian) {
        // Loaded once, at the first need, and never installed: it would only
        // translate the Russian into itself.
        static QTranslator* const russianPlurals = [] {
            auto* translator = new QTranslator;
            if (translator->load(QStringLiteral(":/i18n/zorban_ru_plurals.qm")))
                return translator;
            std::fprintf(stderr, "zorban: the Russian plural forms cannot be loaded\n");
            delete translator;
            return static_cast<QTranslator*>(nullptr);
        }();
        const QString plural =
            russianPlurals ? russianPlurals->translate(context, source, comment, n) : QString();
        if (!plural.isEmpty())
            return plural;
    }
    return QCoreApplication::translate(context, source, comment, n);
}

bool chooseLanguage(const QString& language) {
    if (!setLanguage(language))
        return false;
    storage::Settings().setLanguage(language);
    return true;
}

void followLanguage(QObject* object, std::function<void()> retranslate) {
    new LanguageFollower(object, std::move(retranslate));
}

void setHelpLanguage(const QString& language) {
    delete helpTranslator.data();
    if (language != kRussian || !QCoreApplication::instance())
        return;
    helpTranslator = loadTranslation(QStringLiteral("zorban_ru.qm"));
    if (helpTranslator)
        QCoreApplication::installTranslator(helpTranslator);
}

} // namespace i18n
