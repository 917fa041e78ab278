#include "notification.h"

#include "workarounds.h"

#include <utility>

NotificationAccessible::NotificationAccessible(QAccessibleInterface* parent,
                                               std::function<QString()> text)
    : parent_(parent), text_(std::move(text)) {}

void NotificationAccessible::show() {
    if (!text_().isEmpty() && QAccessible::isActive())
        a11y::workarounds::announce(this);
}

bool NotificationAccessible::isValid() const {
    return parent_->isValid();
}

QWindow* NotificationAccessible::window() const {
    return parent_->window();
}

QString NotificationAccessible::text(QAccessible::Text t) const {
    return t == QAccessible::Name ? text_() : QString();
}

QRect NotificationAccessible::rect() const {
    return parent_->rect();
}

QAccessible::State NotificationAccessible::state() const {
    QAccessible::State state;
    state.readOnly = true;
    state.invisible = text_().isEmpty();
    return state;
}
