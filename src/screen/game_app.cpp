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

namespace {

void centreOnScreen(QWidget* window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

} // namespace

GameApp::GameApp(SoundFactory makeSoundPlayer, std::unique_ptr<game::RandomSource> random)
    : random_(std::move(random)), makeSoundPlayer_(std::move(makeSoundPlayer)) {
    if (!random_)
        random_ = std::make_unique<game::TimeSeededRandom>();
    if (!makeSoundPlayer_) {
        soundEngine_ = std::make_unique<media::SoundEngine>();
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
}

GameApp::~GameApp() {
    delete credits_.data();
    delete window_.data();
}

void GameApp::start() {
    window_ = createWindow();
    centreOnScreen(window_);
    window_->show();
}

GameWindow* GameApp::createWindow() {
    auto* window = new GameWindow(state_, *random_, makeSoundPlayer_());
    connect(window, &GameWindow::newGameRequested, this, &GameApp::newGame);
    connect(window, &GameWindow::creditsRequested, this, &GameApp::showCredits);
    connect(window, &GameWindow::closed, this, &GameApp::windowClosed);
    connect(window, &GameWindow::logWriteFailed, this, &GameApp::reportLogFailure);
    desktopControls_->attach(window);
    return window;
}

void GameApp::newGame() {
    // The window and all its controls go; the state stays. The old window is
    // deleted once its click handler has returned.
    if (window_) {
        window_->soundPlayer()->stop(); // the sound goes with the window
        window_->hide();
        window_->deleteLater();
    }
    start();
}

void GameApp::showCredits() {
    if (!credits_) {
        auto width = [this] {
            return window_ ? window_->width() * twips::kPerPixel : layout::kGameWindow.width;
        };
        credits_ = new CreditsWindow(makeSoundPlayer_(), width);
        credits_->setAttribute(Qt::WA_DeleteOnClose);
        centreOnScreen(credits_);
        credits_->show();
    }
    credits_->raise();
    credits_->activateWindow();
}

void GameApp::windowClosed() {
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
