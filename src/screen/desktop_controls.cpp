#include "desktop_controls.h"

#include "game_window.h"
#include "layout.h"
#include "rounds.h"
#include "rules_dialog.h"
#include "sound_settings.h"

#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <algorithm>

namespace {

// A free spot on the backdrop, below the offer history, away from every control.
constexpr layout::Rect kMutedMark{240, 10440, 450, 450};
constexpr int kTypingPauseMs = 1500;
constexpr int kRingMargin = 5;

// Drawn over the control in focus; it takes no clicks.
class FocusRing final : public QWidget {
  public:
    explicit FocusRing(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF outer = QRectF(rect()).adjusted(2, 2, -2, -2);
        painter.setPen(QPen(QColor(20, 8, 40), 5));
        painter.drawRoundedRect(outer, 8, 8);
        painter.setPen(QPen(QColor(64, 224, 255), 3));
        painter.drawRoundedRect(outer, 8, 8);
    }
};

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

QPoint centre(const QWidget* widget) {
    return widget->geometry().center();
}

} // namespace

DesktopControls::DesktopControls(SoundSettings& sound, QObject* parent)
    : QObject(parent), sound_(sound) {
    typingTimeout_.setSingleShot(true);
    connect(&typingTimeout_, &QTimer::timeout, this, [this] { typed_.clear(); });
    connect(&sound_, &SoundSettings::changed, this, &DesktopControls::updateMutedMark);
}

DesktopControls::~DesktopControls() = default;

void DesktopControls::attach(GameWindow* window) {
    attached_ = window;
    focused_ = nullptr;
    typed_.clear();
    window->setFocusPolicy(Qt::StrongFocus);
    window->installEventFilter(this);
    const GameWindow::Controls& ui = window->controls();
    for (QWidget* plate : ui.casePlates)
        plate->installEventFilter(this);
    for (QWidget* button : {ui.startButton, ui.newGameButton, ui.acceptButton, ui.declineButton})
        button->installEventFilter(this);
    focusRing_ = new FocusRing(window);
    focusRing_->hide();
    menu_ = nullptr; // the last window's went with it
    mutedMark_ = new MutedMark(window);
    layout::place(mutedMark_, kMutedMark);
    updateMutedMark();
}

QMenu* DesktopControls::menu() {
    if (!menu_ && attached_)
        buildMenu();
    return menu_;
}

void DesktopControls::buildMenu() {
    // A child of the window, so that it opens over it and goes with it.
    menu_ = new QMenu(attached_);
    menu_->addAction(tr("Новая игра"), this, &DesktopControls::requestNewGame);
    menu_->addAction(tr("Правила\tF1"), this, &DesktopControls::showRules);
    menu_->addSeparator();
    soundAction_ = menu_->addAction(tr("Звук вкл/выкл\tM"), this,
                                    [this] { sound_.setMuted(!sound_.isMuted()); });
    soundAction_->setCheckable(true);
    QMenu* volume = menu_->addMenu(tr("Громкость"));
    volume->addAction(tr("Громче\t+"), &sound_, &SoundSettings::louder);
    volume->addAction(tr("Тише\t-"), &sound_, &SoundSettings::quieter);
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
    fullScreenAction_ =
        menu_->addAction(tr("Во весь экран\tF11"), this, &DesktopControls::toggleFullScreen);
    fullScreenAction_->setCheckable(true);
    menu_->addAction(tr("Статистика"), this, &DesktopControls::statisticsRequested);
    menu_->addAction(tr("Об авторах"), this, &DesktopControls::creditsRequested);
    menu_->addSeparator();
    menu_->addAction(tr("Выход\tCtrl+Q"), this, &DesktopControls::requestQuit);
}

void DesktopControls::showMenu(const QPoint& globalPos) {
    if (!gameWindow() || menu()->isVisible())
        return;
    soundAction_->setChecked(!sound_.isMuted());
    fullScreenAction_->setChecked(gameWindow()->isFullScreen());
    for (QAction* level : volumeLevels_->actions())
        level->setChecked(level->data().toInt() == sound_.volume());
    menu_->popup(globalPos);
}

