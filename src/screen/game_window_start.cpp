// Starting a game: "Начать игру", the reveal of the board, "Новая игра" and the
// title logo.
#include "game_window.h"

#include "movie_widget.h"
#include "rounds.h"
#include "shuffle.h"
#include "timings.h"

#include <QLabel>
#include <QPushButton>
#include <limits>

void GameWindow::onStartClicked() {
    if (phase_ != Phase::Loaded)
        return;
    s.introStep = -1;
    setCasesEnabled(true);
    ui_.startButton->hide();
    game::shuffle(s, random_);
    for (int i = 0; i < game::kCaseCount; ++i) {
        ui_.caseAmounts[i]->setText(s.caseAmountText[i]);
        ui_.boardAmounts[s.caseAmount[i]]->setText(s.caseAmountText[i]);
    }
    enterPhase(Phase::ChoosingOwnCase);
}

// One entry of the board, from the top amount down, every 75 ms after the first
// half second; the prompt to choose comes with the last one.
void GameWindow::revealNextBoardEntry() {
    if (s.introStep >= 0) {
        if (s.introStep == 0)
            playSound(media::Sound::BoardReveal);
        ui_.boardRevealTimer->start(timings::kOpeningStep);
        if (s.introStep < game::kCaseCount) {
            const int k = game::kCaseCount - 1 - s.introStep;
            ui_.boardPlates[k]->show();
            ui_.boardPlates[k]->play();
            // A case can be opened before the reveal is over (once the own case is
            // chosen); its amount has left the board and is not put back.
            bool opened = false;
            for (int i = 0; i < game::kCaseCount; ++i) {
                if (s.caseAmount[i] == k && i != s.ownCase)
                    opened = s.caseOpened[i];
            }
            if (!opened)
                showBoardEntry(k, true);
        }
        if (s.introStep == game::kCaseCount - 1 && s.openedCount == -1) {
            ui_.counterCaption->setText(game::kChooseOwnCasePrompt);
            ui_.counterCaption->show();
            ui_.captionFrame->show();
            ui_.numberFrame->show();
            ui_.phoneFrame->show();
            ui_.boardRevealTimer->stop();
        }
    }
    // Once the own case is chosen during the reveal the timer is never stopped;
    // it keeps counting and changes nothing else. The count saturates instead of
    // overflowing if the window stays open for months.
    if (s.introStep < std::numeric_limits<qint32>::max())
        ++s.introStep;
}

void GameWindow::onNewGameClicked() {
    if (phase_ != Phase::GameOver)
        return;
    enterPhase(Phase::Loaded);
    emit newGameRequested();
}

void GameWindow::onLogoClicked() {
    emit creditsRequested();
}
