// Where the keys are: the focus among the cases and buttons, following play,
// the reading of the amount board, the typed case numbers and the presses.
#include "desktop_controls.h"

#include "game_window.h"
#include "layout.h"
#include "movie_widget.h"
#include "narrator.h"
#include "rounds.h"
#include "widgets.h"

#include <QAccessible>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace {

// A pause this long ends the typing of a case number.
constexpr int kTypingPauseMs = 1500;

QPoint centre(const QWidget* widget) {
    return widget->geometry().center();
}

// The number on the plate of a case; -1 for anything that is not a case.
int caseNumber(const GameWindow* window, const QWidget* widget) {
    const GameWindow::Controls& ui = window->controls();
    for (int i = 0; i < game::kCaseCount; ++i) {
        if (ui.casePlates[i] == widget)
            return game::plateForCase(window->state().caseSkin, i) + 1;
    }
    return -1;
}

} // namespace

QList<QWidget*> DesktopControls::targets() const {
    QList<QWidget*> found;
    if (!gameWindow())
        return found;
    const GameWindow::Controls& ui = gameWindow()->controls();
    for (QWidget* plate : ui.casePlates) {
        if (isTarget(plate))
            found << plate;
    }
    const GameWindow* window = gameWindow();
    std::sort(found.begin(), found.end(), [window](const QWidget* a, const QWidget* b) {
        return caseNumber(window, a) < caseNumber(window, b);
    });
    for (QWidget* button : {ui.startButton, ui.acceptButton, ui.declineButton, ui.newGameButton}) {
        if (isTarget(button))
            found << button;
    }
    return found;
}

bool DesktopControls::isTarget(const QWidget* widget) const {
    return widget && gameWindow() && widget->parentWidget() == gameWindow() &&
           widget->focusPolicy() != Qt::NoFocus && widget->isVisible() && widget->isEnabled();
}

void DesktopControls::updateFocusPolicies() {
    GameWindow* window = gameWindow();
    if (!window)
        return;
    const GameWindow::Controls& ui = window->controls();
    // The own case takes the focus only while a press on it does something
    // (the pick of the case to take in exchange).
    const int ownCase = window->state().ownCase;
    for (int i = 0; i < game::kCaseCount; ++i) {
        const bool idleOwnCase = i == ownCase && !window->game().canPress(i);
        ui.casePlates[i]->setFocusPolicy(idleOwnCase ? Qt::NoFocus : Qt::TabFocus);
    }
    for (QWidget* button : {ui.startButton, ui.newGameButton, ui.acceptButton, ui.declineButton})
        button->setFocusPolicy(Qt::TabFocus);
}

void DesktopControls::moveTo(QWidget* widget, Qt::FocusReason reason) {
    onBoard_ = nullptr; // play has moved on, or the keys have
    if (gameWindow() && caseNumber(gameWindow(), widget) > 0)
        lastCase_ = widget;
    if (widget != at_) {
        if (at_)
            at_->removeEventFilter(this);
        at_ = widget;
        if (at_)
            at_->installEventFilter(this);
    }
    syncFocus(reason);
}

void DesktopControls::syncFocus(Qt::FocusReason reason) {
    GameWindow* window = gameWindow();
    if (!window || (onBoard_ && onBoard_->hasFocus()))
        return;
    updateFocusPolicies();
    QWidget* focus = window->focusWidget();
    if (isTarget(at_)) {
        if (focus != at_)
            at_->setFocus(reason);
    } else if (focus != window) {
        window->setFocus(reason);
    }
}

void DesktopControls::onFocusChanged(QWidget* old, QWidget* now) {
    GameWindow* window = gameWindow();
    if (!window || !focusRing_)
        return;
    if (onBoard_ && now != onBoard_)
        onBoard_ = nullptr; // the focus has gone on elsewhere
    if (now && now != window && now->parentWidget() == window && isTarget(now)) {
        if (old == at_ && !isTarget(at_)) {
            // Qt moves the focus on from a control that is hidden or disabled;
            // the keys stay where they were, and the focus waits on the window.
            window->setFocus(Qt::OtherFocusReason);
            return;
        }
        // Moved there from outside (an assistive tool): the keys go on from there.
        if (now != at_) {
            keysUsed_ = true;
            moveTo(now, Qt::OtherFocusReason);
        }
    }
    focusRing_->follow(focused());
}

