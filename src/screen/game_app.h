#pragma once

#include "credits_window.h"
#include "game.h"
#include "game_window.h"
#include "random_source.h"
#include "statistics_keeper.h"
#include "statistics_window.h"
#include "step_timer.h"
#include "summary_window.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class DesktopControls;
class GamePad;
class SoundPlayer;
class SoundSettings;

namespace media {
class SoundEngine;
}

// The application: it owns the game (game::Game) and the random source for as
// long as the program runs, builds the main window once (every game is drawn in it,
// "Новая игра" included) and the credits and statistics windows on demand. The
// statistics of finished games go to their keeper (storage::StatisticsKeeper),
// which writes them to a file that outlives the run.
class GameApp final : public QObject {
    Q_DECLARE_TR_FUNCTIONS(GameApp)

  public:
    using SoundFactory = std::function<std::unique_ptr<SoundPlayer>()>;

    // The defaults are players of the sound engine (which the application then
    // owns), the time-seeded generator and statistics.json in the user's data
    // directory ($XDG_DATA_HOME/zorban, where a file kept by earlier versions
    // in $XDG_DATA_HOME/zorban/zorban is moved once). The statistics are read here.
    explicit GameApp(SoundFactory makeSoundPlayer = {},
                     std::unique_ptr<game::RandomSource> random = {}, QString statisticsFile = {});
    ~GameApp() override;

    // Starts a game: the first builds and shows the main window, the next ones
    // play in it.
    void start();
    [[nodiscard]] GameWindow* window() const { return window_; }
    [[nodiscard]] CreditsWindow* credits() const { return credits_; }
    [[nodiscard]] StatisticsWindow* statisticsWindow() const { return statisticsWindow_; }
    [[nodiscard]] const storage::Statistics& statistics() const { return statistics_.statistics(); }
    [[nodiscard]] game::Game& game() const { return *game_; }
    [[nodiscard]] const game::GameState& state() const { return game_->state(); }
    [[nodiscard]] game::RandomSource& random() { return *random_; }
    // The sound engine behind the default players; null with a factory of one's own.
    [[nodiscard]] media::SoundEngine* soundEngine() const { return soundEngine_.get(); }
    // Mute and volume as the player set them, kept between runs.
    [[nodiscard]] SoundSettings& soundSettings() const { return *soundSettings_; }
    // The keys, the context menu and the rules of the game window.
    [[nodiscard]] DesktopControls& desktopControls() const { return *desktopControls_; }

    // The window opens where it was left and as large, full screen or not, as at
    // the end of the last run (kept in the settings). Without this call only
    // "Новая игра" keeps them. They are written once the window has stayed put
    // for half a second after a move or resize, so that a killed game keeps them.
    void rememberWindowBetweenRuns();
    // Game pads play too (GamePad), watched from once the first window has been
    // drawn, or at once without the sound engine.
    void useGamePads();
    // Runs work once the first window has drawn its first frame (at once if it
    // has, or without the sound engine, which waits for that frame too).
    void whenFirstFrameDrawn(std::function<void()> work);
    // Null until then.
    [[nodiscard]] GamePad* gamePad() const { return gamePad_.get(); }

    void newGame();
    // Ends the program without a question (a signal): the game under way is
    // recorded as left (once, with its deal if it has one) and the window's
    // place kept, as when it is closed. Called again, it does nothing.
    void endNow();
    void showCredits();
    void showStatistics();
    // The last finished game told offer by offer.
    void showSummary();
    [[nodiscard]] SummaryWindow* summaryWindow() const { return summaryWindow_; }
    // The statistics file is kept beside as a backup and the statistics start
    // from nothing (the player has agreed in the statistics window).
    void startStatisticsAfresh();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    GameWindow* createWindow();
    // Tells the player once when this run keeps its log elsewhere or none.
    void reportLogClaim();
    void windowClosed();
    // Keeps the window's size, place and full-screen state for the next run.
    void noteWindowGeometry();
    void reportLogFailure(const QString& path, const QString& reason, files::Problem problem);
    // Another game runs in the same directory: this one's log is kept apart.
    void reportLogApart(const QString& path);
    void reportLogRefused(const game::LogFileClaim& claim);
    // A message over the window, in the language spoken while it is open.
    void showMessage(QMessageBox::Icon icon, const std::function<QString()>& text);
    void recordGame(const game::GameRecord& record);
    // The game under way, as the player leaves it (by "Новая игра" or by
    // closing the window): recorded when decided, else counted as left.
    void recordLeftGame();
    // The statistics window shows what the keeper holds now.
    void showStatisticsKept();

    // Outlives the windows and their players.
    std::unique_ptr<media::SoundEngine> soundEngine_;
    std::unique_ptr<game::RandomSource> random_;
    game::QtTimerSource timers_;
    std::unique_ptr<game::Game> game_;
    SoundFactory makeSoundPlayer_;
    std::unique_ptr<SoundSettings> soundSettings_;
    std::unique_ptr<DesktopControls> desktopControls_;
    // Goes before the sound engine, which ends SDL.
    std::unique_ptr<GamePad> gamePad_;
    bool gamePadsWanted_ = false;
    QPointer<GameWindow> window_;
    bool destroying_ = false;
    bool endingNow_ = false;
    bool leftGameRecorded_ = false; // the game under way was left and recorded so
    QPointer<CreditsWindow> credits_;
    storage::StatisticsKeeper statistics_;
    QPointer<StatisticsWindow> statisticsWindow_;
    QPointer<SummaryWindow> summaryWindow_;
    bool summaryAtEnd_ = false; // as the settings keep it
    QRect windowPlace_;         // of the last window, out of full screen
    bool windowFullScreen_ = false;
    bool rememberWindow_ = false;
    QTimer geometrySettles_;
    bool soundOutputAsked_ = false; // once the first window has been drawn
    std::vector<std::function<void()>> afterFirstFrame_;
    // The log file of this run's games, held for as long as the application.
    std::shared_ptr<const game::LogFileClaim> logClaim_;
    bool logApartTold_ = false;
};