void DesktopControls::showRules() {
    if (!gameWindow())
        return;
    auto* rules = gameWindow()->findChild<RulesDialog*>();
    if (!rules) {
        rules = new RulesDialog(gameWindow());
        rules->setAttribute(Qt::WA_DeleteOnClose);
    }
    rules->show();
    rules->raise();
    rules->activateWindow();
}

void DesktopControls::toggleFullScreen() {
    if (!gameWindow())
        return;
    if (gameWindow()->isFullScreen())
        gameWindow()->showNormal();
    else
        gameWindow()->showFullScreen();
}

void DesktopControls::requestNewGame() {
    if (!gameWindow())
        return;
    if (!gameWindow()->gameUnderWay()) {
        emit newGameRequested();
        return;
    }
    askToLeave(tr("Новая игра"), tr("Игра ещё идёт. Бросить её и начать новую?"),
               [this] { emit newGameRequested(); });
}

void DesktopControls::requestQuit() {
    if (gameWindow())
        gameWindow()->close(); // asks, as the close button does
}

void DesktopControls::askToLeave(const QString& title, const QString& text,
                                 const std::function<void()>& leave) {
    if (leaveQuestion_) {
        leaveQuestion_->raise();
        leaveQuestion_->activateWindow();
        return;
    }
    auto* question = new QMessageBox(QMessageBox::Question, title, text,
                                     QMessageBox::Yes | QMessageBox::No, gameWindow());
    question->button(QMessageBox::Yes)->setText(tr("Да"));
    question->button(QMessageBox::No)->setText(tr("Нет"));
    question->setDefaultButton(QMessageBox::No);
    question->setAttribute(Qt::WA_DeleteOnClose);
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
    if (!gameWindow())
        return false;
    if (watched != gameWindow()) {
        // A case plate or button: the ring follows the control in focus.
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::EnabledChange:
            if (watched == focused_)
                updateFocusRing();
            break;
        default:
            break;
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::Close:
        // A game under way is left only on the player's word.
        if (leaving_ || !gameWindow()->gameUnderWay())
            break;
        event->ignore();
        askToLeave(tr("Выход"), tr("Игра ещё идёт. Бросить её и выйти?"), [this] {
            leaving_ = true;
            if (gameWindow())
                gameWindow()->close();
            leaving_ = false;
        });
        return true;
    case QEvent::KeyPress:
        return handleKey(static_cast<QKeyEvent*>(event));
    case QEvent::ContextMenu:
        showMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    case QEvent::Resize:
        if (mutedMark_)
            layout::place(mutedMark_, kMutedMark);
        updateFocusRing();
        break;
    default:
        break;
    }
    return false;
}

