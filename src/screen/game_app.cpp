#include "game_app.h"

#include "desktop_controls.h"
#include "game_pad.h"
#include "language.h"
#include "layout.h"
#include "media_files.h"
#include "settings.h"
#include "side_windows.h"
#include "sound_engine.h"
#include "sound_settings.h"
#include "window_fit.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>

namespace {

using window_fit::kUsualFrame;

// The window settles its place and size this long after the last move or
// resize; then they are written.
constexpr int kGeometrySettleMs = 500;

void centreOnScreen(QWidget* window, QMargins frame = {}) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect outer(QPoint(), window->size().grownBy(frame));
    outer.moveCenter(screen->availableGeometry().center());
    window->move(outer.topLeft());
}

// A window place kept from an earlier run, made to fit the screen it is mostly
// on today: no larger than the screen's free area, no smaller than half the size
// the window opens at there, and wholly on the screen.
QRect fitOnScreen(const QRect& place) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    qint64 mostShown = 0;
    for (const QScreen* candidate : QGuiApplication::screens()) {
        const QRect shown = candidate->availableGeometry().intersected(place);
        if (!shown.isEmpty() && qint64(shown.width()) * shown.height() > mostShown) {
            mostShown = qint64(shown.width()) * shown.height();
            screen = candidate;
        }
    }
    if (!screen)
        return place;
    const QRect free = screen->availableGeometry().marginsRemoved(kUsualFrame);
    const QSize smallest =
        layout::openingSize(layout::kGameWindow, screen->availableGeometry().size(), kUsualFrame) /
        2;
    const QSize size = place.size().expandedTo(smallest).boundedTo(free.size());
    return {QPoint(std::clamp(place.x(), free.left(),
                              std::max(free.left(), free.right() + 1 - size.width())),
                   std::clamp(place.y(), free.top(),
                              std::max(free.top(), free.bottom() + 1 - size.height()))),
            size};
}

// $XDG_DATA_HOME/zorban/statistics.json.
QString defaultStatisticsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/zorban/statistics.json");
}

// Where earlier versions kept it: $XDG_DATA_HOME/zorban/zorban/statistics.json.
QString earlierStatisticsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/statistics.json");
}

void reportOnStderr(const QString& message) {
    std::fprintf(stderr, "zorban: %s\n", qPrintable(message));
}

} // namespace

