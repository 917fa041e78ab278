// The exchange of cases and the end of a game.
#include "form1.h"

#include "game_log.h"
#include "layout.h"
#include "media_files.h"
#include "movie_widget.h"
#include "sound_player.h"
#include "timings.h"

#include <QLabel>
#include <QPushButton>

void Form1::Обмен() {
    if (s.openedCount == 20) {
        // The one closed case left besides the own case is taken.
        for (int i = 0; i < game::kCaseCount; ++i) {
            if (i != s.ownCase && !Label1[i]->isHidden())
                s.swapCase = static_cast<qint16>(i);
        }
    }
    LabelBank->hide();
    const int taken = s.swapCase;
    const int former = s.ownCase;
    layout::setLeft(obmenMetka, layout::left(Image1[taken]));
    layout::setTop(obmenMetka, layout::top(Image1[taken]));
    placeCaseAt(taken, layout::left(metka), layout::top(metka));
    placeCaseAt(former, layout::left(obmenMetka), layout::top(obmenMetka));
    if (s.openedCount == 20)
        s.finalSwapDone = true;
    s.ownCase = s.swapCase;
    s.swapCase = 0;
    s.swapOfferAllowed = false;
}

void Form1::final_Timer() {
    if (!mp->hasClipEnded())
        return;
    playSound(media::kSoundOwnCase);
    Label1[s.ownCase]->hide();
    Крышка[s.ownCase]->Play();
    for (int r = 0; r < game::kCaseCount; ++r) {
        if (!labelSum[r]->isHidden() && !s.offerTaken)
            win->setText(labelSum[r]->text());
    }
    finish->setInterval(timings::kEndPhasePoll);
    final->setInterval(0);
}

void Form1::finish_Timer() {
    if (!mp->hasClipEnded())
        return;
    playSound(media::kSoundWinnings);
    mp->play();
    WinFlash->show();
    WinFlash->Play();
    win->show();
    winlabel->show();
    Command2->show();
    writeLog(game::records::ownCase(labelSum[s.caseAmount[s.ownCase]]->text()));
    finish->setInterval(0);
    phase_ = Phase::GameOver;
}
