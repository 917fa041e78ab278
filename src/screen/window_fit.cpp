#include "window_fit.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace window_fit {

void placeOnScreen(QWidget* window, const QWidget* over, QMargins frame) {
    const QScreen* screen = over ? over->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect free = screen->availableGeometry();
    const QSize room = free.marginsRemoved(frame).size();
    const QSize size =
        window->size().boundedTo(room).expandedTo(window->minimumSize().boundedTo(room));
    window->resize(size);
    QRect outer(QPoint(), size.grownBy(frame));
    const QRect overPlace = over ? over->frameGeometry() : QRect();
    outer.moveCenter(overPlace.isValid() && free.intersects(overPlace) ? overPlace.center()
                                                                       : free.center());
    const int x = std::clamp(outer.left(), free.left(),
                             std::max(free.left(), free.right() + 1 - outer.width()));
    const int y = std::clamp(outer.top(), free.top(),
                             std::max(free.top(), free.bottom() + 1 - outer.height()));
    window->move(x, y);
}

void addCloseKeys(QWidget* window) {
    auto* close = new QAction(window);
    QList<QKeySequence> keys{QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)};
    for (const QKeySequence& key : QKeySequence::keyBindings(QKeySequence::Close)) {
        if (!keys.contains(key))
            keys << key;
    }
    close->setShortcuts(keys);
    close->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(close, &QAction::triggered, window, &QWidget::close);
    window->addAction(close);
}

namespace {

class HeldKeyFilter final : public QObject {
  public:
    explicit HeldKeyFilter(QWidget* window) : QObject(window), window_(window) {
        qApp->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool press = event->type() == QEvent::KeyPress;
        if (!press && event->type() != QEvent::KeyRelease)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != window_)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!press) {
            releasedKey_ = key->key();
            releasedAt_ = key->timestamp();
            return true;
        }
        // A key held down repeats as a release and a press at the same moment,
        // which Qt does not always mark as a repeat.
        if (key->isAutoRepeat() || (key->key() == releasedKey_ && key->timestamp() == releasedAt_))
            return true;
        qApp->removeEventFilter(this);
        deleteLater();
        return false;
    }

  private:
    QWidget* window_;
    int releasedKey_ = 0;
    quint64 releasedAt_ = 0;
};

} // namespace

void ignoreKeysHeldOver(QWidget* window) {
    new HeldKeyFilter(window);
}

void returnFocusTo(QWidget* window, QWidget* gameWindow) {
    if (!gameWindow)
        return;
    QObject::connect(window, &QObject::destroyed, gameWindow, [game = QPointer(gameWindow)] {
        if (game && game->isVisible())
            game->activateWindow();
    });
}

void openBeside(QWidget* window, QWidget* gameWindow) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    placeOnScreen(window, gameWindow);
    returnFocusTo(window, gameWindow);
}

void showInFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace window_fit
