#pragma once

#include "game_window.h"

#include <QByteArray>
#include <QPointer>
#include <QSet>
#include <QString>
#include <array>

class GameHarness;

// Watches the games of a GameHarness from the outside, one look after every
// event (a click, the end of a clip, a turn of the event loop), and tells what
// broke. It follows what a player sees happen and keeps its own account of the
// game: the cases opened, the offers shown and answered, and the log those
// should have left, which it compares with the log file at every look.
class GameWatch {
  public:
    explicit GameWatch(GameHarness& harness) : h_(harness) {}

    // One look at the game. `clicked` is the widget that the event clicked, if
    // any. Returns what broke, or an empty string when all holds.
    [[nodiscard]] QString check(const QWidget* clicked = nullptr);

    struct Counts {
        int games = 0; // games played to the winnings
        int openings = 0;
        int offers = 0;
        int accepted = 0;  // "ДА" to money
        int exchanges = 0; // "ДА" to an exchange
        int declined = 0;
    };
    [[nodiscard]] const Counts& counts() const { return counts_; }

  private:
    struct Offer {
        bool seen = false;
        bool needsAnswer = false;
        int answers = 0;
        QString text; // as shown
    };

    void newGame(GameWindow* w);
    QString checkOpening(GameWindow* w, int before, int after);
    QString checkOffer(GameWindow* w, GameWindow::Phase before, GameWindow::Phase after,
                       const QWidget* clicked);
    QString checkCases(GameWindow* w);
    QString checkLog() const;
    void expect(const QString& record);

    GameHarness& h_;
    QPointer<GameWindow> window_;
    GameWindow::Phase phase_ = GameWindow::Phase::Loaded;
    int opened_ = 0;    // openedCount at the last look
    int ownCase_ = -1;  // the own case at the last look
    int suspense_ = -1; // the case whose opening waits for its sound, or -1
    QSet<int> openedCases_;
    std::array<Offer, 21> offers_{}; // by the number of opened cases
    QString acceptedOffer_;          // the money offer taken, as shown
    QByteArray expectedLog_;
    Counts counts_;
};
