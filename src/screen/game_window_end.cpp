// The exchange of cases and the end of a game.
#include "game_window.h"

#include "amounts.h"
#include "game_log.h"
#include "layout.h"
#include "movie_widget.h"
#include "sound_player.h"
#include "timings.h"

#include <QLabel>
#include <QPushButton>

void GameWindow::swapOwnCase() {
    if (s.openedCount == 20) {
        // The one closed case left besides the own case is taken.
        for (int i = 0; i < game::kCaseCount; ++i) {
            if (i != s.ownCase && !s.caseOpened[static_cast<size_t>(i)])
                s.swapCase = static_cast<qint16>(i);
        }
    }
    ui_.offerAmount->hide();
    const int taken = s.swapCase;
    const int former = s.ownCase;
    record_.exchanges.push_back({game::amountValue(s.caseAmount[static_cast<size_t>(former)]),
                                 game::amountValue(s.caseAmount[static_cast<size_t>(taken)])});
    // The former own case goes where the taken one stood.
    const game::CaseSpot takenFrom =
        s.caseMovedTo[static_cast<size_t>(taken)].value_or(layout::caseCellSpot(taken));
    s.caseMovedTo[static_cast<size_t>(taken)] = layout::kOwnCaseSpot;
    placeCase(taken);
    s.caseMovedTo[static_cast<size_t>(former)] = takenFrom;
    placeCase(former);
    if (s.openedCount == 20)
        s.finalSwapDone = true;
    s.ownCase = s.swapCase;
    s.swapCase = 0;
    s.swapOfferAllowed = false;
}

// Polled once a second after the last opening: once its sound has ended, the
// own case opens.
void GameWindow::openOwnCase() {
    if (!sound_->hasClipEnded())
        return;
    playSound(media::Sound::OwnCase);
    s.caseOpened[static_cast<size_t>(s.ownCase)] = true;
    ui_.casePlates[s.ownCase]->hide();
    ui_.caseLids[s.ownCase]->play();
    for (int r = 0; r < game::kCaseCount; ++r) {
        if (s.boardShown[static_cast<size_t>(r)] && !s.offerTaken)
            ui_.winningsAmount->setText(game::amountText(r));
    }
    // The winnings follow the own case's sound, within the same phase.
    ui_.winningsWait->start(timings::kEndPhasePoll);
    ui_.ownCaseWait->stop();
}

// Polled once a second: once the own case's sound has ended, the winnings.
void GameWindow::showWinnings() {
    if (!sound_->hasClipEnded())
        return;
    playSound(media::Sound::Winnings);
    sound_->resume();
    ui_.winningsPanel->show();
    ui_.winningsPanel->play();
    ui_.winningsAmount->show();
    ui_.winningsTitle->show();
    ui_.newGameButton->show();
    writeLog(game::records::ownCase(game::amountText(s.caseAmount[s.ownCase])));
    ui_.winningsWait->stop();
    enterPhase(Phase::GameOver);
    record_.ownCaseAmount = game::amountValue(s.caseAmount[static_cast<size_t>(s.ownCase)]);
    emit gameFinished(record_);
}

std::optional<game::GameRecord> GameWindow::decidedRecord() const {
    if (!gameUnderWay() || s.ownCase < 0 || (!record_.acceptedOffer && phase_ != Phase::EndOfGame))
        return std::nullopt;
    game::GameRecord record = record_;
    record.ownCaseAmount = game::amountValue(s.caseAmount[static_cast<size_t>(s.ownCase)]);
    return record;
}
