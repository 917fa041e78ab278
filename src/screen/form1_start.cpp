// Starting a game: "Начать игру", the reveal of the board, "Новая игра" and the
// title logo.
#include "form1.h"

#include "media_files.h"
#include "movie_widget.h"
#include "rounds.h"
#include "shuffle.h"
#include "sound_player.h"
#include "timings.h"

#include <QLabel>
#include <QPushButton>

void Form1::Command1_Click() {
    if (phase_ != Phase::Loaded)
        return;
    s.introStep = -1;
    main->setInterval(timings::kOpeningFirstTick);
    setCasesEnabled(true);
    Command1->hide();
    game::shuffle(s, *services_.random);
    for (int i = 0; i < game::kCaseCount; ++i) {
        Label2[i]->setText(s.caseAmountText[i]);
        labelSum[s.caseAmount[i]]->setText(s.caseAmountText[i]);
    }
    phase_ = Phase::ChoosingOwnCase;
}

void Form1::main_Timer() {
    if (s.introStep >= 0) {
        if (s.introStep == 0)
            playSound(media::kSoundBoardReveal);
        main->setInterval(timings::kOpeningStep);
        if (s.introStep < game::kCaseCount) {
            const int k = game::kCaseCount - 1 - s.introStep;
            plast[k]->show();
            plast[k]->Play();
            // A case can be opened before the reveal is over (once the own case is
            // chosen); its amount has left the board and is not put back.
            bool opened = false;
            for (int i = 0; i < game::kCaseCount; ++i) {
                if (s.caseAmount[i] == k && i != s.ownCase)
                    opened = Label1[i]->isHidden();
            }
            if (!opened)
                labelSum[k]->show();
        }
        if (s.introStep == game::kCaseCount - 1 && s.openedCount == -1) {
            Label5->setText(game::kChooseOwnCasePrompt);
            Label5->show();
            Shape1->show();
            Shape2->show();
            Shape3->show();
            main->setInterval(0);
        }
    }
    // Once the own case is chosen during the reveal the timer is never stopped;
    // it keeps counting and changes nothing else. The count saturates instead of
    // overflowing if the window stays open for months.
    if (s.introStep < std::numeric_limits<qint32>::max())
        ++s.introStep;
}

void Form1::Command2_Click() {
    if (phase_ != Phase::GameOver)
        return;
    phase_ = Phase::Loaded;
    if (services_.newGame)
        services_.newGame();
}

void Form1::Picture1_Click() {
    if (services_.showCredits)
        services_.showCredits();
}