GameApp::GameApp(SoundFactory makeSoundPlayer, std::unique_ptr<game::RandomSource> random,
                 QString statisticsFile)
    : random_(std::move(random)), makeSoundPlayer_(std::move(makeSoundPlayer)),
      statistics_(statisticsFile.isEmpty() ? defaultStatisticsFile() : statisticsFile,
                  statisticsFile.isEmpty() ? earlierStatisticsFile() : QString()) {
    connect(&statistics_, &storage::StatisticsKeeper::changed, this, &GameApp::showStatisticsKept);
    if (!random_)
        random_ = std::make_unique<game::TimeSeededRandom>();
    game_ = std::make_unique<game::Game>(*random_, timers_);
    connect(game_.get(), &game::Game::newGameRequested, this, &GameApp::newGame);
    connect(game_.get(), &game::Game::logWriteFailed, this, &GameApp::reportLogFailure);
    connect(game_.get(), &game::Game::gameFinished, this, [this](const game::GameRecord& record) {
        if (leftGameRecorded_) // a left game is recorded as it was left
            return;
        recordGame(record);
        if (summaryAtEnd_)
            showSummary();
    });
    if (!makeSoundPlayer_) {
        // The device is opened once the first window has been drawn (or a sound
        // started): opening it and decoding would otherwise take the processor
        // from the window's first frame.
        soundEngine_ = std::make_unique<media::SoundEngine>(media::SoundEngine::Output::Device,
                                                            media::SoundEngine::Opening::WhenAsked);
        // The window's sounds are decoded before they are first needed; the
        // credits' music only when the credits are opened.
        QStringList sounds;
        for (const QString& sound : media::allSounds()) {
            if (sound != media::soundFile(media::Sound::Credits))
                sounds << media::locate(media::currentDirectory(), sound);
        }
        soundEngine_->preload(sounds);
        makeSoundPlayer_ = [engine = soundEngine_.get()] { return engine->createPlayer(); };
    }
    storage::Settings::writeInBackground(); // never on the window's thread
    soundSettings_ = std::make_unique<SoundSettings>(soundEngine_.get());
    desktopControls_ = std::make_unique<DesktopControls>(*soundSettings_);
    connect(desktopControls_.get(), &DesktopControls::newGameRequested, this, &GameApp::newGame);
    connect(desktopControls_.get(), &DesktopControls::creditsRequested, this,
            &GameApp::showCredits);
    connect(desktopControls_.get(), &DesktopControls::statisticsRequested, this,
            &GameApp::showStatistics);
    connect(desktopControls_.get(), &DesktopControls::summaryRequested, this,
            &GameApp::showSummary);
    summaryAtEnd_ = storage::Settings().summaryAtEnd();
    desktopControls_->setSummaryAtEnd(summaryAtEnd_);
    connect(desktopControls_.get(), &DesktopControls::summaryAtEndChosen, this, [this](bool shown) {
        summaryAtEnd_ = shown;
        storage::Settings().setSummaryAtEnd(shown);
    });
    game_->setQuickPace(storage::Settings().quickPace());
    connect(desktopControls_.get(), &DesktopControls::quickPaceChosen, this, [this](bool quick) {
        game_->setQuickPace(quick);
        storage::Settings().setQuickPace(quick);
    });
    geometrySettles_.setSingleShot(true);
    geometrySettles_.setInterval(kGeometrySettleMs);
    connect(&geometrySettles_, &QTimer::timeout, this, &GameApp::noteWindowGeometry);
}

GameApp::~GameApp() {
    // The members go one by one from here; what their windows still send
    // (an action removed, a window closed) is not looked at any more.
    destroying_ = true;
    statistics_.writeUnsavedAtQuit();
    gamePad_.reset();
    delete statisticsWindow_.data();
    delete summaryWindow_.data();
    delete credits_.data();
    delete window_.data();
    game_.reset();
}

void GameApp::start() {
    // Claimed before the window, which writes to the file claimed.
    logClaim_ = game::LogFileClaim::shared(media::currentDirectory());
    game_->setLogFile(logClaim_->path(), media::readablePath(logClaim_->path()));
    game_->newGame();
    leftGameRecorded_ = false;
    if (window_) {
        window_->activateWindow();
        reportLogClaim();
        return;
    }
    window_ = createWindow();
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (windowPlace_.isValid() && screen && screen->virtualGeometry().intersects(windowPlace_)) {
        window_->setGeometry(windowPlace_); // where the player left it
    } else if (screen) {
        window_->resize(layout::openingSize(layout::kGameWindow, screen->availableGeometry().size(),
                                            kUsualFrame));
        centreOnScreen(window_, kUsualFrame);
    }
    if (windowFullScreen_)
        window_->showFullScreen();
    else
        window_->show();
    window_->activateWindow();
    if (soundEngine_ && !soundOutputAsked_)
        window_->windowHandle()->installEventFilter(this); // until its first frame
    reportLogClaim();
}

void GameApp::reportLogClaim() {
    if (!logClaim_->problem().isEmpty() && !logApartTold_) {
        logApartTold_ = true;
        reportLogRefused(*logClaim_);
    } else if (logClaim_->apart() && !logApartTold_) {
        logApartTold_ = true;
        reportLogApart(logClaim_->path());
    }
}

