#include "game_app.h"
#include "game_fonts.h"
#include "game_window_accessible.h"
#include "language.h"
#include "media_files.h"
#include "pictures.h"
#include "sound_settings.h"
#include "start_directory.h"
#include "startup_timeline.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Prints every movie and sound the game names, a tab, then the path it is found
// at (as the system's bytes), "missing", or "refused" for a file the game will
// not play (a directory, a FIFO, a device, an unreadable or oversized file),
// with the reason on stderr. Movies are looked up under the start-up directory
// and sounds under the current one: here both are the current directory (the
// game's own one with --desktop).
// Returns the exit code: 0 when every file is found and playable, 1 otherwise.
int printMediaReport() {
    const QString here = media::currentDirectory();
    const QStringList files = media::allMovies() + media::allSounds();
    int missing = 0;
    int refused = 0;
    for (const QString& file : files) {
        const QString path = media::locate(here, file);
        QByteArray shown = media::nativePath(path);
        if (!QFileInfo::exists(path)) {
            ++missing;
            shown = "missing";
        } else if (const QString why = media::refusal(path); !why.isEmpty()) {
            ++refused;
            std::fprintf(stderr, "zorban: %s %s; the game will not play it\n",
                         qPrintable(media::readablePath(path)), qPrintable(why));
            shown = "refused";
        }
        std::printf("%s\t%s\n", file.toUtf8().constData(), shown.constData());
    }
    std::fflush(stdout);
    if (missing == 0 && refused == 0) {
        std::fprintf(stderr, "zorban: all %d media files found\n", int(files.size()));
        return 0;
    }
    if (missing > 0) {
        QStringList places = media::bundledDirectories();
        places.prepend(media::readablePath(here));
        std::fprintf(stderr, "zorban: %d of %d media files missing; looked under %s\n", missing,
                     int(files.size()), qPrintable(places.join(QStringLiteral(", "))));
    }
    if (refused > 0)
        std::fprintf(stderr, "zorban: %d of %d media files refused\n", refused, int(files.size()));
    return 1;
}

// SIGTERM (a session ending), SIGINT (Ctrl+C in a terminal) and SIGHUP (the
// terminal closed, a logout) reach the window's thread through this pipe, and
// the game ends at once, recorded as when its window is closed, with no
// question; another signal changes nothing.
int signalPipe[2] = {-1, -1};

void passSignalOn(int) {
    const char byte = 1;
    static_cast<void>(::write(signalPipe[1], &byte, 1));
}

void endOnSignals(GameApp& game) {
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("zorban: no pipe for SIGTERM, SIGINT and SIGHUP");
        return;
    }
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [&game] {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        game.endNow();
    });
    struct sigaction action {};
    action.sa_handler = passSignalOn;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

// Qt ends the program (abort) when no platform can be opened: a -platform it
// does not have, a DISPLAY with no server behind it. While the application is
// made, that end is the clear message and exit code of a missing display; Qt
// has said what it tried just before.
QtMessageHandler qtMessages = nullptr;
QByteArray displayTried; // what could not be opened, in words

void endWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        if (qtMessages)
            qtMessages(type, context, message);
        return;
    }
    std::fprintf(stderr,
                 "zorban: no display found (%s); start the game from a desktop session or "
                 "under xvfb-run.\n",
                 displayTried.constData());
    std::_Exit(1);
}

// What the application is about to open: the platform asked for, else the display.
QByteArray displayToOpen(int argc, char* argv[]) {
    QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "-platform") == 0 || qstrcmp(argv[i], "--platform") == 0)
            platform = argv[i + 1];
    }
    if (!platform.isEmpty())
        return "the platform \"" + platform + "\" cannot be opened";
    const QByteArray display =
        qEnvironmentVariableIsSet("DISPLAY") ? qgetenv("DISPLAY") : qgetenv("WAYLAND_DISPLAY");
    return "the display \"" + display + "\" cannot be opened";
}

// The command line, its texts in the language of the help: written in English,
// with a Russian translation of their own (zorban_ru.ts) that --help shows when
// the system's language is Russian or --lang ru is given.
struct CommandLine {
    CommandLine();
    QCommandLineParser parser;
    QCommandLineOption help;
    QCommandLineOption version;
    QCommandLineOption media{
        QStringLiteral("media"),
        QCoreApplication::translate(
            "CommandLine", "Print where each movie and sound file is found (or \"missing\", or "
                           "\"refused\" for a file the game will not play) and exit. The exit "
                           "code is 1 if any file is missing or refused. Needs no display.")};
    QCommandLineOption mute{
        QStringLiteral("mute"),
        QCoreApplication::translate("CommandLine", "Start with the sound muted.")};
    QCommandLineOption desktop{
        QStringLiteral("desktop"),
        QCoreApplication::translate(
            "CommandLine",
            "Run in the game's own directory, $XDG_STATE_HOME/zorban (~/.local/state/zorban by "
            "default), creating it if needed. The game writes log.txt there, and music/ and "
            "flashes/ folders placed there re-skin the game. The desktop menu entry starts the "
            "game this way; without this option the game runs in the current directory.")};
    QCommandLineOption language{
        QStringLiteral("lang"),
        QCoreApplication::translate(
            "CommandLine",
            "Show the game in <language> for this run: ru (Russian) or en (English). Without "
            "this option the game uses the language last chosen in its menu, else the system's "
            "language if it is one of these, else Russian. The log is always written in "
            "Russian."),
        QCoreApplication::translate("CommandLine", "language")};
};

