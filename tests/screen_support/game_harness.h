#pragma once

#include "draws.h"
#include "fake_sound_player.h"
#include "game_app.h"
#include "game_window.h"
#include "random_source.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

// A whole game application on the offscreen platform: a silent sound player that
// ends clips on demand, a random source replaying fixed draws and a start-up
// directory of its own (where the log is written).
class GameHarness {
  public:
    // prepare (when given) is called with the directory before the game starts.
    explicit GameHarness(std::vector<float> draws = {},
                         const std::function<void(const QString&)>& prepare = {});
    // With another random source (random stays null then).
    explicit GameHarness(std::unique_ptr<game::RandomSource> source);
    ~GameHarness();

    [[nodiscard]] GameWindow* w() const { return app->window(); }
    [[nodiscard]] FakeSoundPlayer* sound() const;
    [[nodiscard]] QString dir() const { return dir_.path(); }
    [[nodiscard]] QString statisticsFile() const {
        return dir_.filePath(QStringLiteral("statistics.json"));
    }
    [[nodiscard]] QByteArray logBytes() const;

    // Clicks a control the way a player can: only when it is shown and enabled.
    [[nodiscard]] static bool click(QWidget* widget);
    // Runs the real event loop for that long (timers fire, queued calls run), then
    // deletes what was left for deletion, as a return to the main loop would.
    static void runEventLoop(int milliseconds);

    // "Начать игру" and the whole reveal of the board, tick by tick.
    [[nodiscard]] bool startGame();
    // The suspense sound ends: the clicked case opens.
    void endSound() { sound()->endClip(); }
    // Clicks a case and lets the suspense sound end.
    [[nodiscard]] bool openCase(int caseIndex);
    [[nodiscard]] bool openCases(std::initializer_list<int> cases);
    // Ends the round's last sound so that the offer appears, after appending the
    // given draws; true when the offer is shown and took exactly the draws appended.
    [[nodiscard]] bool showOffer(const std::vector<float>& draws);

    // A game in which case i holds rank i, the banker is not the cautious one and
    // the player has chosen ownCase.
    [[nodiscard]] static std::unique_ptr<GameHarness>
    withOwnCase(int ownCase, const std::function<void(const QString&)>& prepare = {});
    // With own case 21, plays rounds 1..count opening the cases in index order and
    // declines every offer; the offers are money (no exchange drawn), factor 0.5,
    // roll 99. Leaves the game waiting for the next click.
    [[nodiscard]] bool declineRounds(int count);

    // The file name part of the last sound started, e.g. "music/chosen.mp3".
    [[nodiscard]] QString lastSound() const;
    [[nodiscard]] QStringList soundsSince(int index) const;

    // Every text the player can read now: the window's title, the shown labels'
    // and buttons' texts and tooltips, shown dialogs over the window, and every
    // entry of its menu (open or not).
    [[nodiscard]] QStringList shownTexts() const;
    // Those of them an English reader would not take for English: a text with a
    // Cyrillic letter (but the language menu's own texts, which read the same in
    // every language), and a number of four or more digits not grouped by
    // commas ("1000", "1 000", "1 000" with a no-break space).
    [[nodiscard]] QStringList notEnglishTexts() const;

    std::unique_ptr<GameApp> app;
    game::ReplayRandom* random = nullptr;

  private:
    void start(std::unique_ptr<game::RandomSource> source,
               const std::function<void(const QString&)>& prepare = {});

    QTemporaryDir dir_;
    QString previousDir_;
};

// The draws of a whole game: identityGameDraws(), a banker who is not the
// cautious one, and for each offer in turn its exchange draws, factor 0.5 and roll 99.
// What a directed player presses next in w: once the board is revealed, one of
// the cases that take a click; money is mostly declined (taken one time in
// five), an exchange taken half the time. below(n) draws from 0 to n - 1. Null
// while the game does not wait for the player.
[[nodiscard]] QWidget* directedPlayersChoice(GameWindow* w, const std::function<int(int)>& below);

// The game's timed steps fired by hand: the step runs, as its timer would when
// its time comes, only while its timer is running; whether it ran.
bool fireIfRunning(game::Game& game, game::Game::Step step);
// Each timed step of the game that is running, once, in the order of the steps.
void fireRunningSteps(game::Game& game);

[[nodiscard]] std::vector<float>
wholeGameDraws(const std::vector<std::vector<float>>& exchangeDrawsPerOffer);
