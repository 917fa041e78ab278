// Drawing the game as it goes: what the game tells becomes pictures, movies,
// captions and sounds.
#include "game_window.h"

#include "layout.h"
#include "movie_widget.h"
#include "rounds.h"
#include "shown_texts.h"
#include "sound_player.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <utility>

void GameWindow::connectGame() {
    using game::Game;
    connect(sound_.get(), &SoundPlayer::clipEnded, &game_, &Game::cueEnded);
    connect(&game_, &Game::newGameLoaded, this, [this] {
        sound_->stop();
        drawNewGame();
    });
    connect(&game_, &Game::cue, this, &GameWindow::playCue);
    connect(&game_, &Game::cueLooping, this, [this](bool looping) { sound_->setLooping(looping); });
    connect(&game_, &Game::cueResumed, this, [this] { sound_->resume(); });
    connect(&game_, &Game::casesEnabledChanged, this, &GameWindow::setCasesEnabled);
    connect(&game_, &Game::started, this, [this] {
        ui_.startButton->hide();
        showAmountsInCases();
    });
    connect(&game_, &Game::boardPlateRevealed, this, [this](int rank) {
        ui_.boardPlates[rank]->show();
        ui_.boardPlates[rank]->play();
    });
    connect(&game_, &Game::boardAmountShown, this,
            [this](int rank, bool shown) { ui_.boardAmounts[rank]->setVisible(shown); });
    connect(&game_, &Game::ownCasePrompted, this,
            [this] { showPrompt(i18n::chooseOwnCasePrompt); });
    connect(&game_, &Game::exchangePrompted, this, [this] {
        showPrompt(i18n::chooseSwapCasePrompt);
        // The banker's panel has closed: in English its question does not stay
        // behind on its own.
        if (!i18n::exchangeOfferShownWhilePicking())
            ui_.offerAmount->hide();
    });
    connect(&game_, &Game::promptHidden, this, &GameWindow::hidePrompt);
    connect(&game_, &Game::counterChanged, this, [this](int count) {
        showGameText(ui_.counterCaption, [count] { return i18n::counterWords(count); });
        ui_.counterNumber->setText(QString::number(count));
    });
    connect(&game_, &Game::counterShown, this, &GameWindow::setCounterPanelVisible);
    connect(&game_, &Game::caseMoved, this, &GameWindow::placeCase);
    connect(&game_, &Game::caseOpened, this, [this](int caseIndex) { openCase(caseIndex); });
    connect(&game_, &Game::ownCaseOpened, this, &GameWindow::openCase);
    connect(&game_, &Game::offerShown, this, &GameWindow::showOffer);
    connect(&game_, &Game::answerButtonsShown, this, [this](bool shown) {
        ui_.acceptButton->setVisible(shown);
        ui_.declineButton->setVisible(shown);
    });
    connect(&game_, &Game::offerPanelClosed, this,
            [this] { loadMovie(ui_.offerPanel, media::kMovieBankClose); });
    connect(&game_, &Game::offerAmountHidden, this, [this] {
        ui_.offerAmount->hide();
        ui_.soldCaption->hide();
    });
    connect(&game_, &Game::historyOpened, this, [this] {
        setHistoryTitleShown(true);
        ui_.historyCover->hide();
    });
    connect(&game_, &Game::historyRowShown, this, &GameWindow::showHistoryRow);
    connect(&game_, &Game::historyCovered, this, &GameWindow::coverHistory);
    connect(&game_, &Game::historyHidden, this, &GameWindow::hideHistory);
    connect(&game_, &Game::offerAccepted, this, [this](qint64 amount) {
        showGameText(ui_.winningsAmount, [amount] { return i18n::shownMoney(amount); });
        // The offer goes into the earlier offers when the next case opens.
        soldHistoryEntry_ = state().offerCount + 1;
        ui_.soldCaption->show();
    });
    connect(&game_, &Game::winningsFromBoard, this, [this](int rank) {
        showGameText(ui_.winningsAmount,
                     [rank] { return i18n::shownAmount(game::amountValue(rank)); });
    });
    connect(&game_, &Game::winningsShown, this, &GameWindow::showWinnings);
}

