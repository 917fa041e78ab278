#include "game_window_accessible.h"

#include "change_notifier.h"
#include "game.h"
#include "game_window.h"
#include "movie_widget.h"
#include "narrator.h"
#include "notification.h"
#include "widgets.h"
#include "workarounds.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <memory>
#include <utility>
#include <vector>

namespace {

// What a direct child of the game window stands for.
enum class Kind {
    Other,       // not one of the game's controls: described as Qt would
    Hidden,      // decoration, a part of a text shown as one, a case's amount
    Case,        // the case's plate: the case itself
    BoardItem,   // the plate of an amount on the board: one item of the board list
    HistoryItem, // one earlier offer
    Offer,
    Answer, // "ДА" or "НЕТ": read with the offer they answer
    Counter,
    Winnings,
    NewGame,
    Logo
};

struct Place {
    GameWindow* window = nullptr;
    Kind kind = Kind::Other;
    int index = -1;
};

Place placeOf(const QObject* object) {
    Place place;
    // Every control of the game window is its direct child; dialogs the window
    // owns are windows of their own and keep Qt's own description.
    const bool ownWindow =
        object && object->isWidgetType() && static_cast<const QWidget*>(object)->isWindow();
    place.window = object && !ownWindow ? qobject_cast<GameWindow*>(object->parent()) : nullptr;
    if (!place.window) {
        if (qobject_cast<const MovieWidget*>(object))
            place.kind = Kind::Hidden;
        return place;
    }
    const GameWindow::Controls& ui = place.window->controls();
    auto found = [&](Kind kind, int index) {
        place.kind = kind;
        place.index = index;
        return place;
    };
    for (int i = 0; i < game::kCaseCount; ++i) {
        if (object == ui.casePlates[i])
            return found(Kind::Case, i);
        if (object == ui.boardPlates[i])
            return found(Kind::BoardItem, i);
    }
    for (int row = 0; row < static_cast<int>(ui.historyAmounts.size()); ++row) {
        if (object == ui.historyAmounts[row])
            return found(Kind::HistoryItem, row);
    }
    if (object == ui.offerAmount)
        return found(Kind::Offer, -1);
    if (object == ui.counterCaption)
        return found(Kind::Counter, -1);
    if (object == ui.winningsAmount)
        return found(Kind::Winnings, -1);
    if (object == ui.logo)
        return found(Kind::Logo, -1);
    if (object == ui.acceptButton || object == ui.declineButton)
        return found(Kind::Answer, -1);
    if (object == ui.newGameButton)
        return found(Kind::NewGame, -1);
    if (object == ui.startButton)
        return found(Kind::Other, -1);
    // Everything else the window holds only draws: the briefcases, lids and
    // amounts inside the cases, the plates' movies, frames, covers, titles and
    // the counter's number and glyph (read as part of the counter's text).
    return found(Kind::Hidden, -1);
}

class GameWindowAccessible;

// The amount board or the earlier offers: a list drawn as separate plates and
// texts, with no widget of its own.
class ListAccessible final : public QAccessibleInterface {
  public:
    enum class Which { Board, History };
    ListAccessible(GameWindowAccessible* window, Which which) : window_(window), which_(which) {}

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface* item = child(i);
            if (item && item->rect().contains(x, y))
                return item;
        }
        return nullptr;
    }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override {
        QWidget* item = itemWidget(index);
        return item ? QAccessible::queryAccessibleInterface(item) : nullptr;
    }
    int childCount() const override {
        return which_ == Which::Board ? game::kCaseCount : game::kHistoryRowsShown;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < childCount(); ++i) {
            if (child && child->object() == itemWidget(i))
                return i;
        }
        return -1;
    }
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name)
            return {};
        return which_ == Which::Board ? a11y::Narrator::boardName() : a11y::Narrator::historyName();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        QRect area;
        for (int i = 0; i < childCount(); ++i) {
            if (QAccessibleInterface* item = child(i))
                area |= item->rect();
        }
        return area;
    }
    QAccessible::Role role() const override { return QAccessible::List; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.readOnly = true;
        state.invisible = true;
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface* item = child(i);
            if (item && !item->state().invisible)
                state.invisible = false;
        }
        return state;
    }

  private:
    QWidget* itemWidget(int index) const;

    GameWindowAccessible* window_;
    Which which_;
};

// The game window: its children are the game's controls in the order a player
// meets them, the two lists in place of their items, the news, and nothing
// that only draws.
class GameWindowAccessible final : public QAccessibleWidget {
  public:
    explicit GameWindowAccessible(GameWindow* window)
        : QAccessibleWidget(window, QAccessible::Window) {}
    ~GameWindowAccessible() override {
        for (QAccessible::Id id : {boardId_, historyId_, newsId_}) {
            if (id != 0)
                QAccessible::deleteAccessibleInterface(id);
        }
    }