bool DesktopControls::handleKey(const QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    const int key = event->key();
    if (modifiers == Qt::ControlModifier && key == Qt::Key_Q) {
        requestQuit();
        return true;
    }
    if (modifiers != Qt::NoModifier)
        return false;
    if (key < Qt::Key_0 || key > Qt::Key_9)
        typed_.clear();
    const QString letter = event->text().toUpper();
    const GameWindow::Controls& ui = gameWindow()->controls();
    if (key == Qt::Key_Y || letter == QStringLiteral("Д")) {
        press(ui.acceptButton);
    } else if (key == Qt::Key_N || letter == QStringLiteral("Н")) {
        press(ui.declineButton);
    } else if (letter == QStringLiteral("Ь")) {
        // The M key in the Russian layout.
        sound_.setMuted(!sound_.isMuted());
    } else if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        typeDigit(key - Qt::Key_0);
    } else {
        switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            pressEnter();
            break;
        case Qt::Key_Space:
            press(focused_);
            break;
        case Qt::Key_Left:
            moveFocus(-1, 0);
            break;
        case Qt::Key_Right:
            moveFocus(1, 0);
            break;
        case Qt::Key_Up:
            moveFocus(0, -1);
            break;
        case Qt::Key_Down:
            moveFocus(0, 1);
            break;
        case Qt::Key_Tab:
            stepFocus(1);
            break;
        case Qt::Key_Backtab:
            stepFocus(-1);
            break;
        case Qt::Key_F1:
            showRules();
            break;
        case Qt::Key_F11:
            toggleFullScreen();
            break;
        case Qt::Key_Escape:
            if (gameWindow()->isFullScreen())
                gameWindow()->showNormal();
            break;
        case Qt::Key_M:
            sound_.setMuted(!sound_.isMuted());
            break;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            sound_.louder();
            break;
        case Qt::Key_Minus:
        case Qt::Key_Underscore:
            sound_.quieter();
            break;
        case Qt::Key_Menu: {
            const QWidget* anchor = isTarget(focused_) ? focused_.data() : gameWindow();
            showMenu(anchor->mapToGlobal(anchor->rect().center()));
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

QList<QWidget*> DesktopControls::targets() const {
    QList<QWidget*> found;
    if (!gameWindow())
        return found;
    const GameWindow::Controls& ui = gameWindow()->controls();
    for (QWidget* plate : ui.casePlates) {
        if (isTarget(plate))
            found << plate;
    }
    for (QWidget* button : {ui.startButton, ui.newGameButton, ui.acceptButton, ui.declineButton}) {
        if (isTarget(button))
            found << button;
    }
    std::stable_sort(found.begin(), found.end(), [](const QWidget* a, const QWidget* b) {
        return std::make_pair(a->y(), a->x()) < std::make_pair(b->y(), b->x());
    });
    return found;
}

bool DesktopControls::isTarget(const QWidget* widget) const {
    return widget && gameWindow() && widget->parentWidget() == gameWindow() &&
           widget->isVisible() && widget->isEnabled();
}

void DesktopControls::focusOn(QWidget* widget) {
    focused_ = widget;
    updateFocusRing();
}

void DesktopControls::moveFocus(int dx, int dy) {
    const QList<QWidget*> candidates = targets();
    if (candidates.isEmpty())
        return;
    if (!focused_) {
        focusOn(candidates.front());
        return;
    }
    // The nearest control that way, a sideways step counting double.
    const QPoint from = centre(focused_);
    QWidget* best = nullptr;
    int bestScore = 0;
    for (QWidget* candidate : candidates) {
        const QPoint offset = centre(candidate) - from;
        const int ahead = offset.x() * dx + offset.y() * dy;
        if (candidate == focused_ || ahead <= 0)
            continue;
        const int sideways = std::abs(offset.x() * dy) + std::abs(offset.y() * dx);
        const int score = ahead + 2 * sideways;
        if (!best || score < bestScore) {
            best = candidate;
            bestScore = score;
        }
    }
    focusOn(best ? best : (isTarget(focused_) ? focused_.data() : candidates.front()));
}

void DesktopControls::stepFocus(int step) {
    const QList<QWidget*> candidates = targets();
    if (candidates.isEmpty())
        return;
    const qsizetype at = candidates.indexOf(focused_);
    if (at < 0) {
        focusOn(step > 0 ? candidates.front() : candidates.back());
        return;
    }
    focusOn(candidates[(at + step + candidates.size()) % candidates.size()]);
}

void DesktopControls::typeDigit(int digit) {
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
    focusOn(named);
}

bool DesktopControls::press(QWidget* widget) {
    if (!isTarget(widget))
        return false;
    if (auto* button = qobject_cast<QPushButton*>(widget))
        button->click();
    else if (auto* picture = qobject_cast<ClickablePicture*>(widget))
        picture->click();
    return true;
}

void DesktopControls::pressEnter() {
    if (press(focused_))
        return;
    const GameWindow::Controls& ui = gameWindow()->controls();
    if (!press(ui.startButton))
        press(ui.newGameButton);
}

void DesktopControls::updateFocusRing() {
    if (!focusRing_)
        return;
    if (!isTarget(focused_)) {
        focusRing_->hide();
        return;
    }
    focusRing_->setGeometry(
        focused_->geometry().adjusted(-kRingMargin, -kRingMargin, kRingMargin, kRingMargin));
    focusRing_->raise();
    focusRing_->show();
}

void DesktopControls::updateMutedMark() {
    if (mutedMark_)
        mutedMark_->setVisible(sound_.isMuted());
}