CommandLine::CommandLine() : help(parser.addHelpOption()), version(parser.addVersionOption()) {
    parser.setApplicationDescription(QCoreApplication::translate(
        "CommandLine",
        "Zorban: pick a briefcase, open the others and answer the banker's offers."));
    parser.addOption(media);
    parser.addOption(mute);
    parser.addOption(desktop);
    parser.addOption(language);
}

// Qt's own texts in the help and in the errors of the command line, for the
// Russian translation of the help.
[[maybe_unused]] constexpr const char* kParserTexts[][2] = {
    QT_TRANSLATE_NOOP("QCommandLineParser", "Usage: %1"),
    QT_TRANSLATE_NOOP("QCommandLineParser", "[options]"),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Options:"),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Displays help on commandline options."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Displays help including Qt specific options."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Displays version information."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Unknown option '%1'."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Unknown options: %1."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Missing value after '%1'."),
    QT_TRANSLATE_NOOP("QCommandLineParser", "Unexpected value after '%1'."),
};

} // namespace

int main(int argc, char* argv[]) {
    startup_timeline::mark("main");
    QCoreApplication::setOrganizationName(QStringLiteral("zorban"));
    QCoreApplication::setApplicationName(QStringLiteral("zorban"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZORBAN_VERSION));

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // The help's texts depend on --lang: a first reading, before the help's
    // language is known, finds it and what is asked.
    CommandLine first;
    const bool parsed = first.parser.parse(arguments);
    const QString givenLanguage = first.parser.value(first.language);
    const bool displayGiven =
        std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");

    // Help, version and the media report answer without a display; so does a
    // wrong command line when the game could not start anyway. With a display,
    // the command line is checked once Qt has taken its own options (-platform...).
    const bool answerOnly =
        parsed && (first.parser.isSet(first.help) || first.parser.isSet(first.version) ||
                   first.parser.isSet(first.media));
    if (parsed && first.parser.isSet(first.language) &&
        !i18n::languages().contains(givenLanguage)) {
        std::fprintf(stderr, "zorban: --lang takes ru or en, not \"%s\"\n",
                     qPrintable(givenLanguage));
        return 1;
    }
    if (answerOnly || (!parsed && !displayGiven)) {
        QCoreApplication app(argc, argv);
        i18n::setHelpLanguage(i18n::helpLanguage(givenLanguage));
        CommandLine commandLine;         // in the help's language
        commandLine.parser.process(app); // prints help, the version or the error, and exits
        if (commandLine.parser.isSet(commandLine.desktop))
            start_directory::enterDesktopDirectory();
        return printMediaReport();
    }

    if (!displayGiven) {
        std::fprintf(stderr, "zorban: no display found (DISPLAY is not set); start the game "
                             "from a desktop session or under xvfb-run.\n");
        return 1;
    }
    fonts::readFontConfigurationAhead(); // while Qt connects to the display
    displayTried = displayToOpen(argc, argv);
    qtMessages = qInstallMessageHandler(endWithoutDisplay);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtMessages);
    startup_timeline::mark("application");
    CommandLine commandLine;
    commandLine.parser.process(app);
    // Before the first window, which is then built in the language.
    i18n::setLanguage(i18n::startLanguage(commandLine.parser.value(commandLine.language)));
    pictures::decodeAhead();
    if (commandLine.parser.isSet(commandLine.desktop))
        start_directory::enterDesktopDirectory();
    QGuiApplication::setDesktopFileName(QStringLiteral(ZORBAN_APP_ID));
    QApplication::setQuitOnLastWindowClosed(false);
    accessibility::install(); // before the first window
    GameApp game;
    startup_timeline::mark("game");
    endOnSignals(game); // a signal from here on ends the game cleanly
    game.rememberWindowBetweenRuns();
    game.useGamePads();
    if (commandLine.parser.isSet(commandLine.mute))
        game.soundSettings().muteThisRun();
    game.start();
    // The icon is not drawn in the window: it is decoded and set once the
    // window's first frame is.
    game.whenFirstFrameDrawn([] {
        QApplication::setWindowIcon(pictures::icon());
        pictures::forgetDecodedAhead();
    });
    return QApplication::exec();
}
