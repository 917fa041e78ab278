#include "widgets.h"

#include "sound_player.h"
#include "timings.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {
int speedUpFactor = 1;
} // namespace

void timings::setSpeedUp(int factor) {
    speedUpFactor = std::max(1, factor);
}

int timings::speedUp() {
    return speedUpFactor;
}

ClickablePicture::ClickablePicture(QWidget* parent) : QLabel(parent) {}

void ClickablePicture::setPicture(const QPixmap& pixmap) {
    picture_ = pixmap;
    update();
}

void ClickablePicture::paintEvent(QPaintEvent*) {
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), picture_);
}

void ClickablePicture::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickablePicture::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (wasPressed && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()) && isEnabled() && !isHidden())
        emit clicked();
    event->accept();
}

BackdropCover::BackdropCover(const QPixmap* backdrop, QWidget* parent)
    : QWidget(parent), backdrop_(backdrop) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BackdropCover::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!backdrop_ || backdrop_->isNull()) {
        painter.fillRect(rect(), palette().window());
        return;
    }
    const qreal dpr = backdrop_->devicePixelRatio();
    const QRectF source(QPointF(pos()) * dpr, QSizeF(size()) * dpr);
    painter.drawPixmap(QRectF(rect()), *backdrop_, source);
}

ShapeWidget::ShapeWidget(QColor border, int borderWidth, QColor fill, QWidget* parent)
    : QWidget(parent), border_(border), borderWidth_(borderWidth), fill_(fill) {}

void ShapeWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal half = borderWidth_ / 2.0;
    const QRectF frame = QRectF(rect()).adjusted(half, half, -half, -half);
    const qreal radius = std::min(frame.width(), frame.height()) / 4.0;
    painter.setPen(QPen(border_, borderWidth_));
    painter.setBrush(fill_);
    painter.drawRoundedRect(frame, radius, radius);
}

IntervalTimer::IntervalTimer(QObject* parent, std::function<void()> onTick)
    : QObject(parent), onTick_(std::move(onTick)) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { onTick_(); });
}

void IntervalTimer::setInterval(int milliseconds) {
    interval_ = milliseconds > 0 ? milliseconds : 0;
    if (interval_ == 0)
        timer_.stop();
    else
        timer_.start(std::max(1, interval_ / timings::speedUp()));
}

ClipWaitTimer::ClipWaitTimer(QObject* parent, SoundPlayer* player, std::function<void()> onTick)
    : QObject(parent), onTick_(std::move(onTick)) {
    firstTick_.setSingleShot(true);
    connect(&firstTick_, &QTimer::timeout, this, &ClipWaitTimer::tick);
    connect(player, &SoundPlayer::clipEnded, this, &ClipWaitTimer::tick);
}

void ClipWaitTimer::setInterval(int milliseconds) {
    interval_ = milliseconds > 0 ? milliseconds : 0;
    if (interval_ == 0)
        firstTick_.stop();
    else
        firstTick_.start(0);
}

void ClipWaitTimer::tick() {
    if (interval_ > 0)
        onTick_();
}
