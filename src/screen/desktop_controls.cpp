#include "desktop_controls.h"

#include "game_window.h"
#include "language.h"
#include "layout.h"
#include "movie_widget.h"
#include "narrator.h"
#include "rounds.h"
#include "rules_dialog.h"
#include "side_windows.h"
#include "sound_settings.h"
#include "widgets.h"
#include "window_fit.h"

#include <QAccessible>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QWindow>
#include <algorithm>

namespace {

// A free spot on the backdrop, below the offer history, away from every control.
constexpr layout::Rect kMutedMark{240, 10440, 450, 450};
// Beside it, the volume for a moment after it was changed.
// Wide enough for "Громкость 100 %" in its bold face at any scale.
constexpr layout::Rect kVolumeMark{600, 10440, 3300, 450};
constexpr int kVolumeMarkMs = 1200;

// The Russian letters of the Y, N and M keys' places: Д, Н and Ь.
constexpr int kKeyDe = 0x414;
constexpr int kKeyEn = 0x41D; // the key marked Y in the Russian layout
constexpr int kKeyTe = 0x422; // the key marked N in the Russian layout
constexpr int kKeySoftSign = 0x42C;

// A small speaker with a cross, shown on the backdrop while the sound is off.
class MutedMark final : public QWidget {
  public:
    explicit MutedMark(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(width() / 30.0, height() / 30.0);
        const QColor colour(255, 233, 176, 170);
        QPainterPath speaker;
        speaker.moveTo(3, 11);
        speaker.lineTo(8, 11);
        speaker.lineTo(15, 5);
        speaker.lineTo(15, 25);
        speaker.lineTo(8, 19);
        speaker.lineTo(3, 19);
        speaker.closeSubpath();
        painter.fillPath(speaker, colour);
        painter.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(19, 11), QPointF(27, 19));
        painter.drawLine(QPointF(27, 11), QPointF(19, 19));
    }
};

// The volume as a short line on a dark plate.
QLabel* makeVolumeMark(QWidget* parent) {
    auto* mark = new QLabel(parent);
    mark->setAttribute(Qt::WA_TransparentForMouseEvents);
    mark->setAlignment(Qt::AlignCenter);
    mark->setAutoFillBackground(true);
    QPalette palette = mark->palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 0, 170));
    palette.setColor(QPalette::WindowText, QColor(255, 233, 176));
    mark->setPalette(palette);
    QFont font = mark->font();
    font.setPixelSize(18);
    font.setBold(true);
    mark->setFont(font);
    mark->hide();
    return mark;
}

// The keys as typed. A key typed with Shift matches too (a letter with Caps Lock
// or Shift, a "+" that takes Shift on the keyboard), and one on the keypad.
QList<QKeySequence> keys(std::initializer_list<int> keyCodes) {
    QList<QKeySequence> sequences;
    for (const int key : keyCodes)
        sequences << QKeySequence(key);
    return sequences;
}

// Our keys first (the first is the one the menu shows), then the platform's
// own for the same thing.
QList<QKeySequence> withStandard(QList<QKeySequence> ours, QKeySequence::StandardKey standard) {
    for (const QKeySequence& key : QKeySequence::keyBindings(standard)) {
        if (!ours.contains(key))
            ours << key;
    }
    return ours;
}

} // namespace

DesktopControls::DesktopControls(SoundSettings& sound, QObject* parent)
    : QObject(parent), sound_(sound) {
    typingTimeout_.setSingleShot(true);
    connect(&typingTimeout_, &QTimer::timeout, this, [this] { typed_.clear(); });
    volumeMarkTimeout_.setSingleShot(true);
    connect(&volumeMarkTimeout_, &QTimer::timeout, this, [this] {
        if (volumeMark_)
            volumeMark_->hide();
    });
    connect(&sound_, &SoundSettings::changed, this, &DesktopControls::updateMutedMark);
    connect(qApp, &QApplication::focusChanged, this, &DesktopControls::onFocusChanged);
    qApp->installEventFilter(this); // the keys' shortcuts, see eventFilter()
    createActions();
}

DesktopControls::~DesktopControls() = default;

QAction* DesktopControls::addAction(const char* text, const QList<QKeySequence>& keys,
                                    const std::function<void()>& act) {
    auto* action = new QAction(this); // its text from retranslate()
    actionTexts_.insert(action, text);
    action->setShortcuts(keys);
    action->setShortcutVisibleInContextMenu(true);
    connect(action, &QAction::triggered, this, [this, act] {
        typed_.clear();
        if (gameWindow())
            act();
    });
    actions_ << action;
    return action;
}

