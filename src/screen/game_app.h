#pragma once

#include "credits_window.h"
#include "game_state.h"
#include "game_window.h"
#include "random_source.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class DesktopControls;
class SoundPlayer;
class SoundSettings;
namespace media {
class SoundEngine;
}

// The application: it owns the game state and the random source for as long as
// the program runs, builds the main window (anew for every "Новая игра") and the
// credits window on demand.
class GameApp final : public QObject {
  public:
    using SoundFactory = std::function<std::unique_ptr<SoundPlayer>()>;

    // The defaults are players of the sound engine (which the application then
    // owns) and the time-seeded generator.
    explicit GameApp(SoundFactory makeSoundPlayer = {},
                     std::unique_ptr<game::RandomSource> random = {});
    ~GameApp() override;

    // Builds and shows the main window.
    void start();
    [[nodiscard]] GameWindow* window() const { return window_; }
    [[nodiscard]] CreditsWindow* credits() const { return credits_; }
    [[nodiscard]] game::GameState& state() { return state_; }
    [[nodiscard]] game::RandomSource& random() { return *random_; }
    // The sound engine behind the default players; null with a factory of one's own.
    [[nodiscard]] media::SoundEngine* soundEngine() const { return soundEngine_.get(); }
    // Mute and volume as the player set them, kept between runs.
    [[nodiscard]] SoundSettings& soundSettings() const { return *soundSettings_; }
    // The keys, the context menu and the rules of every game window.
    [[nodiscard]] DesktopControls& desktopControls() const { return *desktopControls_; }

    void newGame();
    void showCredits();

  private:
    GameWindow* createWindow();
    void windowClosed();
    void reportLogFailure(const QString& path, const QString& reason);

    game::GameState state_;
    // Outlives the windows and their players.
    std::unique_ptr<media::SoundEngine> soundEngine_;
    std::unique_ptr<game::RandomSource> random_;
    SoundFactory makeSoundPlayer_;
    std::unique_ptr<SoundSettings> soundSettings_;
    std::unique_ptr<DesktopControls> desktopControls_;
    QPointer<GameWindow> window_;
    QPointer<CreditsWindow> credits_;
};
