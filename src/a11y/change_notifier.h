#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

class GameWindow;
class NotificationAccessible;
class QWidget;

// Tells assistive technology what changes in meaning without Qt saying so: a
// case's description and state when it is chosen, exchanged or opened or when
// the cases take presses or not (and that an opened case still shows, though
// its plate is gone), an amount leaving the board, the counter's whole text.
// The events go once the window has drawn the change. It also has the news of
// each step said, through the window's notification.
class ChangeNotifier final : public QObject {
  public:
    // A child of window; news is the window's notification.
    ChangeNotifier(GameWindow* window, NotificationAccessible* news);

  private:
    void changed(QWidget* widget);
    void notify();
    void meaningChanged(QWidget* widget, bool quiet);
    void caseChanged(QWidget* plate, bool quiet);

    struct Said {
        QString description;
        bool disabled = false;
        bool focusable = false;
    };

    GameWindow* window_;
    QSet<QWidget*> pending_;
    QHash<const QWidget*, Said> said_;
};