    // Null once the window is being destroyed (its controls are going then).
    GameWindow* gameWindow() const { return qobject_cast<GameWindow*>(widget()); }

    int childCount() const override { return static_cast<int>(children().size()); }
    QAccessibleInterface* child(int index) const override {
        const std::vector<QAccessibleInterface*> all = children();
        return index >= 0 && index < static_cast<int>(all.size()) ? all[static_cast<size_t>(index)]
                                                                  : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const std::vector<QAccessibleInterface*> all = children();
        for (size_t i = 0; i < all.size(); ++i) {
            if (all[i] == child)
                return static_cast<int>(i);
        }
        return -1;
    }

    QAccessibleInterface* list(ListAccessible::Which which) const {
        ensureParts();
        return which == ListAccessible::Which::Board ? board_ : history_;
    }

  private:
    // Made once a client looks.
    void ensureParts() const {
        if (board_)
            return;
        auto* self = const_cast<GameWindowAccessible*>(this);
        self->board_ = new ListAccessible(self, ListAccessible::Which::Board);
        self->boardId_ = QAccessible::registerAccessibleInterface(board_);
        self->history_ = new ListAccessible(self, ListAccessible::Which::History);
        self->historyId_ = QAccessible::registerAccessibleInterface(history_);
        QPointer<GameWindow> window = gameWindow();
        self->news_ = new NotificationAccessible(
            self, [window] { return window ? window->narrator().news() : QString(); });
        self->newsId_ = QAccessible::registerAccessibleInterface(news_);
    }

    std::vector<QAccessibleInterface*> children() const {
        std::vector<QAccessibleInterface*> all;
        GameWindow* window = gameWindow();
        // The cases are built last.
        if (!window || !window->controls().casePlates.back())
            return all; // still being built, or going
        const GameWindow::Controls& ui = window->controls();
        ensureParts();
        if (!notifier_)
            notifier_ = new ChangeNotifier(window, news_);
        auto add = [&all](QWidget* widget) {
            if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget))
                all.push_back(iface);
        };
        add(ui.startButton);
        // The cases by the numbers on their plates.
        std::vector<int> byNumber(game::kCaseCount);
        for (int i = 0; i < game::kCaseCount; ++i)
            byNumber[static_cast<size_t>(window->narrator().caseNumber(i) - 1)] = i;
        for (const int i : byNumber)
            add(ui.casePlates[i]);
        add(ui.counterCaption);
        all.push_back(board_);
        add(ui.offerAmount);
        add(ui.acceptButton);
        add(ui.declineButton);
        all.push_back(history_);
        add(ui.winningsAmount);
        add(ui.newGameButton);
        add(ui.logo);
        all.push_back(news_);
        return all;
    }

    ListAccessible* board_ = nullptr;
    ListAccessible* history_ = nullptr;
    NotificationAccessible* news_ = nullptr;
    QAccessible::Id boardId_ = 0;
    QAccessible::Id historyId_ = 0;
    QAccessible::Id newsId_ = 0;
    mutable QPointer<ChangeNotifier> notifier_;
};

bool ListAccessible::isValid() const {
    return window_->isValid();
}

QWindow* ListAccessible::window() const {
    return window_->window();
}

QAccessibleInterface* ListAccessible::parent() const {
    return window_;
}

QWidget* ListAccessible::itemWidget(int index) const {
    if (index < 0 || index >= childCount())
        return nullptr;
    const GameWindow* window = window_->gameWindow();
    if (!window)
        return nullptr;
    const GameWindow::Controls& ui = window->controls();
    if (which_ == Which::Board)
        return ui.boardPlates[index];
    return ui.historyAmounts[index];
}

// One of the game window's own controls (or a painted widget elsewhere),
// described by what it stands for, decided when asked: the window's controls
// change their meaning as the game goes.
class GameWidgetAccessible final : public QAccessibleWidget {
  public:
    explicit GameWidgetAccessible(QWidget* widget) : QAccessibleWidget(widget) {}

    QAccessible::Role role() const override {
        switch (placeOf(object()).kind) {
        case Kind::Case:
        case Kind::Logo:
        case Kind::Answer:
        case Kind::NewGame:
            return QAccessible::Button;
        case Kind::BoardItem:
        case Kind::HistoryItem:
            return QAccessible::ListItem;
        case Kind::Offer:
        case Kind::Winnings:
            return QAccessible::StaticText;
        case Kind::Counter:
            return QAccessible::StatusBar;
        case Kind::Hidden:
            return QAccessible::Client;
        case Kind::Other:
            break;
        }
        if (qobject_cast<const ClickablePicture*>(object()) ||
            qobject_cast<const QAbstractButton*>(object()))
            return QAccessible::Button;
        if (qobject_cast<const QLabel*>(object()))
            return QAccessible::StaticText;
        return QAccessibleWidget::role();
    }