bool DesktopControls::followsPlay() const {
    return keysUsed_ || QAccessible::isActive();
}

void DesktopControls::scheduleFollow() {
    if (followScheduled_)
        return;
    followScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        followScheduled_ = false;
        followPlay();
    });
}

void DesktopControls::followPlay() {
    GameWindow* window = gameWindow();
    // Not while the player types a case's number.
    if (!window || !followsPlay() || !typed_.isEmpty())
        return;
    updateFocusPolicies();
    const GameWindow::Controls& ui = window->controls();
    QWidget* next = nullptr;
    switch (window->phase()) {
    case GameWindow::Phase::Loaded:
        next = ui.startButton;
        break;
    case GameWindow::Phase::ChoosingOwnCase:
        // Once the board is up and the player is asked to choose.
        if (!window->game().boardRevealed())
            return;
        next = nextCase();
        break;
    case GameWindow::Phase::WaitingForClick:
    case GameWindow::Phase::ExchangePick:
        next = nextCase();
        break;
    case GameWindow::Phase::OfferShown:
        if (at_ == ui.acceptButton || at_ == ui.declineButton)
            next = at_;
        else
            next = ui.acceptButton;
        break;
    case GameWindow::Phase::GameOver:
        next = ui.newGameButton;
        break;
    case GameWindow::Phase::Suspense:
    case GameWindow::Phase::OfferPending:
    case GameWindow::Phase::EndOfGame:
        return; // the focus waits on the window
    }
    if (isTarget(next))
        moveTo(next, Qt::OtherFocusReason);
}

QWidget* DesktopControls::nextCase() const {
    GameWindow* window = gameWindow();
    QList<QWidget*> cases = targets();
    cases.erase(std::remove_if(cases.begin(), cases.end(),
                               [window](const QWidget* w) { return caseNumber(window, w) < 0; }),
                cases.end());
    if (cases.isEmpty())
        return nullptr;
    if (cases.contains(at_))
        return at_;
    const int last = lastCase_ ? caseNumber(window, lastCase_) : 0;
    for (QWidget* plate : cases) {
        if (caseNumber(window, plate) > last)
            return plate;
    }
    return cases.front();
}

void DesktopControls::toggleBoard() {
    keysUsed_ = true;
    if (onBoard_) {
        leaveBoard();
        return;
    }
    QWidget* lowest = gameWindow()->controls().boardPlates[0];
    if (!lowest->isVisible()) {
        say(tr("Табло ещё закрыто."));
        return;
    }
    onBoard_ = lowest;
    onBoard_->setFocus(Qt::OtherFocusReason);
    focusRing_->follow(onBoard_);
}

void DesktopControls::leaveBoard() {
    onBoard_ = nullptr;
    syncFocus(Qt::OtherFocusReason);
    focusRing_->follow(focused());
}

bool DesktopControls::stepOnBoard(int dx, int dy) {
    if (!onBoard_)
        return false;
    const auto& plates = gameWindow()->controls().boardPlates;
    const auto at = std::find(plates.begin(), plates.end(), onBoard_.data());
    if (at == plates.end())
        return false;
    // Two columns, the lower amounts on the left, each low to high downwards.
    const int rows = layout::kBoardRowsPerColumn;
    const int rank = int(at - plates.begin());
    const int column = rank / rows + dx;
    const int row = rank % rows + dy;
    if (column < 0 || column * rows >= game::kCaseCount || row < 0 || row >= rows) {
        say(tr("Край."));
        return true;
    }
    onBoard_ = plates[size_t(column * rows + row)];
    onBoard_->setFocus(Qt::OtherFocusReason);
    focusRing_->follow(onBoard_);
    return true;
}