void GameWindow::showAmountsInCases() {
    for (int i = 0; i < game::kCaseCount; ++i) {
        const int rank = state().caseAmount[static_cast<size_t>(i)];
        const auto amount = [rank] { return i18n::shownAmount(game::amountValue(rank)); };
        showGameText(ui_.caseAmounts[i], amount);
        showGameText(ui_.boardAmounts[rank], amount);
    }
}

void GameWindow::showPrompt(QString (*prompt)()) {
    showGameText(ui_.counterCaption, prompt);
    ui_.counterCaption->show();
    ui_.captionFrame->show();
    ui_.numberFrame->show();
    ui_.phoneFrame->show();
}

void GameWindow::hidePrompt() {
    ui_.counterCaption->hide();
    ui_.captionFrame->hide();
    ui_.numberFrame->hide();
    ui_.phoneFrame->hide();
}

void GameWindow::placeCase(int i, int place) {
    const layout::CaseSpot spot =
        place == game::kOwnCasePlace ? layout::kOwnCaseSpot : layout::caseCellSpot(place);
    layout::place(ui_.casePlates[i], layout::movedCasePlate(i, spot));
    layout::place(ui_.caseBriefcases[i], layout::movedCaseBriefcase(i, spot));
    layout::place(ui_.caseAmounts[i], layout::movedCaseAmount(i, spot));
    layout::place(ui_.caseLids[i], layout::movedCaseLid(i, spot));
}

void GameWindow::openCase(int i) {
    ui_.casePlates[i]->hide();
    ui_.caseLids[i]->play();
}

void GameWindow::showOffer(const game::Offer& offer) {
    showGameText(ui_.offerAmount, [offer] { return i18n::shownOffer(offer); });
    loadMovie(ui_.offerPanel, media::kMovieBankOpen);
    ui_.offerPanel->show();
    ui_.offerPanel->play();
    ui_.offerAmount->show();
}

void GameWindow::showHistoryRow(int row, const game::Offer& offer) {
    showGameText(ui_.historyAmounts[row], [offer] { return i18n::shownHistoryOffer(offer); });
    ui_.historyAmounts[row]->show();
    ui_.historyPlates[row]->show();
    ui_.historyPlates[row]->play();
    const int entry = std::min<int>(state().offerCount, game::kHistorySize) - row;
    ui_.historySoldMarks[row]->setVisible(entry == soldHistoryEntry_);
}

void GameWindow::hideHistory() {
    ui_.historyCover->show();
    setHistoryTitleShown(false);
    for (int row = 0; row < game::kHistoryRowsShown; ++row) {
        ui_.historyPlates[row]->hide();
        ui_.historyAmounts[row]->hide();
        ui_.historySoldMarks[row]->hide();
    }
}

void GameWindow::coverHistory() {
    ui_.historyCover->show();
    setHistoryTitleShown(false);
}

void GameWindow::setHistoryTitleShown(bool shown) {
    ui_.historyTitle->setVisible(shown);
    ui_.historyFrame->setVisible(shown);
}

void GameWindow::showWinnings() {
    ui_.winningsPanel->show();
    ui_.winningsPanel->play();
    ui_.winningsAmount->show();
    ui_.winningsTitle->show();
    ui_.newGameButton->show();
}

void GameWindow::playCue(game::Cue cue, int rank) {
    using game::Cue;
    using media::Sound;
    // Each cue but an amount has a sound of its own; an amount's goes by its rank.
    constexpr std::pair<Cue, Sound> kCueSounds[] = {
        {Cue::BoardReveal, Sound::BoardReveal},
        {Cue::OwnCase, Sound::OwnCase},
        {Cue::Suspense, Sound::Suspense},
        {Cue::SuspenseAfterFinalSwap, Sound::SuspenseAfterFinalSwap},
        {Cue::Banker, Sound::Banker},
        {Cue::Exchange, Sound::Exchange},
        {Cue::Declined, Sound::Declined},
        {Cue::Winnings, Sound::Winnings}};
    Sound sound = media::amountSound(rank);
    for (const auto& [which, itsSound] : kCueSounds) {
        if (which == cue)
            sound = itsSound;
    }
    sound_->start(media::locate(media::currentDirectory(), media::soundFile(sound)));
}
