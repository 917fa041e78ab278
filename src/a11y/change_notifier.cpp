#include "change_notifier.h"

#include "game.h"
#include "game_window.h"
#include "movie_widget.h"
#include "narrator.h"
#include "notification.h"
#include "widgets.h"

#include <QAccessible>
#include <QLabel>
#include <QTimer>
#include <utility>

namespace {

// While the game plays the suspense or the round's last sound no case takes a
// press, and soon every closed case does again: a state change for each case
// there and back would flood a screen reader (Orca 43 drops the news then), so
// the cases' states are not told while it lasts. A client that asks is told
// the truth.
bool casesQuiet(const GameWindow* window) {
    const game::Phase phase = window->phase();
    return phase == game::Phase::Suspense || phase == game::Phase::OfferPending;
}

} // namespace

ChangeNotifier::ChangeNotifier(GameWindow* window, NotificationAccessible* news)
    : QObject(window), window_(window) {
    connect(&window->narrator(), &a11y::Narrator::spoken, this, [news] { news->show(); });
    const game::Game* game = &window->game();
    connect(game, &game::Game::newGameLoaded, this, [this] { said_.clear(); });
    auto oneCase = [this](int i) {
        if (i >= 0 && i < game::kCaseCount)
            changed(window_->controls().casePlates[i]);
    };
    auto everyCase = [this] {
        for (ClickablePicture* plate : window_->controls().casePlates)
            changed(plate);
    };
    connect(game, &game::Game::caseOpened, this, [oneCase](int i, int) { oneCase(i); });
    connect(game, &game::Game::ownCaseOpened, this, oneCase);
    connect(game, &game::Game::ownCaseChosen, this, oneCase);
    connect(game, &game::Game::casesExchanged, this, [oneCase](int given, int taken) {
        oneCase(given);
        oneCase(taken);
    });
    // Which cases a press acts on follows the phase and whether cases take presses.
    connect(game, &game::Game::casesEnabledChanged, this, everyCase);
    connect(game, &game::Game::phaseChanged, this, everyCase);
    connect(game, &game::Game::boardAmountShown, this, [this](int rank, bool) {
        if (rank >= 0 && rank < game::kCaseCount)
            changed(window_->controls().boardPlates[rank]);
    });
    auto counter = [this] { changed(window_->controls().counterCaption); };
    connect(game, &game::Game::counterChanged, this, counter);
    connect(game, &game::Game::counterShown, this, counter);
}

void ChangeNotifier::changed(QWidget* widget) {
    pending_.insert(widget);
    if (pending_.size() == 1)
        QTimer::singleShot(0, this, [this] { notify(); });
}

void ChangeNotifier::notify() {
    const QSet<QWidget*> due = std::exchange(pending_, {});
    if (!QAccessible::isActive())
        return;
    const GameWindow::Controls& ui = window_->controls();
    const bool quiet = casesQuiet(window_);
    for (int i = 0; i < game::kCaseCount; ++i) {
        if (due.contains(ui.casePlates[i]))
            caseChanged(ui.casePlates[i], quiet);
        if (due.contains(ui.boardPlates[i]))
            meaningChanged(ui.boardPlates[i], false);
    }
    if (due.contains(ui.counterCaption)) {
        QAccessibleEvent nameChanged(ui.counterCaption, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&nameChanged);
    }
}

// Says what changed since last said (a phase change touches every case and
// changes few); the state not while quiet.
void ChangeNotifier::meaningChanged(QWidget* widget, bool quiet) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    if (!iface)
        return;
    const QString description = iface->text(QAccessible::Description);
    const QAccessible::State state = iface->state();
    Said& said = said_[widget];
    if (description != said.description) {
        QAccessibleEvent event(widget, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
        said.description = description;
    }
    if (quiet)
        return;
    if ((state.disabled != 0) != said.disabled || (state.focusable != 0) != said.focusable) {
        QAccessible::State states;
        states.disabled = true;
        states.focusable = true;
        QAccessibleStateChangeEvent event(widget, states);
        QAccessible::updateAccessibility(&event);
    }
    said.disabled = state.disabled != 0;
    said.focusable = state.focusable != 0;
}

void ChangeNotifier::caseChanged(QWidget* plate, bool quiet) {
    meaningChanged(plate, quiet);
    // Qt said the plate went; the case it stands for is still there.
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(plate);
    if (plate->isHidden() && iface && !iface->state().invisible) {
        QAccessibleEvent shown(plate, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }
}
