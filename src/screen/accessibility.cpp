#include "accessibility.h"

#include "amounts.h"
#include "game.h"
#include "game_window.h"
#include "movie_widget.h"
#include "offer_format.h"
#include "rounds.h"
#include "widgets.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QHash>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <utility>
#include <vector>

namespace {

// The context of the texts below for translators.
class Accessibility {
    Q_DECLARE_TR_FUNCTIONS(Accessibility)
};

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

QString labelText(const QWidget* widget) {
    const auto* label = qobject_cast<const QLabel*>(widget);
    return label ? label->text().simplified() : QString();
}

// Whether a click on case i would do something now.
bool caseClickable(GameWindow* window, int i) {
    return window->game().canPress(i) && window->controls().casePlates[i]->isVisible();
}

// The number on case i's plate.
int caseNumber(const GameWindow* window, int i) {
    return game::plateForCase(window->state().caseSkin, i) + 1;
}

QString caseDescription(GameWindow* window, int i) {
    const game::GameState& s = window->state();
    const bool own = i == s.ownCase;
    if (s.caseOpened[static_cast<size_t>(i)]) {
        const QString amount = game::amountText(s.caseAmount[static_cast<size_t>(i)]);
        return own ? Accessibility::tr("ваш, открыт: %1").arg(amount)
                   : Accessibility::tr("открыт: %1").arg(amount);
    }
    return own ? Accessibility::tr("ваш") : Accessibility::tr("закрыт");
}

// The banker's offer as one text, while it is shown.
QString offerText(GameWindow* window, const QWidget* offerLabel) {
    if (!offerLabel || offerLabel->isHidden())
        return {};
    return window->state().offer.exchange
               ? Accessibility::tr("Банк предлагает обмен")
               : Accessibility::tr("Банк предлагает %1").arg(labelText(offerLabel));
}

// The counter panel read as one text: the count, then the caption's words.
QString counterText(GameWindow* window) {
    const GameWindow::Controls& ui = window->controls();
    const QString words = labelText(ui.counterCaption);
    if (ui.counterNumber && !ui.counterNumber->isHidden())
        return labelText(ui.counterNumber) + QLatin1Char(' ') + words;
    return words;
}

// What "Новая игра" is read with once the game is over: the winnings and what
// the own case held.
QString gameOverText(GameWindow* window) {
    const GameWindow::Controls& ui = window->controls();
    const game::GameState& s = window->state();
    if (ui.winningsAmount->isHidden() || s.ownCase < 0)
        return {};
    const auto own = static_cast<size_t>(s.ownCase);
    return Accessibility::tr("Выигрыш: %1. Ваш чемодан %2: %3.")
        .arg(labelText(ui.winningsAmount))
        .arg(caseNumber(window, s.ownCase))
        .arg(game::amountText(s.caseAmount[own]));
}

QString describe(const Place& place, const QWidget* widget) {
    switch (place.kind) {
    case Kind::Case:
        return caseDescription(place.window, place.index);
    case Kind::BoardItem:
        if (widget->isHidden())
            return {}; // not on the board yet
        return place.window->controls().boardAmounts[place.index]->isHidden()
                   ? Accessibility::tr("выбыла")
                   : Accessibility::tr("в игре");
    case Kind::Answer:
        // Focus coming to an answer reads the offer with it.
        return offerText(place.window, place.window->controls().offerAmount);
    case Kind::NewGame:
        return gameOverText(place.window);
    default:
        return {};
    }
}

// Tells assistive technology what changes in meaning without Qt saying so, as
// the game tells it: a case's description and state when it is chosen,
// exchanged or opened or when the cases take presses or not (and that an opened
// case still shows, though its plate is gone), an amount leaving the board, the
// counter's whole text. Made only once a client looks at the window; the events
// go once the window has drawn the change.
//
// It also keeps the news: what the game did that a screen reader would not
// otherwise hear (a case opened and what it held, the own case chosen or
// exchanged, the player asked to choose). A screen reader speaks what the
// control that takes the focus is called and described as, so the news is read
// at the start of the description of the next of the window's controls to take
// the focus, and it is gone once the focus moves on from that control to another.
class ChangeNotifier final : public QObject {
  public:
    explicit ChangeNotifier(GameWindow* window) : QObject(window), window_(window) {
        const game::Game* game = &window->game();
        connect(game, &game::Game::caseOpened, this, [this](int i, int rank) {
            addNews(Accessibility::tr("Чемодан %1: %2.")
                        .arg(caseNumber(window_, i))
                        .arg(game::amountText(rank)));
        });
        connect(game, &game::Game::ownCaseChosen, this, [this](int i) {
            addNews(Accessibility::tr("Ваш чемодан %1.").arg(caseNumber(window_, i)));
        });
        connect(game, &game::Game::casesExchanged, this, [this](int, int taken) {
            addNews(
                Accessibility::tr("Обмен: ваш чемодан теперь %1.").arg(caseNumber(window_, taken)));
        });
        // The prompt as the counter panel shows it.
        auto prompt = [this] {
            const QString words = labelText(window_->controls().counterCaption);
            if (!words.isEmpty())
                addNews(words + QLatin1Char('.'));
        };
        connect(game, &game::Game::paceChanged, this, [this](bool quick) {
            addNews(quick ? Accessibility::tr("Быстрая игра включена.")
                          : Accessibility::tr("Быстрая игра выключена."));
        });
        connect(game, &game::Game::ownCasePrompted, this, prompt);
        connect(game, &game::Game::exchangePrompted, this, prompt);
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
            // Read once the focus has gone on to another control; not while it
            // waits on the window, from which it may come back to the same one.
            if (old && old == reader_ && now != window_) {
                reader_ = nullptr;
                read_.clear();
            }
            QTimer::singleShot(0, this, [this] { settleNews(); });
        });
        auto caseChanged = [this](int i) {
            if (i >= 0 && i < game::kCaseCount)
                changed(window_->controls().casePlates[i]);
        };
        auto everyCase = [this] {
            for (ClickablePicture* plate : window_->controls().casePlates)
                changed(plate);
        };
        connect(game, &game::Game::caseOpened, this, [caseChanged](int i, int) { caseChanged(i); });
        connect(game, &game::Game::ownCaseOpened, this, caseChanged);
        connect(game, &game::Game::ownCaseChosen, this, caseChanged);
        connect(game, &game::Game::casesExchanged, this, [caseChanged](int given, int taken) {
            caseChanged(given);
            caseChanged(taken);
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

    // The news that the description of widget starts with; empty when none.
    QString newsFor(const QWidget* widget) const {
        QStringList news;
        if (widget == reader_)
            news << read_;
        if (widget->hasFocus())
            news << unread_;
        return news.join(QLatin1Char(' '));
    }

  private:
    void addNews(const QString& news) { unread_ << news; }

    // The news goes to the control that holds the focus once the moves of one
    // step are over (a step may move it twice).
    void settleNews() {
        QWidget* focus = QApplication::focusWidget();
        if (unread_.isEmpty() || !focus || focus->parentWidget() != window_)
            return;
        if (focus != reader_) {
            reader_ = focus;
            read_.clear();
        }
        read_ << std::exchange(unread_, {});
    }

    void changed(QWidget* widget) {
        pending_.insert(widget);
        if (pending_.size() == 1)
            QTimer::singleShot(0, this, [this] { notify(); });
    }

    void notify() {
        const QSet<QWidget*> due = std::exchange(pending_, {});
        if (!QAccessible::isActive())
            return;
        const GameWindow::Controls& ui = window_->controls();
        for (int i = 0; i < game::kCaseCount; ++i) {
            if (due.contains(ui.casePlates[i]))
                caseChanged(ui.casePlates[i]);
            if (due.contains(ui.boardPlates[i]))
                meaningChanged(ui.boardPlates[i]);
        }
        if (due.contains(ui.counterCaption)) {
            QAccessibleEvent nameChanged(ui.counterCaption, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&nameChanged);
        }
    }

    // Says what changed since last said (a phase change touches every case and
    // changes few).
    void meaningChanged(QWidget* widget) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
        if (!iface)
            return;
        // Without the news: it comes with a focus move, not as a change.
        const QString description = describe(placeOf(widget), widget);
        const QAccessible::State state = iface->state();
        Said& said = said_[widget];
        if (description != said.description) {
            QAccessibleEvent event(widget, QAccessible::DescriptionChanged);
            QAccessible::updateAccessibility(&event);
        }
        if ((state.disabled != 0) != said.disabled || (state.focusable != 0) != said.focusable) {
            QAccessible::State states;
            states.disabled = true;
            states.focusable = true;
            QAccessibleStateChangeEvent event(widget, states);
            QAccessible::updateAccessibility(&event);
        }
        said = {description, state.disabled != 0, state.focusable != 0};
    }

    void caseChanged(QWidget* plate) {
        meaningChanged(plate);
        // Qt said the plate went; the case it stands for is still there.
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(plate);
        if (plate->isHidden() && iface && !iface->state().invisible) {
            QAccessibleEvent shown(plate, QAccessible::ObjectShow);
            QAccessible::updateAccessibility(&shown);
        }
    }

    struct Said {
        QString description;
        bool disabled = false;
        bool focusable = false;
    };

    GameWindow* window_;
    QSet<QWidget*> pending_;
    QHash<const QWidget*, Said> said_;
    QStringList unread_;       // not yet with a control that took the focus
    QPointer<QWidget> reader_; // the control the news went to
    QStringList read_;         // the news it went with
};

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
        return which_ == Which::Board ? Accessibility::tr("Суммы")
                                      : Accessibility::tr("Банк предлагал");
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
// meets them, the two lists in place of their items, and nothing that only
// draws.
class GameWindowAccessible final : public QAccessibleWidget {
  public:
    explicit GameWindowAccessible(GameWindow* window)
        : QAccessibleWidget(window, QAccessible::Window) {}
    ~GameWindowAccessible() override {
        for (QAccessible::Id id : {boardId_, historyId_}) {
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
        ensureLists();
        return which == ListAccessible::Which::Board ? board_ : history_;
    }

  private:
    void ensureLists() const {
        if (board_)
            return;
        auto* self = const_cast<GameWindowAccessible*>(this);
        self->board_ = new ListAccessible(self, ListAccessible::Which::Board);
        self->boardId_ = QAccessible::registerAccessibleInterface(board_);
        self->history_ = new ListAccessible(self, ListAccessible::Which::History);
        self->historyId_ = QAccessible::registerAccessibleInterface(history_);
    }

    std::vector<QAccessibleInterface*> children() const {
        std::vector<QAccessibleInterface*> all;
        GameWindow* window = gameWindow();
        // The cases are built last.
        if (!window || !window->controls().casePlates.back())
            return all; // still being built, or going
        const GameWindow::Controls& ui = window->controls();
        ensureLists();
        if (!notifier_)
            notifier_ = new ChangeNotifier(window);
        auto add = [&all](QWidget* widget) {
            if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget))
                all.push_back(iface);
        };
        add(ui.startButton);
        // The cases by the numbers on their plates.
        std::vector<int> byNumber(game::kCaseCount);
        for (int i = 0; i < game::kCaseCount; ++i)
            byNumber[static_cast<size_t>(caseNumber(window, i) - 1)] = i;
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
        return all;
    }