bool GameApp::eventFilter(QObject* watched, QEvent* event) {
    // A window being destroyed is no longer a GameWindow here: qobject_cast
    // tells it apart before the pointer is compared.
    if (destroying_)
        return false;
    auto* gameWindow = qobject_cast<GameWindow*>(watched);
    if (gameWindow && gameWindow == window_ && rememberWindow_) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
            geometrySettles_.start(); // written once the window has settled
            break;
        default:
            break;
        }
        return false;
    }
    auto* shown = qobject_cast<QWindow*>(watched);
    if (event->type() == QEvent::Expose && shown && shown->isExposed()) {
        // The window draws its frame as it takes this event; the output opens
        // right after.
        shown->removeEventFilter(this);
        soundOutputAsked_ = true;
        QTimer::singleShot(0, this, [this] {
            soundEngine_->openOutput();
            if (gamePadsWanted_)
                useGamePads();
        });
    }
    return QObject::eventFilter(watched, event);
}

void GameApp::rememberWindowBetweenRuns() {
    rememberWindow_ = true;
    const storage::Settings settings;
    const std::optional<QRect> place = settings.windowPlace();
    windowPlace_ = place ? fitOnScreen(*place) : QRect();
    windowFullScreen_ = settings.fullScreen();
}

void GameApp::useGamePads() {
    gamePadsWanted_ = true;
    if (gamePad_ || (soundEngine_ && !soundOutputAsked_))
        return;
    gamePad_ = std::make_unique<GamePad>([this] { return static_cast<QWidget*>(window_.data()); });
}

void GameApp::noteWindowGeometry() {
    geometrySettles_.stop();
    if (!window_)
        return;
    windowPlace_ = window_->placeOutsideFullScreen();
    windowFullScreen_ = window_->isFullScreen();
    if (!rememberWindow_)
        return;
    storage::Settings().setWindow(windowPlace_, windowFullScreen_);
}

GameWindow* GameApp::createWindow() {
    auto* window = new GameWindow(*game_, makeSoundPlayer_());
    // No smaller than half the design, where the amounts stay readable, unless
    // the screen is smaller still.
    QSize smallest = twips::toPixels(layout::kGameWindow).size() / 2;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        smallest =
            smallest.boundedTo(screen->availableGeometry().marginsRemoved(kUsualFrame).size());
    window->setMinimumSize(smallest);
    window->installEventFilter(this); // its moves and resizes
    connect(window, &GameWindow::creditsRequested, this, &GameApp::showCredits);
    connect(window, &GameWindow::closed, this, &GameApp::windowClosed);
    desktopControls_->attach(window);
    return window;
}

void GameApp::newGame() {
    // The same window plays the next game: it draws the game afresh as the game
    // starts over.
    recordLeftGame();
    start();
}

void GameApp::showCredits() {
    if (!credits_) {
        // The main window's width as designed, whatever its drawn scale.
        auto width = [this] {
            return window_ ? static_cast<int>(window_->width() * twips::kPerPixel /
                                              layout::sceneOf(window_).scale)
                           : layout::kGameWindow.width;
        };
        credits_ = new CreditsWindow(makeSoundPlayer_(), width);
        window_fit::openBeside(credits_, window_);
    }
    window_fit::showInFront(credits_);
}

void GameApp::showStatistics() {
    if (!statisticsWindow_) {
        statisticsWindow_ = new StatisticsWindow(statistics_.statistics());
        statisticsWindow_->setProblem([this] { return statistics_.problemText(); });
        connect(statisticsWindow_, &StatisticsWindow::startAfreshRequested, this,
                &GameApp::startStatisticsAfresh);
        connect(statisticsWindow_, &StatisticsWindow::summaryRequested, this,
                &GameApp::showSummary);
        window_fit::openBeside(statisticsWindow_, window_);
    }
    window_fit::showInFront(statisticsWindow_);
}

void GameApp::showSummary() {
    if (!summaryWindow_) {
        summaryWindow_ = new SummaryWindow;
        summaryWindow_->setGame(statistics_.statistics().lastGame());
        window_fit::openBeside(summaryWindow_, window_);
    }
    window_fit::showInFront(summaryWindow_);
}

void GameApp::startStatisticsAfresh() {
    static_cast<void>(statistics_.startAfresh()); // the window shows how it went
}

