#pragma once

#include <QAccessibleInterface>
#include <QString>
#include <functional>

// An object of the notification role in a window's accessible tree that holds
// what a screen reader is to say now: show() has it said (see
// workarounds::announce()). Its text is asked for when read, so it is always
// the latest; it is invisible while the text is empty.
class NotificationAccessible final : public QAccessibleInterface {
  public:
    // parent is the window's interface, which lists the notification as its
    // last child and outlives it.
    NotificationAccessible(QAccessibleInterface* parent, std::function<QString()> text);

    // Has the text said, unless it is empty or no assistive technology is there.
    void show();

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return parent_; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override;

  private:
    QAccessibleInterface* parent_;
    std::function<QString()> text_;
};
