// Choosing the own case and opening the others.
#include "game_window.h"

#include "amounts.h"
#include "banker.h"
#include "game_log.h"
#include "layout.h"
#include "movie_widget.h"
#include "rounds.h"
#include "sound_player.h"

#include <QLabel>

void GameWindow::onCaseClicked(int index) {
    if (index < 0 || index >= game::kCaseCount)
        return;
    // Only a plate the player can see and that is enabled takes clicks.
    if (!casesEnabled_ || s.caseOpened[static_cast<size_t>(index)])
        return;
    // The steps below test the state as it was at the click: no step changes what
    // a later one tests.
    const bool chosen = s.openedCount != -1;
    const bool otherCase = index != s.ownCase;
    const bool pending = s.swapPending;

    if (chosen && otherCase && !pending) {
        // The counter panel is rebuilt for the count left after this opening and
        // stays hidden until the opening is over.
        setCasesEnabled(false);
        const game::CounterPanel panel = game::counterAfterClick(s.counter, s.openedCount);
        s.counter = panel.count;
        ui_.counterCaption->setText(panel.words);
        ui_.counterNumber->setText(QString::number(panel.count));
        setCounterPanelVisible(false);
    }

    if (chosen && otherCase && !s.offerTaken && !pending) {
        s.currentCase = static_cast<qint16>(index);
        playSound(s.finalSwapDone ? media::Sound::SuspenseAfterFinalSwap : media::Sound::Suspense);
        sound_->setLooping(false);
        enterPhase(Phase::Suspense);
        ui_.historyCover->show();
        setHistoryTitleShown(false);
        s.finalSwapDone = false;
    } else if (chosen && otherCase && s.offerTaken && !pending) {
        s.currentCase = static_cast<qint16>(index);
        openCurrentCase();
    }

    if (!chosen) {
        ui_.counterCaption->setText(game::kFirstRoundWords);
        setCounterPanelVisible(true);
        playSound(media::Sound::OwnCase);
        random_.reseedFromTimeOfDay();
        s.bankerStyle = static_cast<qint16>(game::drawBelow(random_, 2));
        s.ownCase = static_cast<qint16>(index);
        s.caseMovedTo[static_cast<size_t>(index)] = layout::kOwnCaseSpot;
        placeCase(index);
        s.openedCount = 0;
        enterPhase(Phase::WaitingForClick);
    }

    if (pending) {
        s.swapCase = static_cast<qint16>(index);
        swapOwnCase();
        s.swapPending = false;
        ui_.counterCaption->hide();
        ui_.captionFrame->hide();
        ui_.numberFrame->hide();
        ui_.phoneFrame->hide();
        enterPhase(Phase::WaitingForClick);
    }
}

void GameWindow::onSuspenseEnded() {
    if (!sound_->hasClipEnded())
        return;
    openCurrentCase();
    ui_.suspenseWait->cancel();
}

void GameWindow::openCurrentCase() {
    if (s.offerTaken && game::isOfferPoint(s.openedCount)) {
        // The offer still on screen after money was accepted is put away and
        // recorded.
        ui_.offerAmount->hide();
        loadMovie(ui_.offerPanel, media::kMovieBankClose);
        ++s.offerCount;
        if (s.offerCount <= game::kHistorySize)
            s.offerHistory[s.offerCount] =
                s.offerText == game::kExchangeOffer ? game::kExchangeInHistory : s.offerText;
        hideHistory();
    }

    if (s.currentCase == s.ownCase || s.openedCount < 0)
        return;

    const int i = s.currentCase;
    const int rank = s.caseAmount[i];
    s.caseOpened[static_cast<size_t>(i)] = true;
    ui_.casePlates[i]->hide();
    sound_->setLooping(false);
    ui_.caseLids[i]->play();
    playSound(media::amountSound(rank));
    writeLog(game::records::amount(game::amountText(rank)));
    showBoardEntry(rank, false);
    ++s.openedCount;

    switch (game::afterOpening(s.openedCount)) {
    case game::AfterOpening::NextCase:
        setCasesEnabled(true);
        setCounterPanelVisible(true);
        enterPhase(Phase::WaitingForClick);
        break;
    case game::AfterOpening::Offer:
        enterPhase(Phase::OfferPending);
        break;
    case game::AfterOpening::EndOfGame:
        enterPhase(Phase::EndOfGame);
        break;
    }
}