void GameApp::showStatisticsKept() {
    if (statisticsWindow_) {
        statisticsWindow_->setStatistics(statistics_.statistics());
        statisticsWindow_->setProblem([this] { return statistics_.problemText(); });
    }
    if (summaryWindow_)
        summaryWindow_->setGame(statistics_.statistics().lastGame());
}

void GameApp::recordLeftGame() {
    if (!game_->isInProgress() || leftGameRecorded_)
        return;
    // Recorded here once: a left game that still reached its end is not.
    leftGameRecorded_ = true;
    if (const std::optional<game::GameRecord> decided = game_->decidedRecord())
        recordGame(*decided);
    else
        statistics_.keep([](storage::Statistics& statistics) { statistics.addLeftGame(); });
}

void GameApp::recordGame(const game::GameRecord& record) {
    statistics_.keep([record](storage::Statistics& statistics) { statistics.addGame(record); });
}

void GameApp::windowClosed() {
    recordLeftGame();
    if (statisticsWindow_)
        statisticsWindow_->close();
    noteWindowGeometry();
    if (credits_)
        credits_->close();
    QCoreApplication::quit();
}

void GameApp::endNow() {
    if (endingNow_)
        return;
    endingNow_ = true;
    recordLeftGame();
    noteWindowGeometry();
    // Leaves the event loop without closing the windows: closing the game
    // window would ask whether to leave the game.
    QCoreApplication::exit(0);
}

void GameApp::reportLogApart(const QString& path) {
    const QString file = QFileInfo(path).fileName();
    reportOnStderr(path.isEmpty()
                       ? QStringLiteral("other games are running in this directory and hold every "
                                        "log name; this game keeps no log")
                       : QStringLiteral("another game is running in this directory and writes "
                                        "log.txt; this game's log is %1")
                             .arg(media::readablePath(path)));
    showMessage(QMessageBox::Information, [path, file] {
        return path.isEmpty()
                   ? tr("В этой папке уже идут другие игры.\n\nЭта игра идёт без журнала.")
                   : tr("В этой папке уже идёт другая игра, её журнал — log.txt.\n\n"
                        "Журнал этой игры пишется в %1.")
                         .arg(file);
    });
}

void GameApp::reportLogRefused(const game::LogFileClaim& claim) {
    const QString name = claim.refusedName();
    const QString problem = claim.problem();
    reportOnStderr(QStringLiteral("%1 in this directory %2; it is left as it is and this game "
                                  "keeps no log")
                       .arg(name, problem));
    // The kinds of file the game refuses, in the player's language.
    const auto what = [kind = claim.problemKind()] {
        switch (kind) {
        case files::Problem::SymbolicLink:
            return tr("символическая ссылка");
        case files::Problem::NamedPipe:
            return tr("именованный канал");
        case files::Problem::Device:
            return tr("устройство");
        case files::Problem::Folder:
            return tr("папка");
        default:
            return tr("не обычный файл");
        }
    };
    showMessage(QMessageBox::Information, [name, what] {
        return tr("%1 в этой папке — %2.\n\nИгра не трогает его и идёт без журнала.")
            .arg(name, what());
    });
}

void GameApp::reportLogFailure(const QString& path, const QString& reason, files::Problem problem) {
    if (!window_)
        return;
    showMessage(QMessageBox::Warning, [path, reason, problem] {
        return tr("Не удаётся записать журнал игры:\n%1\n(%2)\n\n"
                  "Игра продолжается без записи.")
            .arg(path, files::playerText(problem, QFileInfo(path).fileName(), reason));
    });
}

void GameApp::showMessage(QMessageBox::Icon icon, const std::function<QString()>& text) {
    auto* box = new QMessageBox(icon, QString(), QString(), QMessageBox::Ok, window_);
    side_windows::applyGameLook(box);
    const auto retranslate = [box, text] {
        box->setWindowTitle(tr("? ЗОРБАН !"));
        box->setText(text());
    };
    retranslate();
    i18n::followLanguage(box, retranslate);
    box->setAttribute(Qt::WA_DeleteOnClose);
    window_fit::addCloseKeys(box);
    box->open();
}