void DesktopControls::moveFocus(int dx, int dy) {
    if (stepOnBoard(dx, dy))
        return;
    keysUsed_ = true;
    updateFocusPolicies();
    const QList<QWidget*> candidates = targets();
    if (candidates.isEmpty())
        return;
    if (!at_) {
        moveTo(candidates.front(), Qt::OtherFocusReason);
        return;
    }
    // The nearest control that way, a sideways step counting double.
    const QPoint from = centre(at_);
    QWidget* best = nullptr;
    int bestScore = 0;
    for (QWidget* candidate : candidates) {
        const QPoint offset = centre(candidate) - from;
        const int ahead = offset.x() * dx + offset.y() * dy;
        if (candidate == at_ || ahead <= 0)
            continue;
        const int sideways = std::abs(offset.x() * dy) + std::abs(offset.y() * dx);
        const int score = ahead + 2 * sideways;
        if (!best || score < bestScore) {
            best = candidate;
            bestScore = score;
        }
    }
    if (!best && isTarget(at_)) {
        // Nothing further that way: the focus stays, and a screen reader,
        // which would say nothing, says so.
        moveTo(at_.data(), Qt::OtherFocusReason);
        say(tr("Край."));
        return;
    }
    moveTo(best ? best : candidates.front(), Qt::OtherFocusReason);
}

void DesktopControls::stepFocus(int step) {
    keysUsed_ = true;
    updateFocusPolicies();
    const QList<QWidget*> candidates = targets();
    if (candidates.isEmpty())
        return;
    const Qt::FocusReason reason = step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason;
    const qsizetype index = candidates.indexOf(at_);
    if (index < 0) {
        moveTo(step > 0 ? candidates.front() : candidates.back(), reason);
        return;
    }
    moveTo(candidates[(index + step + candidates.size()) % candidates.size()], reason);
}

void DesktopControls::typeDigit(int digit) {
    keysUsed_ = true;
    typed_ += QString::number(digit);
    int number = typed_.toInt();
    if (number > game::kCaseCount) {
        typed_ = QString::number(digit);
        number = digit;
    }
    typingTimeout_.start(kTypingPauseMs);
    // The case with that number on its plate, whether or not it can be pressed
    // now: a number that names no pressable case leaves Return nothing to press.
    const int skin = gameWindow()->state().caseSkin;
    QWidget* named = nullptr;
    for (int i = 0; i < game::kCaseCount; ++i) {
        if (game::plateForCase(skin, i) + 1 == number)
            named = gameWindow()->controls().casePlates[i];
    }
    moveTo(named, Qt::OtherFocusReason);
}

bool DesktopControls::press(QWidget* widget) {
    updateFocusPolicies();
    if (!isTarget(widget))
        return false;
    // The focus waits on the window while the press is taken: else, as the
    // pressed control is disabled or hidden, Qt moves it on to the next control
    // for a moment, and a screen reader speaks that one.
    gameWindow()->setFocus(Qt::OtherFocusReason);
    if (auto* button = qobject_cast<QPushButton*>(widget))
        button->click();
    else if (auto* picture = qobject_cast<ClickablePicture*>(widget))
        picture->click();
    // The press may have made a case the own one.
    updateFocusPolicies();
    syncFocus(Qt::OtherFocusReason);
    return true;
}

bool DesktopControls::skipSuspense() {
    if (gameWindow()->phase() != GameWindow::Phase::Suspense)
        return false;
    gameWindow()->game().skipSuspense();
    return true;
}

void DesktopControls::pressEnter() {
    if (onBoard_) {
        leaveBoard();
        return;
    }
    if (skipSuspense() || press(focused()))
        return;
    const GameWindow::Controls& ui = gameWindow()->controls();
    if (press(ui.startButton) || press(ui.newGameButton))
        return;
    // A case named by its number that the game cannot take now.
    if (gameWindow() && caseNumber(gameWindow(), at_) > 0)
        say(a11y::Narrator::pressNotTaken());
}