void DesktopControls::createActions() {
    newGameAction_ = addAction(QT_TR_NOOP("Новая игра"), {}, [this] { requestNewGame(); });
    rulesAction_ =
        addAction(QT_TR_NOOP("Правила"), withStandard({Qt::Key_F1}, QKeySequence::HelpContents),
                  [this] { showRules(); });
    soundAction_ = addAction(QT_TR_NOOP("Звук вкл/выкл"), keys({Qt::Key_M, kKeySoftSign}), [this] {
        sound_.setMuted(!sound_.isMuted());
        say(sound_.isMuted() ? tr("Звук выключен.") : tr("Звук включён."));
    });
    soundAction_->setCheckable(true);
    louderAction_ = addAction(QT_TR_NOOP("Громче"), keys({Qt::Key_Plus, Qt::Key_Equal}), [this] {
        sound_.louder();
        showVolumeMark();
        sayVolume();
    });
    quieterAction_ =
        addAction(QT_TR_NOOP("Тише"), keys({Qt::Key_Minus, Qt::Key_Underscore}), [this] {
            sound_.quieter();
            showVolumeMark();
            sayVolume();
        });
    fullScreenAction_ = addAction(QT_TR_NOOP("Во весь экран"),
                                  withStandard({Qt::Key_F11}, QKeySequence::FullScreen),
                                  [this] { toggleFullScreen(); });
    fullScreenAction_->setCheckable(true);
    quickPaceAction_ = addAction(QT_TR_NOOP("Быстрая игра"), {},
                                 [this] { emit quickPaceChosen(quickPaceAction_->isChecked()); });
    quickPaceAction_->setCheckable(true);
    statisticsAction_ =
        addAction(QT_TR_NOOP("Статистика"), {}, [this] { emit statisticsRequested(); });
    summaryAction_ = addAction(QT_TR_NOOP("Итоги партии"), {}, [this] { emit summaryRequested(); });
    summaryAtEndAction_ = addAction(QT_TR_NOOP("Итоги в конце партии"), {}, [this] {
        emit summaryAtEndChosen(summaryAtEndAction_->isChecked());
    });
    summaryAtEndAction_->setCheckable(true);
    creditsAction_ = addAction(QT_TR_NOOP("Об авторах"), {}, [this] { emit creditsRequested(); });
    // What a sighted player sees at a glance, said by a screen reader.
    factActions_ = {
        addAction(QT_TR_NOOP("Повторить новость"), {Qt::Key_F2},
                  [this] { say(a11y::Fact::LastNews); }),
        addAction(QT_TR_NOOP("Суммы в игре"), {Qt::Key_F3},
                  [this] { say(a11y::Fact::AmountsInPlay); }),
        addAction(QT_TR_NOOP("Предложения банка"), {Qt::Key_F4},
                  [this] { say(a11y::Fact::Offers); }),
        addAction(QT_TR_NOOP("Закрытые чемоданы"), {Qt::Key_F5},
                  [this] { say(a11y::Fact::ClosedCases); }),
        addAction(QT_TR_NOOP("Читать табло"), {Qt::Key_F6}, [this] { toggleBoard(); }),
    };
    quitAction_ = addAction(QT_TR_NOOP("Выход"),
                            withStandard({QKeySequence(Qt::CTRL | Qt::Key_Q)}, QKeySequence::Quit),
                            [this] { requestQuit(); });

    // The keys of play, not in the menu.
    addAction(QT_TR_NOOP("Назад из полного экрана"), {Qt::Key_Escape}, [this] {
        if (onBoard_)
            leaveBoard();
        else if (gameWindow() && gameWindow()->isFullScreen())
            gameWindow()->showNormal();
    });
    addAction(QT_TR_NOOP("ДА"), keys({Qt::Key_Y, kKeyDe}),
              [this] { press(gameWindow()->controls().acceptButton); });
    // The key marked N answers "НЕТ" in either layout; the key marked both Y and
    // Н answers nothing in the Russian layout (see eventFilter()).
    addAction(QT_TR_NOOP("НЕТ"), keys({Qt::Key_N, kKeyTe}),
              [this] { press(gameWindow()->controls().declineButton); });
    addAction(QT_TR_NOOP("Нажать"), {Qt::Key_Return, Qt::Key_Enter}, [this] { pressEnter(); });
    addAction(QT_TR_NOOP("Нажать выбранное"), {Qt::Key_Space}, [this] {
        if (!skipSuspense())
            press(focused());
    });
    addAction(QT_TR_NOOP("Влево"), {Qt::Key_Left}, [this] { moveFocus(-1, 0); });
    addAction(QT_TR_NOOP("Вправо"), {Qt::Key_Right}, [this] { moveFocus(1, 0); });
    addAction(QT_TR_NOOP("Вверх"), {Qt::Key_Up}, [this] { moveFocus(0, -1); });
    addAction(QT_TR_NOOP("Вниз"), {Qt::Key_Down}, [this] { moveFocus(0, 1); });
    addAction(QT_TR_NOOP("Дальше"), {Qt::Key_Tab}, [this] { stepFocus(1); });
    addAction(QT_TR_NOOP("Назад"), {QKeySequence(Qt::SHIFT | Qt::Key_Backtab)},
              [this] { stepFocus(-1); });
    addAction(QT_TR_NOOP("Меню"), {Qt::Key_Menu}, [this] {
        QWidget* anchor = focused() ? focused() : gameWindow();
        showMenu(anchor->mapToGlobal(anchor->rect().center()));
    });
    for (int digit = 0; digit <= 9; ++digit) {
        auto* action = new QAction(this);
        action->setData(digit); // for its text
        actionTexts_.insert(action, QT_TR_NOOP("Цифра %1"));
        action->setShortcut(QKeySequence(Qt::Key_0 + digit));
        connect(action, &QAction::triggered, this, [this, digit] {
            if (gameWindow())
                typeDigit(digit);
        });
        actions_ << action;
    }
    retranslate();
}

