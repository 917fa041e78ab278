#pragma once

#include "fake_sound_player.h"
#include "form1.h"
#include "game_app.h"
#include "random_source.h"

#include <QTemporaryDir>
#include <memory>
#include <vector>

// A whole game application on the offscreen platform: a silent sound player that
// ends clips on demand, a random source replaying fixed draws and a start-up
// directory of its own (where the log is written).
class GameHarness {
  public:
    explicit GameHarness(std::vector<float> draws = {});
    ~GameHarness();

    [[nodiscard]] Form1* w() const { return app->window(); }
    [[nodiscard]] FakeSoundPlayer* sound() const;
    [[nodiscard]] QString dir() const { return dir_.path(); }
    [[nodiscard]] QByteArray logBytes() const;

    // Clicks a control the way a player can: only when it is shown and enabled.
    [[nodiscard]] static bool click(QWidget* widget);

    // "Начать игру" and the whole reveal of the board, tick by tick.
    [[nodiscard]] bool startGame();
    // The suspense sound ends: the clicked case opens.
    void endSound() { sound()->endClip(); }
    // Clicks a case and lets the suspense sound end.
    [[nodiscard]] bool openCase(int caseIndex);

    // The file name part of the last sound started, e.g. "music/chosen.mp3".
    [[nodiscard]] QString lastSound() const;
    [[nodiscard]] QStringList soundsSince(int index) const;

    std::unique_ptr<GameApp> app;
    game::ReplayRandom* random = nullptr;

  private:
    QTemporaryDir dir_;
    QString previousDir_;
};

// A draw that gives exactly `value` over n values.
[[nodiscard]] float drawFor(int value, int n);
// The draws of a window load and a shuffle that puts rank i into case i.
[[nodiscard]] std::vector<float> identityGameDraws(int caseSkin = 2);
