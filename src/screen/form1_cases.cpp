// Choosing the own case and opening the others.
#include "form1.h"

#include "banker.h"
#include "game_log.h"
#include "layout.h"
#include "media_files.h"
#include "movie_widget.h"
#include "rounds.h"
#include "sound_player.h"
#include "timings.h"

#include <QLabel>

void Form1::Label1_Click(int Index) {
    if (Index < 0 || Index >= game::kCaseCount)
        return;
    // Only a plate the player can see and that is enabled takes clicks.
    if (!Label1[Index]->isEnabled() || Label1[Index]->isHidden())
        return;
    // The steps below test the state as it was at the click: no step changes what
    // a later one tests.
    const bool chosen = s.openedCount != -1;
    const bool otherCase = Index != s.ownCase;
    const bool pending = s.swapPending;

    if (chosen && otherCase && !pending) {
        // The counter panel is rebuilt for the count left after this opening and
        // stays hidden until the opening is over.
        setCasesEnabled(false);
        const game::CounterPanel panel = game::counterAfterClick(Label6->text(), s.openedCount);
        Label5->setText(panel.words);
        Label6->setText(panel.count);
        setCounterPanelVisible(false);
    }

    if (chosen && otherCase && !s.offerTaken && !pending) {
        s.currentCase = static_cast<qint16>(Index);
        playSound(s.finalSwapDone ? media::kSoundSuspenseAfterFinalSwap : media::kSoundSuspense);
        mp->setPlayCount(1);
        phase_ = Phase::Suspense;
        Timerchosen->setInterval(timings::kWaitForClip);
        Label4->show();
        Label3->hide();
        s.finalSwapDone = false;
    } else if (chosen && otherCase && s.offerTaken && !pending) {
        s.currentCase = static_cast<qint16>(Index);
        Открыть();
    }

    if (!chosen) {
        Label5->setText(game::kFirstRoundWords);
        setCounterPanelVisible(true);
        playSound(media::kSoundOwnCase);
        services_.random->reseedFromTimeOfDay();
        s.bankerStyle = static_cast<qint16>(game::drawBelow(*services_.random, 2));
        s.ownCase = static_cast<qint16>(Index);
        placeCaseAt(Index, layout::left(metka), layout::top(metka));
        s.openedCount = 0;
        phase_ = Phase::WaitingForClick;
    }

    if (pending) {
        s.swapCase = static_cast<qint16>(Index);
        Обмен();
        s.swapPending = false;
        Label5->hide();
        Shape1->hide();
        Shape2->hide();
        Shape3->hide();
        phase_ = Phase::WaitingForClick;
    }
}

void Form1::Timerchosen_Timer() {
    if (!mp->hasClipEnded())
        return;
    Открыть();
    Timerchosen->setInterval(0);
}

void Form1::Открыть() {
    if (s.offerTaken && game::isOfferPoint(s.openedCount)) {
        // The offer still on screen after money was accepted is put away and
        // recorded.
        LabelBank->hide();
        loadMovie(BankFlash, media::kMovieBankClose);
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
    Label1[i]->hide();
    mp->setPlayCount(1);
    Крышка[i]->Play();
    playSound(media::amountSound(rank));
    writeLog(game::records::amount(labelSum[rank]->text()));
    labelSum[rank]->hide();
    ++s.openedCount;

    switch (game::afterOpening(s.openedCount)) {
    case game::AfterOpening::NextCase:
        setCasesEnabled(true);
        setCounterPanelVisible(true);
        phase_ = Phase::WaitingForClick;
        break;
    case game::AfterOpening::Offer:
        phase_ = Phase::OfferPending;
        Timer1->setInterval(timings::kWaitForClip);
        break;
    case game::AfterOpening::EndOfGame:
        phase_ = Phase::EndOfGame;
        final->setInterval(timings::kEndPhasePoll);
        break;
    }
}