    QString text(QAccessible::Text t) const override {
        const Place place = placeOf(object());
        if (place.kind == Kind::Other)
            return t == QAccessible::Name ? otherName() : QAccessibleWidget::text(t);
        if (t == QAccessible::Name)
            return name(place);
        if (t == QAccessible::Description)
            return description(place);
        return {};
    }

    QAccessible::State state() const override {
        const Place place = placeOf(object());
        QAccessible::State state;
        switch (place.kind) {
        case Kind::Hidden:
            state.invisible = true;
            return state;
        case Kind::Case: {
            // An opened case stays where it stood, its plate gone; the case
            // leaves only with the window.
            const GameWindow::Controls& ui = place.window->controls();
            state = QAccessibleWidget::state();
            state.invisible = !ui.caseBriefcases[place.index]->isVisible();
            state.offscreen = state.invisible;
            const bool pressable = place.window->game().canPress(place.index);
            state.disabled = !pressable;
            state.focusable = pressable && widget()->focusPolicy() != Qt::NoFocus;
            return state;
        }
        case Kind::BoardItem: {
            // Shown once the board's reveal has put up its plate; in play while
            // its amount is on the plate.
            state = QAccessibleWidget::state();
            state.disabled = !place.window->state().boardShown[static_cast<size_t>(place.index)];
            state.readOnly = true;
            state.focusable = widget()->isVisible(); // the keys read the board (F6)
            return state;
        }
        case Kind::Counter:
            // Between two captions the panel can stand empty for a moment:
            // there is nothing to read then.
            state = QAccessibleWidget::state();
            state.readOnly = true;
            if (name(place).trimmed().isEmpty())
                state.invisible = state.offscreen = true;
            return state;
        case Kind::HistoryItem:
        case Kind::Offer:
        case Kind::Winnings:
            state = QAccessibleWidget::state();
            state.readOnly = true;
            return state;
        case Kind::Logo:
        case Kind::Answer:
        case Kind::NewGame:
        case Kind::Other:
            break;
        }
        return QAccessibleWidget::state();
    }

    QAccessibleInterface* parent() const override {
        const Place place = placeOf(object());
        if (place.window && (place.kind == Kind::BoardItem || place.kind == Kind::HistoryItem)) {
            auto* window = dynamic_cast<GameWindowAccessible*>(
                QAccessible::queryAccessibleInterface(place.window));
            if (window)
                return window->list(place.kind == Kind::BoardItem ? ListAccessible::Which::Board
                                                                  : ListAccessible::Which::History);
        }
        return QAccessibleWidget::parent();
    }

    int childCount() const override {
        return placeOf(object()).kind == Kind::Other ? QAccessibleWidget::childCount() : 0;
    }
    QAccessibleInterface* child(int index) const override {
        return placeOf(object()).kind == Kind::Other ? QAccessibleWidget::child(index) : nullptr;
    }

    // A case can be pressed whenever it shows: a press the game cannot take
    // now is answered, not lost.
    QStringList actionNames() const override {
        const Place place = placeOf(object());
        if (place.kind == Kind::Hidden)
            return {};
        QStringList names;
        bool pressable = false;
        if (place.kind == Kind::Case)
            pressable = !state().invisible;
        else if (qobject_cast<const ClickablePicture*>(object()) ||
                 qobject_cast<const QAbstractButton*>(object()))
            pressable = widget()->isEnabled() && widget()->isVisible();
        if (pressable)
            names << pressAction();
        // Taking focus as Qt offers it, where the control takes focus at all.
        if (state().focusable)
            names << setFocusAction();
        return names;
    }