void DesktopControls::retranslate() {
    for (auto text = actionTexts_.cbegin(); text != actionTexts_.cend(); ++text) {
        QString shown = tr(text.value());
        if (text.key()->data().isValid())
            shown = shown.arg(text.key()->data().toInt());
        text.key()->setText(shown);
    }
    // Rebuilt when next asked for; later, as the menu may be the one whose
    // entry switched the language.
    if (menu_)
        menu_->deleteLater();
    menu_ = nullptr;
}

void DesktopControls::attach(GameWindow* window) {
    attached_ = window;
    at_ = nullptr;
    typed_.clear();
    // The window holds the focus while no control does; a click does not take
    // it from the control the keys chose.
    window->setFocusPolicy(Qt::TabFocus);
    window->setFocus(Qt::OtherFocusReason);
    window->addActions(actions_);
    window->installEventFilter(this); // its close
    window->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(window, &QWidget::customContextMenuRequested, this,
            [this, window](const QPoint& pos) { showMenu(window->mapToGlobal(pos)); });
    retranslate();
    // Qt tells the language's change to widgets only: the window passes it on.
    i18n::followLanguage(window, [this] { retranslate(); });
    focusRing_ = new FocusRing(window);
    updateFocusPolicies();
    // The steps after which the focus may follow play; it moves once the window
    // has drawn the step.
    const game::Game* game = &window->game();
    connect(game, &game::Game::phaseChanged, window, [this] { scheduleFollow(); });
    connect(game, &game::Game::newGameLoaded, window, [this] {
        at_ = nullptr;
        lastCase_ = nullptr;
        typed_.clear();
        scheduleFollow();
    });
    connect(game, &game::Game::casesEnabledChanged, window, [this] { scheduleFollow(); });
    connect(game, &game::Game::answerButtonsShown, window, [this] { scheduleFollow(); });
    connect(game, &game::Game::ownCasePrompted, window, [this] { scheduleFollow(); });
    connect(game, &game::Game::winningsShown, window, [this] { scheduleFollow(); });
    scheduleFollow();
    mutedMark_ = new MutedMark(window);
    layout::place(mutedMark_, kMutedMark);
    updateMutedMark();
    volumeMark_ = makeVolumeMark(window);
    layout::place(volumeMark_, kVolumeMark);
}

QMenu* DesktopControls::menu() {
    if (!menu_ && attached_)
        buildMenu();
    return menu_;
}

QWidget* DesktopControls::focused() const {
    if (!gameWindow())
        return nullptr;
    QWidget* focus = gameWindow()->focusWidget();
    return isTarget(focus) || (focus && focus == onBoard_) ? focus : nullptr;
}

const QWidget* DesktopControls::focusRing() const {
    return focusRing_;
}

