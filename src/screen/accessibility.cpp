#include "accessibility.h"

#include "amounts.h"
#include "credits_window.h"
#include "game.h"
#include "game_window.h"
#include "language.h"
#include "movie_widget.h"
#include "offer_format.h"
#include "rounds.h"
#include "shown_texts.h"
#include "spoken_numbers.h"
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
#include <algorithm>
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

// What assistive technology is told of a case: sensitive while it can be
// pressed now, and also through the suspense and the round's last sound, after
// which it can be again. Else the 22 cases would turn insensitive and back at
// every opening, 44 events that tell nothing and flood a screen reader.
bool caseSensitive(GameWindow* window, int i) {
    if (caseClickable(window, i))
        return true;
    const game::Phase phase = window->phase();
    const game::GameState& s = window->state();
    return (phase == game::Phase::Suspense || phase == game::Phase::OfferPending) &&
           i != s.ownCase && !s.caseOpened[static_cast<size_t>(i)] &&
           window->controls().casePlates[i]->isVisible();
}

// The number on case i's plate.
int caseNumber(const GameWindow* window, int i) {
    return game::plateForCase(window->state().caseSkin, i) + 1;
}

// Amounts as a voice reads them right (the screen's grouped forms are not).
QString spokenMoney(qint64 amount) {
    return i18n::spokenMoney(amount, i18n::currentLanguage());
}

QString spokenRank(int rank) {
    return i18n::spokenAmount(game::amountText(rank), i18n::currentLanguage());
}

// An offer as one word or number.
QString spokenOffer(const game::Offer& offer) {
    return offer.exchange ? Accessibility::tr("обмен") : spokenMoney(offer.amount);
}

QString caseDescription(GameWindow* window, int i) {
    const game::GameState& s = window->state();
    const bool own = i == s.ownCase;
    if (s.caseOpened[static_cast<size_t>(i)]) {
        const QString amount = spokenRank(s.caseAmount[static_cast<size_t>(i)]);
        return own ? Accessibility::tr("ваш, открыт: %1").arg(amount)
                   : Accessibility::tr("открыт: %1").arg(amount);
    }
    return own ? Accessibility::tr("ваш") : Accessibility::tr("закрыт");
}

// The banker's offer as one text, while it is shown.
QString offerText(GameWindow* window) {
    if (window->controls().offerAmount->isHidden())
        return {};
    const game::Offer& offer = window->state().offer;
    return offer.exchange ? Accessibility::tr("Банк предлагает обмен")
                          : Accessibility::tr("Банк предлагает %1").arg(spokenMoney(offer.amount));
}

// What the game was won with, once it is over.
QString winningsText(GameWindow* window) {
    const game::GameState& s = window->state();
    if (const std::optional<double> accepted = window->game().recordSoFar().acceptedOffer)
        return spokenMoney(static_cast<qint64>(*accepted));
    return s.ownCase >= 0 ? spokenRank(s.caseAmount[static_cast<size_t>(s.ownCase)]) : QString();
}

// The counter panel read as one text: the count, then the caption's words.
QString counterText(GameWindow* window) {
    const GameWindow::Controls& ui = window->controls();
    const QString words = labelText(ui.counterCaption);
    if (ui.counterNumber && !ui.counterNumber->isHidden())
        return labelText(ui.counterNumber) + QLatin1Char(' ') + words;
    return words;
}

