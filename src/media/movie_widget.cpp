#include "movie_widget.h"

#include "movie_animation.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

MovieWidget::MovieWidget(ScaleMode mode, QWidget* parent) : QWidget(parent), mode_(mode) {
    // Drawn over whatever lies beneath: no background of its own.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

MovieWidget::~MovieWidget() {
    if (attached_)
        MovieClock::instance().detach(this);
}

void MovieWidget::setFile(const QString& path) {
    playing_ = false;
    updateClockAttachment();
    if (file_ && file_->path() != path) {
        file_.reset();
        animation_.reset();
    }
    path_ = path;
    fileRead_ = false;
    frame_ = 0;
    if (!isHidden())
        startPlaying();
    update();
}

void MovieWidget::setLoop(bool loop) {
    if (loop == loop_)
        return;
    if (playing_) {
        const qint64 now = MovieClock::instance().now();
        catchUp(now);
        playStartFrame_ = frame_;
        playStartMs_ = now;
    }
    loop_ = loop;
}

void MovieWidget::jumpToFrame(int frame) {
    stopPlaying();
    const int clamped = std::clamp(frame, 0, lastFrame());
    if (clamped != frame_) {
        frame_ = clamped;
        update();
    }
}

void MovieWidget::play() {
    if (!playing_)
        startPlaying();
}

const std::shared_ptr<const MovieFile>& MovieWidget::opened() const {
    if (!fileRead_) {
        fileRead_ = true;
        std::shared_ptr<const MovieFile> file = MovieFile::open(path_);
        if (file != file_)
            animation_.reset();
        file_ = std::move(file);
    }
    return file_;
}

bool MovieWidget::isLoaded() const {
    return opened() != nullptr;
}

int MovieWidget::frameCount() const {
    return opened() ? file_->frameCount() : 0;
}

int MovieWidget::lastFrame() const {
    return std::max(frameCount() - 1, 0);
}

void MovieWidget::startPlaying() {
    // A movie that runs once and stands on its last frame has nothing left to play.
    if (!opened() || frameCount() < 2 || (!loop_ && frame_ >= lastFrame()))
        return;
    playing_ = true;
    playStartFrame_ = frame_;
    playStartMs_ = MovieClock::instance().now();
    updateClockAttachment();
}

void MovieWidget::stopPlaying() {
    if (playing_)
        catchUp(MovieClock::instance().now());
    playing_ = false;
    updateClockAttachment();
}

void MovieWidget::catchUp(qint64 nowMs) {
    if (!playing_ || !opened())
        return;
    const double elapsedFrames = double(nowMs - playStartMs_) * file_->frameRate() / 1000.0;
    const qint64 due = playStartFrame_ + qint64(std::floor(std::max(elapsedFrames, 0.0)));
    int frame = 0;
    if (loop_) {
        frame = int(due % frameCount());
    } else if (due >= lastFrame()) {
        frame = lastFrame();
        playing_ = false;
        updateClockAttachment();
    } else {
        frame = int(due);
    }
    if (frame != frame_) {
        frame_ = frame;
        update();
    }
}

void MovieWidget::updateClockAttachment() {
    const bool wanted = playing_ && isVisible();
    if (wanted == attached_)
        return;
    attached_ = wanted;
    if (wanted) {
        MovieClock::instance().attach(this);
        return;
    }
    MovieClock::instance().detach(this);
    // Frames are kept to be drawn again while movies play. Once none does, the
    // widgets keep the frames they show and the rest go: in a game one movie
    // plays at a time, for half a second, and renders its frames again at will.
    if (MovieClock::instance().clientCount() == 0)
        MovieAnimation::releaseCachedFrames();
}

double MovieWidget::clockFrameRate() const {
    return opened() ? file_->frameRate() : 0.0;
}

void MovieWidget::clockTick(qint64 nowMs) {
    catchUp(nowMs);
}

QSize MovieWidget::pixelSize() const {
    const double ratio = devicePixelRatioF();
    return {int(std::lround(width() * ratio)), int(std::lround(height() * ratio))};
}

QImage MovieWidget::renderedFrame() {
    if (!opened())
        return {};
    const QSize pixels = pixelSize();
    if (pixels.isEmpty())
        return {};
    if (!animation_ || animation_->pixelSize() != pixels) {
        animation_ = MovieAnimation::acquire(file_, pixels, devicePixelRatioF(),
                                             mode_ == ScaleMode::ShowAll);
        shown_ = QImage();
    }
    if (shown_.isNull() || shownFrame_ != frame_) {
        shown_ = animation_ ? animation_->frame(frame_) : QImage();
        shownFrame_ = frame_;
    }
    return shown_;
}

void MovieWidget::paintEvent(QPaintEvent*) {
    const QImage image = renderedFrame();
    if (image.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), image);
}

void MovieWidget::resizeEvent(QResizeEvent*) {
    // Frames at the new size come from the animation shared at that size, on the next paint.
    animation_.reset();
}

void MovieWidget::showEvent(QShowEvent*) {
    // A movie hidden while it played goes on from the frame where it was hidden.
    if (playing_) {
        playStartFrame_ = frame_;
        playStartMs_ = MovieClock::instance().now();
    }
    updateClockAttachment();
}

void MovieWidget::hideEvent(QHideEvent*) {
    if (playing_)
        catchUp(MovieClock::instance().now());
    updateClockAttachment();
}