    void doAction(const QString& action) override {
        if (!actionNames().contains(action))
            return;
        if (action == setFocusAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        const Place place = placeOf(object());
        if (place.kind == Kind::Case && !place.window->game().canPress(place.index)) {
            place.window->narrator().say(a11y::Narrator::pressNotTaken());
            return;
        }
        // The focus waits on the window while the press is taken (as for a
        // key): Qt would move it on for a moment from a control the press
        // disables or hides, and a screen reader would speak that one.
        if (QWidget* window = place.window; window && window->focusWidget() != window)
            window->setFocus(Qt::OtherFocusReason);
        if (auto* picture = qobject_cast<ClickablePicture*>(object()))
            picture->click();
        else if (auto* button = qobject_cast<QAbstractButton*>(object()))
            button->click();
    }

  private:
    QString name(const Place& place) const {
        const a11y::Narrator& narrator = place.window->narrator();
        const QWidget* w = widget();
        switch (place.kind) {
        case Kind::Case:
            return narrator.caseName(place.index);
        case Kind::Logo:
            return a11y::Narrator::logoName();
        case Kind::BoardItem:
            return narrator.boardItemName(place.index);
        case Kind::HistoryItem:
            return narrator.historyItemName(place.index);
        case Kind::Offer:
            return narrator.offerText();
        case Kind::Answer:
        case Kind::NewGame:
            return static_cast<const QAbstractButton*>(w)->text();
        case Kind::Counter:
            return narrator.counterText();
        case Kind::Winnings:
            return narrator.winningsText();
        case Kind::Hidden:
        case Kind::Other:
            break;
        }
        return {};
    }

    QString description(const Place& place) const {
        if (place.kind == Kind::Case)
            return place.window->narrator().caseDescription(place.index);
        if (place.kind == Kind::BoardItem)
            return place.window->narrator().boardItemDescription(place.index);
        return {};
    }

    // A control that is not one of the game's: a button by its text, a picture
    // by its tool tip, as Qt would.
    QString otherName() const {
        const QWidget* w = widget();
        if (!w->accessibleName().isEmpty())
            return w->accessibleName();
        if (qobject_cast<const ClickablePicture*>(w))
            return w->toolTip();
        if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            return button->text();
        return QAccessibleWidget::text(QAccessible::Name);
    }
};

QAccessibleInterface* factory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("GameWindow"))
        return new GameWindowAccessible(static_cast<GameWindow*>(widget));
    if (className == QLatin1String("ClickablePicture") || className == QLatin1String("MovieWidget"))
        return new GameWidgetAccessible(widget);
    // Texts and plain widgets are the game's only as direct children of its
    // window; elsewhere Qt describes them.
    const bool windowChild =
        !widget->isWindow() && qobject_cast<GameWindow*>(object->parent()) != nullptr;
    if (windowChild &&
        (className == QLatin1String("ReadableLabel") || className == QLatin1String("QPushButton") ||
         className == QLatin1String("FittedCaption") || className == QLatin1String("QLabel") ||
         className == QLatin1String("QWidget")))
        return new GameWidgetAccessible(widget);
    return nullptr;
}

// What Qt tells assistive technology that Orca 43 should not get (see
// workarounds::filterUpdates()):
// - the game window itself holds the focus only while no control can be pressed
//   (the suspense, the banker's call, an answer being taken in), at every
//   opening; once a game is under way those focus moves are kept from it, and
//   it stays on the control last pressed. Before the start the title is said,
//   once per game.
// - Qt tells every enabled change of a widget, the case plates' at every step;
//   what a case means to the player is told by the change notifier above,
//   which says only what changed.
// - what only draws (the hidden kind: amounts inside the cases, movies, frames)
//   has no name, text or state a reader could use, yet Qt tells each change of
//   it: 40 and more at the start of a game. A screen reader queues them all, and
//   once its queue is long (Orca 43: over 50 events, as on a busy machine) it
//   throws away what is not about the focused control, the game's news among it.
bool onlyDraws(const QAccessibleEvent* event) {
    switch (event->type()) {
    case QAccessible::NameChanged:
    case QAccessible::DescriptionChanged:
    case QAccessible::StateChanged:
    case QAccessible::ObjectShow:
    case QAccessible::ObjectHide:
    case QAccessible::LocationChanged:
    case QAccessible::TextInserted:
    case QAccessible::TextRemoved:
    case QAccessible::TextUpdated:
        return placeOf(event->object()).kind == Kind::Hidden;
    default:
        return false;
    }
}

bool unwantedByOrca(QAccessibleEvent* event) {
    if (onlyDraws(event))
        return true;
    if (event->type() == QAccessible::Focus) {
        const auto* window = qobject_cast<const GameWindow*>(event->object());
        if (window && window->phase() != game::Phase::Loaded)
            return true;
    }
    if (event->type() == QAccessible::StateChanged) {
        QAccessible::State enabledOnly;
        enabledOnly.disabled = true;
        if (static_cast<QAccessibleStateChangeEvent*>(event)->changedStates() == enabledOnly &&
            placeOf(event->object()).kind == Kind::Case)
            return true;
    }
    return false;
}

} // namespace

namespace accessibility {

void install() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(factory);
    a11y::workarounds::filterUpdates(unwantedByOrca);
}

} // namespace accessibility