QString describe(const Place& place, const QWidget* widget) {
    switch (place.kind) {
    case Kind::Case:
        return caseDescription(place.window, place.index);
    case Kind::BoardItem:
        if (widget->isHidden())
            return {}; // not on the board yet
        // Out of play, the name says so.
        return place.window->controls().boardAmounts[place.index]->isHidden()
                   ? QString()
                   : Accessibility::tr("в игре");
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
// It also speaks the news: what the game did (a case opened and what it held,
// the cases left before the offer, an offer, the answer, an exchange, the
// winnings), once, wherever the focus is. Orca reads an object of the
// notification role when it shows, so the news of one step is put into the
// window's notification and that is shown again; it goes after the focus moves
// of the step, whose reading would otherwise cut it short.
class ChangeNotifier final : public QObject {
  public:
    ChangeNotifier(GameWindow* window, QAccessibleInterface* notification)
        : QObject(window), window_(window), notification_(notification) {
        const game::Game* game = &window->game();
        connect(game, &game::Game::newGameLoaded, this, [this] {
            unsaid_.clear();
            said_.clear();
            counterCount_ = 0;
            counterShownNow_ = false;
            news_ = Accessibility::tr("Новая игра.");
        });
        connect(game, &game::Game::ownCasePrompted, this,
                [this] { addNews(promptText(i18n::chooseOwnCasePrompt())); });
        connect(game, &game::Game::exchangePrompted, this,
                [this] { addNews(promptText(i18n::chooseSwapCasePrompt())); });
        connect(game, &game::Game::ownCaseChosen, this, [this](int i) {
            addNews(Accessibility::tr("Ваш чемодан %1.").arg(caseNumber(window_, i)));
        });
        connect(game, &game::Game::caseOpened, this, [this](int i, int rank) {
            addNews(Accessibility::tr("Чемодан %1: %2.")
                        .arg(caseNumber(window_, i))
                        .arg(spokenRank(rank)));
        });
        connect(game, &game::Game::offerShown, this, [this](const game::Offer& offer) {
            if (offer.exchange) {
                addNews(Accessibility::tr("Банк предлагает обмен."));
            } else if (window_->state().offerTaken) {
                addNews(Accessibility::tr("Банк предлагает %1. Отвечать не нужно.")
                            .arg(spokenMoney(offer.amount)));
            } else {
                addNews(Accessibility::tr("Банк предлагает %1.").arg(spokenMoney(offer.amount)));
            }
        });
        connect(game, &game::Game::answered, this, [this](bool accepted) {
            const game::Offer& offer = window_->state().offer;
            if (!accepted)
                addNews(offer.exchange ? Accessibility::tr("Без обмена, играем дальше.")
                                       : Accessibility::tr("Без сделки, играем дальше."));
            else if (!offer.exchange)
                addNews(Accessibility::tr("Вы продали свой чемодан за %1.")
                            .arg(spokenMoney(offer.amount)));
        });
        connect(game, &game::Game::casesExchanged, this, [this](int, int taken) {
            addNews(
                Accessibility::tr("Обмен: ваш чемодан теперь %1.").arg(caseNumber(window_, taken)));
        });
        connect(game, &game::Game::ownCaseOpened, this, [this](int i) {
            const int rank = window_->state().caseAmount[static_cast<size_t>(i)];
            addNews(Accessibility::tr("Ваш чемодан %1: %2.")
                        .arg(caseNumber(window_, i))
                        .arg(spokenRank(rank)));
        });
        connect(game, &game::Game::paceChanged, this, [this](bool quick) {
            addNews(quick ? Accessibility::tr("Быстрая игра включена.")
                          : Accessibility::tr("Быстрая игра выключена."));
        });
        connect(game, &game::Game::winningsShown, this,
                [this] { addNews(Accessibility::tr("Выигрыш: %1.").arg(winningsText(window_))); });
        connect(game, &game::Game::counterChanged, this,
                [this](int count) { counterCount_ = count; });
        connect(game, &game::Game::counterShown, this,
                [this](bool shown) { counterShownNow_ = shown; });
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

    // What the notification reads now.
    const QString& news() const { return news_; }

    // Says text at once (a fact asked for by a key), or the last news again
    // when text is empty.
    void say(const QString& text) {
        if (!text.isEmpty())
            news_ = text;
        show();
    }

  private:
    static QString promptText(const QString& prompt) {
        return prompt.simplified() + QLatin1Char('.');
    }

    void addNews(const QString& news) {
        unsaid_ << news;
        if (unsaid_.size() > 1)
            return;
        // Twice round the event loop: the focus moves of this step are made
        // on the first round (DesktopControls::followPlay).
        QTimer::singleShot(0, this, [this] { QTimer::singleShot(0, this, [this] { sayNews(); }); });
    }

    // The news of one step as one utterance, with what the player needs next:
    // the cases left before the offer, the last other case, the own case opening.
    void sayNews() {
        if (unsaid_.isEmpty())
            return;
        QStringList news = std::exchange(unsaid_, {});
        const game::GameState& s = window_->state();
        const game::Phase phase = window_->game().phase();
        if (phase == game::Phase::WaitingForClick && s.ownCase >= 0) {
            int closed = 0;
            int lastClosed = -1;
            for (int i = 0; i < game::kCaseCount; ++i) {
                if (i != s.ownCase && !s.caseOpened[static_cast<size_t>(i)]) {
                    ++closed;
                    lastClosed = i;
                }
            }
            if (closed == 1)
                news << Accessibility::tr("Остался один чемодан, кроме вашего: %1.")
                            .arg(caseNumber(window_, lastClosed));
            else if (counterShownNow_ && counterCount_ > 0)
                news << QString::number(counterCount_) + QLatin1Char(' ') +
                            i18n::counterWords(counterCount_).simplified() + QLatin1Char('.');
        } else if (phase == game::Phase::EndOfGame && s.ownCase >= 0 &&
                   !s.caseOpened[static_cast<size_t>(s.ownCase)]) {
            news << Accessibility::tr("Теперь откроется ваш чемодан %1.")
                        .arg(caseNumber(window_, s.ownCase));
        }
        news_ = news.join(QLatin1Char(' '));
        show();
    }

    void show() {
        if (news_.isEmpty() || !QAccessible::isActive())
            return;
        QAccessibleEvent shown(notification_, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
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
    QAccessibleInterface* notification_;
    QSet<QWidget*> pending_;
    QHash<const QWidget*, Said> said_;
    QStringList unsaid_; // the news of the step under way
    QString news_;       // the last said
    int counterCount_ = 0;
    bool counterShownNow_ = false;
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

// The news of the game: a notification, read by a screen reader each time it
// shows, that holds the last news said.
class NewsAccessible final : public QAccessibleInterface {
  public:
    explicit NewsAccessible(GameWindowAccessible* window) : window_(window) {}

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.readOnly = true;
        state.invisible = text(QAccessible::Name).isEmpty();
        return state;
    }

  private:
    GameWindowAccessible* window_;
};

// The game window: its children are the game's controls in the order a player
// meets them, the two lists in place of their items, and nothing that only
// draws.
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
        self->news_ = new NewsAccessible(self);
        self->newsId_ = QAccessible::registerAccessibleInterface(news_);
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
            notifier_ = new ChangeNotifier(window, news_);
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
        all.push_back(news_);
        return all;
    }

  public:
    // Made with the window's children, once a client looks.
    ChangeNotifier* notifier() const {
        if (!notifier_)
            children();
        return notifier_;
    }

  private:
    ListAccessible* board_ = nullptr;
    ListAccessible* history_ = nullptr;
    QAccessible::Id boardId_ = 0;
    NewsAccessible* news_ = nullptr;
    QAccessible::Id historyId_ = 0;
    QAccessible::Id newsId_ = 0;
    mutable QPointer<ChangeNotifier> notifier_;
};

bool NewsAccessible::isValid() const {
    return window_->isValid();
}

QWindow* NewsAccessible::window() const {
    return window_->window();
}

QAccessibleInterface* NewsAccessible::parent() const {
    return window_;
}

QString NewsAccessible::text(QAccessible::Text t) const {
    const ChangeNotifier* notifier = window_->notifier();
    return t == QAccessible::Name && notifier ? notifier->news() : QString();
}

QRect NewsAccessible::rect() const {
    return window_->rect();
}

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
            return description(place);
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
            const bool sensitive = caseSensitive(place.window, place.index);
            state.disabled = !sensitive;
            state.focusable = sensitive && widget()->focusPolicy() != Qt::NoFocus;
            return state;
        }
        case Kind::BoardItem: {
            // Shown once the board's reveal has put up its plate; in play while
            // its amount is on the plate.
            const GameWindow::Controls& ui = place.window->controls();
            state = QAccessibleWidget::state();
            state.disabled = ui.boardAmounts[place.index]->isHidden();
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
            // What is out of play says so in its name.
            return place.window->controls().boardAmounts[place.index]->isHidden()
                       ? Accessibility::tr("%1, выбыла").arg(spokenRank(place.index))
                       : spokenRank(place.index);
        case Kind::HistoryItem: {
            if (w->isHidden())
                return {};
            // Row 0 is the latest of the offers kept.
            const game::GameState& s = place.window->state();
            const int kept = std::min<int>(s.offerCount, game::kHistorySize);
            const int entry = kept - place.index;
            return entry >= 1 ? spokenOffer(s.offerHistory[static_cast<size_t>(entry)]) : QString();
        }
        case Kind::Offer:
            return offerText(place.window);
        case Kind::Answer:
        case Kind::NewGame:
            return static_cast<const QAbstractButton*>(w)->text();
        case Kind::Counter:
            return w->isHidden() ? QString() : counterText(place.window);
        case Kind::Winnings:
            return w->isHidden() ? QString()
                                 : Accessibility::tr("Выигрыш: %1").arg(winningsText(place.window));
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
};

class CreditsWindowAccessible;

// What the credits window has a screen reader say: the entry whose name has
// just come to rest, as a notification shown once for it.
class CreditNewsAccessible final : public QAccessibleInterface {
  public:
    explicit CreditNewsAccessible(CreditsWindowAccessible* window) : window_(window) {}

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? news_ : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.readOnly = true;
        state.invisible = news_.isEmpty();
        return state;
    }

    void say(const QString& news) {
        news_ = news;
        QAccessibleEvent shown(this, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }

  private:
    CreditsWindowAccessible* window_;
    QString news_;
};

// The credits window: a window of its own whose texts come and go, slide in
// from beyond its edge and fade in from black. Each entry is said once, when
// its name comes to rest.
class CreditsWindowAccessible final : public QAccessibleWidget {
  public:
    explicit CreditsWindowAccessible(CreditsWindow* window)
        : QAccessibleWidget(window, QAccessible::Window), news_(new CreditNewsAccessible(this)),
          newsId_(QAccessible::registerAccessibleInterface(news_)) {
        QObject::connect(window, &CreditsWindow::entryShown, window, [this, window] {
            QStringList parts;
            for (const QLabel* label :
                 {window->roleLabel(), window->nameLabel(), window->addressLabel()}) {
                // The address's parts stand apart by a dot in the middle.
                const QString text =
                    labelText(label).replace(QStringLiteral(" \u00b7 "), QStringLiteral(", "));
                if (!text.isEmpty())
                    parts << text;
            }
            news_->say(parts.join(QStringLiteral(": ")) + QLatin1Char('.'));
        });
    }
    ~CreditsWindowAccessible() override { QAccessible::deleteAccessibleInterface(newsId_); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return widget()->windowTitle();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return QAccessibleWidget::childCount() + 1; }
    QAccessibleInterface* child(int index) const override {
        return index == QAccessibleWidget::childCount() ? news_ : QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child == news_ ? QAccessibleWidget::childCount()
                              : QAccessibleWidget::indexOfChild(child);
    }

  private:
    CreditNewsAccessible* news_;
    QAccessible::Id newsId_;
};

bool CreditNewsAccessible::isValid() const {
    return window_->isValid();
}

QWindow* CreditNewsAccessible::window() const {
    return window_->window();
}

QAccessibleInterface* CreditNewsAccessible::parent() const {
    return window_;
}

QRect CreditNewsAccessible::rect() const {
    return window_->rect();
}

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
    if (auto* credits = qobject_cast<CreditsWindow*>(object))
        return new CreditsWindowAccessible(credits);
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

// The text a fact's key says; empty for the last news.
QString factText(GameWindow* window, accessibility::Fact fact) {
    const game::GameState& s = window->state();
    const bool started = window->game().phase() != game::Phase::Loaded;
    QStringList items;
    switch (fact) {
    case accessibility::Fact::LastNews:
        return {};
    case accessibility::Fact::AmountsInPlay: {
        // An amount is in play while the case holding it is closed.
        std::array<bool, game::kCaseCount> inPlay{};
        inPlay.fill(true);
        if (started) {
            for (int i = 0; i < game::kCaseCount; ++i) {
                if (s.caseOpened[static_cast<size_t>(i)])
                    inPlay[static_cast<size_t>(s.caseAmount[static_cast<size_t>(i)])] = false;
            }
        }
        for (int rank = 0; rank < game::kCaseCount; ++rank) {
            if (inPlay[static_cast<size_t>(rank)])
                items << spokenRank(rank);
        }
        return Accessibility::tr("Суммы в игре: %1.").arg(items.join(QStringLiteral(", ")));
    }
    case accessibility::Fact::Offers: {
        const game::GameRecord& record = window->game().recordSoFar();
        if (record.offers.empty())
            return Accessibility::tr("Банк ещё ничего не предлагал.");
        for (const game::OfferRecord& offer : record.offers)
            items << (offer.exchange ? Accessibility::tr("обмен")
                                     : spokenMoney(static_cast<qint64>(offer.amount)));
        QString text =
            Accessibility::tr("Банк предлагал: %1.").arg(items.join(QStringLiteral(", ")));
        if (record.acceptedOffer)
            text += QLatin1Char(' ') +
                    Accessibility::tr("Вы продали свой чемодан за %1.")
                        .arg(spokenMoney(static_cast<qint64>(*record.acceptedOffer)));
        return text;
    }
    case accessibility::Fact::ClosedCases: {
        std::vector<int> numbers;
        for (int i = 0; i < game::kCaseCount; ++i) {
            if (!s.caseOpened[static_cast<size_t>(i)] && (!started || i != s.ownCase))
                numbers.push_back(caseNumber(window, i));
        }
        std::sort(numbers.begin(), numbers.end());
        for (const int number : numbers)
            items << QString::number(number);
        QString text =
            Accessibility::tr("Закрыты чемоданы: %1.").arg(items.join(QStringLiteral(", ")));
        if (started && s.ownCase >= 0)
            text += QLatin1Char(' ') +
                    Accessibility::tr("Ваш чемодан %1.").arg(caseNumber(window, s.ownCase));
        return text;
    }
    }
    return {};
}

} // namespace

namespace accessibility {

void say(GameWindow* window, Fact fact) {
    if (window && QAccessible::isActive())
        say(window, factText(window, fact));
}

void say(GameWindow* window, const QString& text) {
    if (!window || !QAccessible::isActive())
        return;
    auto* windowAccessible =
        dynamic_cast<GameWindowAccessible*>(QAccessible::queryAccessibleInterface(window));
    if (ChangeNotifier* notifier = windowAccessible ? windowAccessible->notifier() : nullptr)
        notifier->say(text);
}

namespace {

// What Qt tells assistive technology, less two kinds of noise:
// - the game window itself holds the focus only while no control can be pressed
//   (the suspense, the banker's call, an answer being taken in), at every
//   opening. A screen reader would read the window's title each time: once a
//   game is under way those focus moves are kept from it, and it stays on the
//   control last pressed until the focus moves on. Before the start the title
//   is said, once per game.
// - Qt tells every enabled change of a widget, the case plates' at every step;
//   what a case means to the player is told by the game window's notifier,
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

void withoutNoise(QAccessibleEvent* event) {
    if (onlyDraws(event))
        return;
    if (event->type() == QAccessible::Focus) {
        const auto* window = qobject_cast<const GameWindow*>(event->object());
        if (window && window->phase() != game::Phase::Loaded)
            return;
    }
    if (event->type() == QAccessible::StateChanged) {
        QAccessible::State enabledOnly;
        enabledOnly.disabled = true;
        if (static_cast<QAccessibleStateChangeEvent*>(event)->changedStates() == enabledOnly &&
            placeOf(event->object()).kind == Kind::Case)
            return;
    }
    // On to the platform's bridge, which takes the events while no handler is set.
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(withoutNoise);
}

} // namespace

void install() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(factory);
    QAccessible::installUpdateHandler(withoutNoise);
}

} // namespace accessibility
