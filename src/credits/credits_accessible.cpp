#include "credits_accessible.h"

#include "credits_window.h"
#include "notification.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace {

QString shownText(const QLabel* label) {
    return label->text().simplified();
}

// The credits window: a window of its own whose texts come and go, slide in
// from beyond its edge and fade in from black. Each entry is said once, when
// its name comes to rest.
class CreditsWindowAccessible final : public QAccessibleWidget {
  public:
    explicit CreditsWindowAccessible(CreditsWindow* window)
        : QAccessibleWidget(window, QAccessible::Window),
          news_(new NotificationAccessible(this, [this] { return said_; })),
          newsId_(QAccessible::registerAccessibleInterface(news_)) {
        QObject::connect(window, &CreditsWindow::entryShown, window, [this, window] {
            QStringList parts;
            for (const QLabel* label :
                 {window->roleLabel(), window->nameLabel(), window->addressLabel()}) {
                // The address's parts stand apart by a dot in the middle.
                const QString text =
                    shownText(label).replace(QStringLiteral(" \u00b7 "), QStringLiteral(", "));
                if (!text.isEmpty())
                    parts << text;
            }
            said_ = parts.join(QStringLiteral(": ")) + QLatin1Char('.');
            news_->show();
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
    QString said_;
    NotificationAccessible* news_;
    QAccessible::Id newsId_;
};

// One text of the credits, read only while a sighted reader sees it: shown,
// within the window and lighter than the black behind it.
class CreditTextAccessible final : public QAccessibleWidget {
  public:
    explicit CreditTextAccessible(QWidget* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return seen() ? shownText(label()) : QString();
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
    const QLabel* label() const { return static_cast<const QLabel*>(widget()); }
    bool seen() const {
        const QLabel* text = label();
        constexpr int kFaintest = 64; // of 255: darker is lost on the black
        return text->isVisible() && !shownText(text).isEmpty() &&
               text->parentWidget()->rect().intersects(text->geometry()) &&
               text->palette().color(QPalette::WindowText).lightness() >= kFaintest;
    }
};

QAccessibleInterface* factory(const QString& className, QObject* object) {
    if (auto* credits = qobject_cast<CreditsWindow*>(object))
        return new CreditsWindowAccessible(credits);
    if (className == QLatin1String("QLabel") && object && object->parent() &&
        qobject_cast<CreditsWindow*>(object->parent()))
        return new CreditTextAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

namespace credits {

void installAccessibility() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(factory);
}

} // namespace credits
