#include "game_app.h"

#include "desktop_controls.h"
#include "layout.h"
#include "media_files.h"
#include "sound_engine.h"
#include "sound_settings.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <malloc.h>

namespace {

constexpr char kGeometryKey[] = "window/geometry";
constexpr char kFullScreenKey[] = "window/fullScreen";

// The frame a window manager puts around a window, until the window has one
// to measure: a title bar and thin borders.
constexpr QMargins kUsualFrame{4, 32, 4, 4};

void centreOnScreen(QWidget* window, QMargins frame = {}) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect outer(QPoint(), window->size().grownBy(frame));
    outer.moveCenter(screen->availableGeometry().center());
    window->move(outer.topLeft());
}

QString defaultStatisticsFile() {
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
      statisticsStore_(statisticsFile.isEmpty() ? defaultStatisticsFile()
                                                : std::move(statisticsFile)) {
    game::StatisticsStore::Loaded loaded = statisticsStore_.load();
    statistics_ = loaded.statistics;
    savingStatistics_ = !loaded.mustNotWrite;
    if (!loaded.problem.isEmpty())
        reportOnStderr(loaded.problem);
    if (!random_)
        random_ = std::make_unique<game::TimeSeededRandom>();
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
                sounds << media::locate(QDir::currentPath(), sound);
        }
        soundEngine_->preload(sounds);
        makeSoundPlayer_ = [engine = soundEngine_.get()] { return engine->createPlayer(); };
    }
    soundSettings_ = std::make_unique<SoundSettings>(soundEngine_.get());
    desktopControls_ = std::make_unique<DesktopControls>(*soundSettings_);
    connect(desktopControls_.get(), &DesktopControls::newGameRequested, this, &GameApp::newGame);
    connect(desktopControls_.get(), &DesktopControls::creditsRequested, this,
            &GameApp::showCredits);
    connect(desktopControls_.get(), &DesktopControls::statisticsRequested, this,
            &GameApp::showStatistics);
    connect(desktopControls_.get(), &DesktopControls::quitRequested, this, [this] {
        if (window_)
            window_->close();
    });
}

GameApp::~GameApp() {
    delete statisticsWindow_.data();
    delete credits_.data();
    delete window_.data();
}

void GameApp::start() {
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
    if (soundEngine_ && !soundOutputAsked_)
        window_->windowHandle()->installEventFilter(this); // until its first frame
}

bool GameApp::eventFilter(QObject* watched, QEvent* event) {
    auto* shown = qobject_cast<QWindow*>(watched);
    if (event->type() == QEvent::Expose && shown && shown->isExposed()) {
        // The window draws its frame as it takes this event; the output opens
        // right after.
        shown->removeEventFilter(this);
        soundOutputAsked_ = true;
        QTimer::singleShot(0, this, [this] { soundEngine_->openOutput(); });
    }
    return QObject::eventFilter(watched, event);
}

void GameApp::rememberWindowBetweenRuns() {
    rememberWindow_ = true;
    const QSettings settings;
    windowPlace_ = settings.value(QLatin1String(kGeometryKey)).toRect();
    windowFullScreen_ = settings.value(QLatin1String(kFullScreenKey), false).toBool();
}

void GameApp::noteWindowGeometry() {
    if (!window_)
        return;
    windowPlace_ = window_->placeOutsideFullScreen();
    windowFullScreen_ = window_->isFullScreen();
    if (!rememberWindow_)
        return;
    QSettings settings;
    settings.setValue(QLatin1String(kGeometryKey), windowPlace_);
    settings.setValue(QLatin1String(kFullScreenKey), windowFullScreen_);
}

GameWindow* GameApp::createWindow() {
    auto* window = new GameWindow(state_, *random_, makeSoundPlayer_());
    connect(window, &GameWindow::newGameRequested, this, &GameApp::newGame);
    connect(window, &GameWindow::creditsRequested, this, &GameApp::showCredits);
    connect(window, &GameWindow::closed, this, &GameApp::windowClosed);
    connect(window, &GameWindow::logWriteFailed, this, &GameApp::reportLogFailure);
    connect(window, &GameWindow::gameFinished, this, &GameApp::recordGame);
    desktopControls_->attach(window);
    return window;
}

void GameApp::newGame() {
    // The window and all its controls go; the state stays. The old window is
    // deleted once its click handler has returned.
    if (window_) {
        noteWindowGeometry();           // the new window takes the old one's size and place
        window_->soundPlayer()->stop(); // the sound goes with the window
        window_->hide();
        // Once the old window is gone, what it freed goes back to the system
        // instead of staying with the allocator from game to game.
        connect(window_, &QObject::destroyed, this,
                [] { QTimer::singleShot(0, [] { malloc_trim(0); }); });
        window_->deleteLater();
    }
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
        credits_->setAttribute(Qt::WA_DeleteOnClose);
        centreOnScreen(credits_);
        credits_->show();
    }
    credits_->raise();
    credits_->activateWindow();
}

void GameApp::showStatistics() {
    if (!statisticsWindow_) {
        statisticsWindow_ = new StatisticsWindow(statistics_);
        statisticsWindow_->setAttribute(Qt::WA_DeleteOnClose);
        centreOnScreen(statisticsWindow_);
        statisticsWindow_->show();
    }
    statisticsWindow_->raise();
    statisticsWindow_->activateWindow();
}

void GameApp::recordGame(const game::GameRecord& record) {
    statistics_.addGame(record);
    if (statisticsWindow_)
        statisticsWindow_->setStatistics(statistics_);
    if (!savingStatistics_)
        return;
    QString error;
    if (!statisticsStore_.save(statistics_, &error)) {
        savingStatistics_ = false;
        reportOnStderr(QStringLiteral("cannot write the statistics to %1 (%2); they are not kept "
                                      "in this run")
                           .arg(statisticsStore_.path(), error));
    }
}

void GameApp::windowClosed() {
    if (statisticsWindow_)
        statisticsWindow_->close();
    noteWindowGeometry();
    if (credits_)
        credits_->close();
    QCoreApplication::quit();
}

void GameApp::reportLogFailure(const QString& path, const QString& reason) {
    if (!window_)
        return;
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("? ЗОРБАН !"),
                                QStringLiteral("Не удаётся записать журнал игры:\n%1\n(%2)\n\n"
                                               "Игра продолжается без записи.")
                                    .arg(path, reason),
                                QMessageBox::Ok, window_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