  public:
    ChangeNotifier* notifier() const { return notifier_; }

  private:
    ListAccessible* board_ = nullptr;
    ListAccessible* history_ = nullptr;
    QAccessible::Id boardId_ = 0;
    QAccessible::Id historyId_ = 0;
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
        const Place place = placeOf(object());
        switch (place.kind) {
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
        if (t == QAccessible::Name)
            return name(place);
        if (t == QAccessible::Description)
            return withNews(place, description(place));
        if (place.kind == Kind::Other)
            return QAccessibleWidget::text(t);
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
            const bool clickable = caseClickable(place.window, place.index);
            state.disabled = !clickable;
            state.focusable = clickable && widget()->focusPolicy() != Qt::NoFocus;
            return state;
        }
        case Kind::BoardItem: {
            // Shown once the board's reveal has put up its plate; in play while
            // its amount is on the plate.
            const GameWindow::Controls& ui = place.window->controls();
            state = QAccessibleWidget::state();
            state.disabled = ui.boardAmounts[place.index]->isHidden();
            state.readOnly = true;
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

    QStringList actionNames() const override {
        const Place place = placeOf(object());
        if (place.kind == Kind::Hidden)
            return {};
        QStringList names;
        bool pressable = false;
        if (place.kind == Kind::Case)
            pressable = caseClickable(place.window, place.index);
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
        // The focus waits on the window while the press is taken (as for a
        // key): Qt would move it on for a moment from a control the press
        // disables or hides, and a screen reader would speak that one.
        if (QWidget* window = placeOf(object()).window; window && window->focusWidget() != window)
            window->setFocus(Qt::OtherFocusReason);
        if (auto* picture = qobject_cast<ClickablePicture*>(object()))
            picture->click();
        else if (auto* button = qobject_cast<QAbstractButton*>(object()))
            button->click();
    }

  private:
    QString name(const Place& place) const {
        const QWidget* w = widget();
        switch (place.kind) {
        case Kind::Hidden:
            return {};
        case Kind::Case: {
            const int plate = game::plateForCase(place.window->state().caseSkin, place.index);
            return Accessibility::tr("Чемодан %1").arg(plate + 1);
        }
        case Kind::Logo:
            return Accessibility::tr("Об авторах");
        case Kind::BoardItem:
            return game::amountText(place.index);
        case Kind::HistoryItem: {
            if (w->isHidden())
                return {};
            const QString offer = labelText(w);
            return offer == game::kExchangeInHistory ? Accessibility::tr("обмен") : offer;
        }
        case Kind::Offer:
            return offerText(place.window, w);
        case Kind::Answer:
        case Kind::NewGame:
            return static_cast<const QAbstractButton*>(w)->text();
        case Kind::Counter:
            return w->isHidden() ? QString() : counterText(place.window);
        case Kind::Winnings:
            return w->isHidden() ? QString() : Accessibility::tr("Выигрыш: %1").arg(labelText(w));
        case Kind::Other:
            break;
        }
        if (!w->accessibleName().isEmpty())
            return w->accessibleName();
        if (qobject_cast<const ClickablePicture*>(w))
            return w->toolTip();
        if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            return button->text();
        if (qobject_cast<const QLabel*>(w))
            return labelText(w);
        return QAccessibleWidget::text(QAccessible::Name);
    }

    QString description(const Place& place) const {
        if (place.kind == Kind::Other)
            return QAccessibleWidget::text(QAccessible::Description);
        return describe(place, widget());
    }

    QString withNews(const Place& place, const QString& description) const {
        if (!place.window)
            return description;
        auto* window = dynamic_cast<GameWindowAccessible*>(
            QAccessible::queryAccessibleInterface(place.window));
        const ChangeNotifier* notifier = window ? window->notifier() : nullptr;
        const QString news = notifier ? notifier->newsFor(widget()) : QString();
        if (news.isEmpty())
            return description;
        return description.isEmpty() ? news : news + QLatin1Char(' ') + description;
    }
};

// The credits window: a window of its own whose texts come and go, slide in
// from beyond its edge and fade in from black.
class CreditsWindowAccessible final : public QAccessibleWidget {
  public:
    explicit CreditsWindowAccessible(QWidget* window)
        : QAccessibleWidget(window, QAccessible::Window) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return widget()->windowTitle();
        return QAccessibleWidget::text(t);
    }
};

// One text of the credits, read only while a sighted reader sees it: shown,
// within the window and lighter than the black behind it.
class CreditTextAccessible final : public QAccessibleWidget {
  public:
    explicit CreditTextAccessible(QWidget* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return seen() ? labelText(widget()) : QString();
        return {};
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        if (!seen()) {
            state.invisible = true;
            state.offscreen = true;
        }
        return state;
    }

  private:
    bool seen() const {
        const QWidget* label = widget();
        constexpr int kFaintest = 64; // of 255: darker is lost on the black
        return label->isVisible() && !labelText(label).isEmpty() &&
               label->parentWidget()->rect().intersects(label->geometry()) &&
               label->palette().color(QPalette::WindowText).lightness() >= kFaintest;
    }
};

QAccessibleInterface* factory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("CreditsWindow"))
        return new CreditsWindowAccessible(widget);
    if (className == QLatin1String("QLabel") && object->parent() &&
        object->parent()->inherits("CreditsWindow"))
        return new CreditTextAccessible(widget);
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

} // namespace

namespace accessibility {

void install() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(factory);
}

} // namespace accessibility
