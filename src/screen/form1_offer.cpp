// The banker's offer: computing it, showing it with the earlier offers, and the
// player's answer.
#include "form1.h"

#include "banker.h"
#include "game_log.h"
#include "media_files.h"
#include "movie_widget.h"
#include "offer_format.h"
#include "rounds.h"
#include "sound_player.h"
#include "timings.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

void Form1::Timer1_Timer() {
    if (!mp->hasClipEnded())
        return;
    playSound(media::kSoundBanker);
    mp->setPlayCount(0);
    services_.random->reseedFromTimeOfDay();
    Банк();
    BankShow();
    Timer1->setInterval(0);
}

void Form1::Банк() {
    game::BankerInput input;
    // The banker counts what is still on the board: an amount leaves it when its
    // case is opened.
    for (int k = 0; k < game::kCaseCount; ++k)
        input.onBoard[k] = !labelSum[k]->isHidden();
    input.openedCount = s.openedCount;
    input.bankerStyle = s.bankerStyle;
    input.swapOfferChosen = s.swapOfferChosen;
    input.swapOfferAllowed = s.swapOfferAllowed;

    const game::BankerOffer offer = game::makeOffer(input, *services_.random);
    s.swapOfferChosen = offer.swapOfferChosen;
    s.swapOfferAllowed = offer.swapOfferAllowed;
    s.remainingCount = offer.remainingCount;
    s.offerAmount = offer.offerAmount;
    s.bankFactor = offer.bankFactor;
    s.bankRoll = offer.bankRoll;
    s.offerText = offer.offerText;
    LabelBank->setText(game::formatOffer(s.offerText));
}

void Form1::BankShow() {
    if (s.offerCount > 0) {
        Label3->show();
        Label4->hide();
        s.historyStep = 0;
        TimerPredl->setInterval(timings::kHistoryStep);
    }
    loadMovie(BankFlash, media::kMovieBankOpen);
    BankFlash->show();
    BankFlash->Play();
    LabelBank->show();
    // The kind of the offer is read from what the player sees.
    const bool exchange = LabelBank->text() == game::kExchangeOffer;
    if (!exchange && s.offerTaken) {
        setCasesEnabled(true);
        phase_ = Phase::WaitingForClick;
    } else {
        setCasesEnabled(false);
        yes->show();
        no->show();
        phase_ = Phase::OfferShown;
    }
    writeLog(game::records::offer(LabelBank->text()));
}

void Form1::TimerPredl_Timer() {
    // An answer, or the next opening, may have put the history away already.
    if (Label3->isHidden()) {
        TimerPredl->setInterval(0);
        return;
    }
    const int n = std::min<int>(s.offerCount, game::kHistorySize);
    if (s.historyStep <= n && s.historyStep <= 4) {
        const int row = s.historyStep;
        labelPredl[row]->setText(s.offerHistory[static_cast<size_t>(std::max(0, n - row))]);
        labelPredl[row]->show();
        flashPredl[row]->show();
        flashPredl[row]->Play();
    }
    if (s.historyStep >= n - 1 || s.historyStep >= 4)
        TimerPredl->setInterval(0);
    ++s.historyStep;
}

void Form1::yes_Click() {
    if (phase_ != Phase::OfferShown || yes->isHidden())
        return;
    setCasesEnabled(true);
    loadMovie(BankFlash, media::kMovieBankClose);
    yes->hide();
    no->hide();
    hideHistory();

    const bool exchange = LabelBank->text() == game::kExchangeOffer;
    if (s.openedCount == 20 && exchange) {
        playSound(media::kSoundExchange);
        mp->setPlayCount(0);
        Обмен();
        phase_ = Phase::WaitingForClick;
    }
    if (s.openedCount < 20 && exchange) {
        ++s.offerCount;
        if (s.offerCount <= game::kHistorySize)
            s.offerHistory[s.offerCount] =
                s.offerText == game::kExchangeOffer ? game::kExchangeInHistory : s.offerText;
        playSound(media::kSoundExchange);
        mp->setPlayCount(0);
        s.swapPending = true;
        Label5->setText(game::kChooseSwapCasePrompt);
        Label5->show();
        Shape1->show();
        Shape2->show();
        Shape3->show();
        phase_ = Phase::ExchangePick;
    }
    if (!exchange) {
        if (s.openedCount < 20)
            setCounterPanelVisible(true);
        mp->setPlayCount(1);
        playSound(media::kSoundWinnings);
        s.offerTaken = true;
        win->setText(game::formatOffer(s.offerText));
        writeLog(game::records::accepted());
        phase_ = Phase::WaitingForClick;
    }
}

void Form1::no_Click() {
    if (phase_ != Phase::OfferShown || no->isHidden())
        return;
    hideHistory();
    loadMovie(BankFlash, media::kMovieBankClose);
    if (s.openedCount < 20)
        setCounterPanelVisible(true);
    mp->setPlayCount(1);
    playSound(media::kSoundDeclined);
    setCasesEnabled(true);
    ++s.offerCount;
    if (s.offerCount <= game::kHistorySize)
        s.offerHistory[s.offerCount] = s.offerText;
    if (s.offerText == game::kExchangeOffer) {
        if (s.offerCount <= game::kHistorySize)
            s.offerHistory[s.offerCount] = game::kExchangeInHistory;
        s.swapOfferAllowed = false;
    }
    LabelBank->hide();
    yes->hide();
    no->hide();
    writeLog(game::records::declined());
    phase_ = Phase::WaitingForClick;
}
