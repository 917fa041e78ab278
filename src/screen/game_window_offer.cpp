// The banker's offer: computing it, showing it with the earlier offers, and the
// player's answer.
#include "game_window.h"

#include "banker.h"
#include "game_log.h"
#include "movie_widget.h"
#include "offer_format.h"
#include "rounds.h"
#include "sound_player.h"
#include "timings.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

void GameWindow::onRoundEndSoundEnded() {
    if (!sound_->hasClipEnded())
        return;
    playSound(media::Sound::Banker);
    sound_->setLooping(true);
    random_.reseedFromTimeOfDay();
    computeOffer();
    showOffer();
    ui_.roundEndWait->cancel();
}

void GameWindow::computeOffer() {
    game::BankerInput input;
    // The banker counts what is still on the board: an amount leaves it when its
    // case is opened.
    for (int k = 0; k < game::kCaseCount; ++k)
        input.onBoard[k] = s.boardShown[static_cast<size_t>(k)];
    input.openedCount = s.openedCount;
    input.bankerStyle = s.bankerStyle;
    input.swapOfferChosen = s.swapOfferChosen;
    input.swapOfferAllowed = s.swapOfferAllowed;

    const game::BankerOffer offer = game::makeOffer(input, random_);
    s.swapOfferChosen = offer.swapOfferChosen;
    s.swapOfferAllowed = offer.swapOfferAllowed;
    s.remainingCount = offer.remainingCount;
    s.offerAmount = offer.offerAmount;
    s.bankFactor = offer.bankFactor;
    s.bankRoll = offer.bankRoll;
    s.offerText = offer.offerText;
    s.offerIsExchange = s.offerText == game::kExchangeOffer;
    ui_.offerAmount->setText(game::formatOffer(s.offerText));
    record_.offers.push_back({s.offerIsExchange,
                              s.offerIsExchange ? 0 : game::textToNumber(s.offerText),
                              game::boardAverage(s.boardShown)});
}

void GameWindow::showOffer() {
    if (s.offerCount > 0) {
        historyShown_ = true;
        setHistoryTitleShown(true);
        ui_.historyCover->hide();
        s.historyStep = 0;
        ui_.historyRevealTimer->start(timings::kHistoryStep);
    }
    loadMovie(ui_.offerPanel, media::kMovieBankOpen);
    ui_.offerPanel->show();
    ui_.offerPanel->play();
    ui_.offerAmount->show();
    if (!s.offerIsExchange && s.offerTaken) {
        setCasesEnabled(true);
        enterPhase(Phase::WaitingForClick);
    } else {
        setCasesEnabled(false);
        ui_.acceptButton->show();
        ui_.declineButton->show();
        enterPhase(Phase::OfferShown);
    }
    writeLog(game::records::offer(ui_.offerAmount->text()));
}

// The earlier offers, the latest first, one row every 100 ms.
void GameWindow::revealNextHistoryRow() {
    // An answer, or the next opening, may have put the history away already.
    if (!historyShown_) {
        ui_.historyRevealTimer->stop();
        return;
    }
    const int n = std::min<int>(s.offerCount, game::kHistorySize);
    if (s.historyStep <= n && s.historyStep <= 4) {
        const int row = s.historyStep;
        ui_.historyAmounts[row]->setText(s.offerHistory[static_cast<size_t>(std::max(0, n - row))]);
        ui_.historyAmounts[row]->show();
        ui_.historyPlates[row]->show();
        ui_.historyPlates[row]->play();
    }
    if (s.historyStep >= n - 1 || s.historyStep >= 4)
        ui_.historyRevealTimer->stop();
    ++s.historyStep;
}

void GameWindow::onAcceptClicked() {
    if (phase_ != Phase::OfferShown)
        return;
    setCasesEnabled(true);
    loadMovie(ui_.offerPanel, media::kMovieBankClose);
    ui_.acceptButton->hide();
    ui_.declineButton->hide();
    hideHistory();

    if (s.openedCount == 20 && s.offerIsExchange) {
        playSound(media::Sound::Exchange);
        sound_->setLooping(true);
        swapOwnCase();
        enterPhase(Phase::WaitingForClick);
    }
    if (s.openedCount < 20 && s.offerIsExchange) {
        ++s.offerCount;
        if (s.offerCount <= game::kHistorySize)
            s.offerHistory[s.offerCount] =
                s.offerText == game::kExchangeOffer ? game::kExchangeInHistory : s.offerText;
        playSound(media::Sound::Exchange);
        sound_->setLooping(true);
        s.swapPending = true;
        ui_.counterCaption->setText(game::kChooseSwapCasePrompt);
        ui_.counterCaption->show();
        ui_.captionFrame->show();
        ui_.numberFrame->show();
        ui_.phoneFrame->show();
        enterPhase(Phase::ExchangePick);
    }
    if (!s.offerIsExchange) {
        if (s.openedCount < 20)
            setCounterPanelVisible(true);
        sound_->setLooping(false);
        playSound(media::Sound::Winnings);
        s.offerTaken = true;
        record_.acceptedOffer = game::textToNumber(s.offerText);
        ui_.winningsAmount->setText(game::formatOffer(s.offerText));
        writeLog(game::records::accepted());
        enterPhase(Phase::WaitingForClick);
    }
}

void GameWindow::onDeclineClicked() {
    if (phase_ != Phase::OfferShown)
        return;
    hideHistory();
    loadMovie(ui_.offerPanel, media::kMovieBankClose);
    if (s.openedCount < 20)
        setCounterPanelVisible(true);
    sound_->setLooping(false);
    playSound(media::Sound::Declined);
    setCasesEnabled(true);
    ++s.offerCount;
    if (s.offerCount <= game::kHistorySize)
        s.offerHistory[s.offerCount] = s.offerText;
    if (s.offerIsExchange) {
        if (s.offerCount <= game::kHistorySize)
            s.offerHistory[s.offerCount] = game::kExchangeInHistory;
        s.swapOfferAllowed = false;
    }
    ui_.offerAmount->hide();
    ui_.acceptButton->hide();
    ui_.declineButton->hide();
    writeLog(game::records::declined());
    enterPhase(Phase::WaitingForClick);
}