void DesktopControls::setSummaryAtEnd(bool shown) {
    summaryAtEndAction_->setChecked(shown);
}

void DesktopControls::buildMenu() {
    // A child of the window, so that it opens over it and goes with it.
    menu_ = new QMenu(attached_);
    menu_->setAccessibleName(tr("Меню"));
    menu_->addAction(newGameAction_);
    menu_->addAction(rulesAction_);
    menu_->addSeparator();
    menu_->addAction(soundAction_);
    QMenu* volume = menu_->addMenu(tr("Громкость"));
    volume->addAction(louderAction_);
    volume->addAction(quieterAction_);
    volume->addSeparator();
    volumeLevels_ = new QActionGroup(volume);
    for (int percent = 100; percent >= SoundSettings::kVolumeStep;
         percent -= SoundSettings::kVolumeStep) {
        QAction* level = volume->addAction(tr("%1 %").arg(percent));
        level->setCheckable(true);
        level->setData(percent);
        volumeLevels_->addAction(level);
        connect(level, &QAction::triggered, this, [this, percent] {
            sound_.setMuted(false);
            sound_.setVolume(percent);
        });
    }
    menu_->addSeparator();
    menu_->addAction(fullScreenAction_);
    menu_->addAction(quickPaceAction_);
    menu_->addAction(statisticsAction_);
    menu_->addAction(summaryAction_);
    menu_->addAction(summaryAtEndAction_);
    menu_->addAction(creditsAction_);
    menu_->addSeparator();
    for (QAction* fact : factActions_)
        menu_->addAction(fact);
    menu_->addSeparator();
    // Its name and entries read the same in either language, so that a player
    // who reads only the other one finds them.
    QMenu* languages = menu_->addMenu(QStringLiteral("Язык / Language"));
    auto* languageGroup = new QActionGroup(languages);
    for (const QString& language : i18n::languages()) {
        QAction* item = languages->addAction(i18n::nativeName(language));
        item->setCheckable(true);
        item->setChecked(language == i18n::currentLanguage());
        item->setData(language);
        languageGroup->addAction(item);
        connect(item, &QAction::triggered, this, [language] {
            if (language != i18n::currentLanguage())
                i18n::chooseLanguage(language);
        });
    }
    menu_->addSeparator();
    menu_->addAction(quitAction_);
}

void DesktopControls::showMenu(const QPoint& globalPos) {
    if (!gameWindow() || menu()->isVisible())
        return;
    soundAction_->setChecked(!sound_.isMuted());
    fullScreenAction_->setChecked(gameWindow()->isFullScreen());
    quickPaceAction_->setChecked(gameWindow()->game().isQuickPace());
    for (QAction* level : volumeLevels_->actions())
        level->setChecked(level->data().toInt() == sound_.volume());
    menu_->popup(globalPos);
    // For a screen reader its first entry is chosen once the menu has the
    // keyboard (as for a menu opened by a key): Qt tells assistive technology
    // of the chosen entry, and a screen reader says it; the opening alone it
    // does not say. Chosen before, the entry is said and then the game window
    // again, as Qt tells of that window when the menu takes the keyboard.
    // Where no window system says so, a moment later. Without a screen reader
    // the first arrow chooses the first entry, as in any menu of Qt.
    if (!QAccessible::isActive())
        return;
    firstEntryDue_ = true;
    QTimer::singleShot(kFirstEntryLatestMs, menu_, [this] { chooseFirstEntry(); });
}

void DesktopControls::chooseFirstEntry() {
    if (!firstEntryDue_ || !menu_ || !menu_->isVisible())
        return;
    firstEntryDue_ = false;
    if (menu_->activeAction())
        return; // the player has chosen one already
    for (QAction* entry : menu_->actions()) {
        if (!entry->isSeparator() && entry->isVisible() && entry->isEnabled()) {
            menu_->setActiveAction(entry);
            return;
        }
    }
}

void DesktopControls::showRules() {
    if (!gameWindow())
        return;
    auto* rules = gameWindow()->findChild<RulesDialog*>();
    if (!rules) {
        rules = new RulesDialog(gameWindow());
        window_fit::openBeside(rules, gameWindow());
    }
    window_fit::showInFront(rules);
}

void DesktopControls::toggleFullScreen() {
    if (!gameWindow())
        return;
    const bool fullScreen = !gameWindow()->isFullScreen();
    if (fullScreen)
        gameWindow()->showFullScreen();
    else
        gameWindow()->showNormal();
    say(fullScreen ? tr("Во весь экран.") : tr("В окне."));
}

