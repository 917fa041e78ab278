#include "game_app.h"

#include "layout.h"
#include "media_files.h"
#include "sound_engine.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <cstdio>

namespace {

void centreOnScreen(QWidget* window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
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
}

GameApp::~GameApp() {
    delete statisticsWindow_.data();
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
    connect(window, &GameWindow::gameFinished, this, &GameApp::recordGame);
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
