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

void ClickablePicture::click() {
    if (isEnabled() && !isHidden())
        emit clicked();
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

RoundedFrame::RoundedFrame(QColor border, int borderWidth, QColor fill, QWidget* parent)
    : QWidget(parent), border_(border), borderWidth_(borderWidth), fill_(fill) {}

void RoundedFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal half = borderWidth_ / 2.0;
    const QRectF frame = QRectF(rect()).adjusted(half, half, -half, -half);
    const qreal radius = std::min(frame.width(), frame.height()) / 4.0;
    painter.setPen(QPen(border_, borderWidth_));
    painter.setBrush(fill_);
    painter.drawRoundedRect(frame, radius, radius);
}

StepTimer::StepTimer(QObject* parent, std::function<void()> step)
    : QObject(parent), step_(std::move(step)) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { step_(); });
}

void StepTimer::start(int intervalMs) {
    interval_ = std::max(1, intervalMs);
    timer_.start(std::max(1, interval_ / timings::speedUp()));
}

void StepTimer::stop() {
    interval_ = 0;
    timer_.stop();
}

ClipEndWait::ClipEndWait(QObject* parent, SoundPlayer* player, std::function<void()> step)
    : QObject(parent), step_(std::move(step)) {
    firstCheck_.setSingleShot(true);
    connect(&firstCheck_, &QTimer::timeout, this, &ClipEndWait::check);
    connect(player, &SoundPlayer::clipEnded, this, &ClipEndWait::check);
}

void ClipEndWait::start() {
    waiting_ = true;
    firstCheck_.start(0);
}

void ClipEndWait::cancel() {
    waiting_ = false;
    firstCheck_.stop();
}

void ClipEndWait::check() {
    if (waiting_)
        step_();
}