void DesktopControls::say(const QString& text) {
    if (gameWindow() && QAccessible::isActive())
        gameWindow()->narrator().say(text);
}

void DesktopControls::say(a11y::Fact fact) {
    if (gameWindow() && QAccessible::isActive())
        gameWindow()->narrator().say(fact);
}

void DesktopControls::sayVolume() {
    say(sound_.isMuted() ? tr("Громкость: %1 из 100, звук выключен.").arg(sound_.volume())
                         : tr("Громкость: %1 из 100.").arg(sound_.volume()));
}

void DesktopControls::requestNewGame() {
    if (!gameWindow())
        return;
    if (!gameWindow()->gameUnderWay()) {
        emit newGameRequested();
        return;
    }
    askToLeave(QT_TR_NOOP("Новая игра"), QT_TR_NOOP("Игра ещё идёт. Бросить её и начать новую?"),
               [this] { emit newGameRequested(); });
}

void DesktopControls::requestQuit() {
    if (gameWindow())
        gameWindow()->close(); // asks, as the close button does
}

void DesktopControls::askToLeave(const char* title, const char* text,
                                 const std::function<void()>& leave) {
    if (leaveQuestion_) {
        leaveQuestion_->raise();
        leaveQuestion_->activateWindow();
        return;
    }
    auto* question = new QMessageBox(QMessageBox::Question, QString(), QString(),
                                     QMessageBox::Yes | QMessageBox::No, gameWindow());
    side_windows::applyGameLook(question);
    const auto translate = [question, title, text] {
        question->setWindowTitle(tr(title));
        question->setText(tr(text));
        question->button(QMessageBox::Yes)->setText(tr("Да"));
        question->button(QMessageBox::No)->setText(tr("Нет"));
    };
    translate();
    i18n::followLanguage(question, translate);
    question->setDefaultButton(QMessageBox::No);
    question->setAttribute(Qt::WA_DeleteOnClose);
    window_fit::addCloseKeys(question);
    window_fit::ignoreKeysHeldOver(question);
    window_fit::returnFocusTo(question, gameWindow());
    connect(question, &QMessageBox::finished, this, [leave](int answer) {
        if (answer == QMessageBox::Yes)
            leave();
    });
    leaveQuestion_ = question;
    question->open();
}

GameWindow* DesktopControls::gameWindow() const {
    // Null from the moment the window's destruction begins.
    return qobject_cast<GameWindow*>(attached_.data());
}

bool DesktopControls::eventFilter(QObject* watched, QEvent* event) {
    if (firstEntryDue_ && menu_ && event->type() == QEvent::FocusIn &&
        watched == static_cast<QObject*>(menu_->windowHandle())) {
        QTimer::singleShot(0, menu_, [this] { chooseFirstEntry(); });
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == kKeyEn && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == gameWindow()) {
        // In the Russian layout the key marked Y types "Н": Qt would take it
        // for Y through the Latin layout ("ДА"), a player reading Н for "НЕТ".
        // Taken as a plain key press, it triggers no shortcut.
        event->accept();
        return true;
    }
    if (watched == at_) {
        // The control the keys are at: once it can be pressed again (shown
        // again or enabled again), the focus comes back to it from the window;
        // once it cannot, the focus goes to the window.
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::EnabledChange:
            syncFocus(Qt::OtherFocusReason);
            break;
        default:
            break;
        }
        return false;
    }
    if (watched == gameWindow() && event->type() == QEvent::Close) {
        // A game under way is left only on the player's word.
        if (leaving_ || !gameWindow()->gameUnderWay())
            return false;
        event->ignore();
        askToLeave(QT_TR_NOOP("Выход"), QT_TR_NOOP("Игра ещё идёт. Бросить её и выйти?"), [this] {
            leaving_ = true;
            if (gameWindow())
                gameWindow()->close();
            leaving_ = false;
        });
        return true;
    }
    return false;
}

void DesktopControls::showVolumeMark() {
    if (!volumeMark_)
        return;
    volumeMark_->setText(tr("Громкость %1 %").arg(sound_.volume()));
    volumeMark_->show();
    volumeMark_->raise();
    volumeMarkTimeout_.start(kVolumeMarkMs);
}

void DesktopControls::updateMutedMark() {
    if (mutedMark_)
        mutedMark_->setVisible(sound_.isMuted());
    if (soundAction_)
        soundAction_->setChecked(!sound_.isMuted());
}
