#pragma once

#include "form1.h"
#include "form2.h"
#include "game_state.h"
#include "random_source.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class SoundPlayer;

// The application: it owns the game state and the random source for as long as
// the program runs, builds the main window (anew for every "Новая игра") and the
// credits window on demand.
class GameApp final : public QObject {
  public:
    using SoundFactory = std::function<std::unique_ptr<SoundPlayer>()>;

    // The defaults are the real sound player and the time-seeded generator.
    explicit GameApp(SoundFactory makeSoundPlayer = {},
                     std::unique_ptr<game::RandomSource> random = {});
    ~GameApp() override;

    // Builds and shows the main window.
    void start();
    [[nodiscard]] Form1* window() const { return window_; }
    [[nodiscard]] Form2* credits() const { return credits_; }
    [[nodiscard]] game::GameState& state() { return state_; }
    [[nodiscard]] game::RandomSource& random() { return *random_; }

    void newGame();
    void showCredits();

  private:
    Form1* createWindow();
    void windowClosed();
    void reportLogFailure(const QString& path, const QString& reason);

    game::GameState state_;
    std::unique_ptr<game::RandomSource> random_;
    SoundFactory makeSoundPlayer_;
    QPointer<Form1> window_;
    QPointer<Form2> credits_;
};
