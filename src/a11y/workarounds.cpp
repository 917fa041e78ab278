#include "workarounds.h"

#include <QAccessible>
#include <utility>

namespace a11y::workarounds {
namespace {

std::function<bool(QAccessibleEvent*)>& unwantedEvents() {
    static std::function<bool(QAccessibleEvent*)> unwanted;
    return unwanted;
}

void passOn(QAccessibleEvent* event) {
    if (unwantedEvents() && unwantedEvents()(event))
        return;
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(passOn);
}

} // namespace

void announce(QAccessibleInterface* notification) {
    QAccessibleEvent shown(notification, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

void filterUpdates(std::function<bool(QAccessibleEvent*)> unwanted) {
    unwantedEvents() = std::move(unwanted);
    QAccessible::installUpdateHandler(passOn);
}

} // namespace a11y::workarounds
