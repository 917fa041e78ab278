#pragma once

#include <QColor>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <functional>

class SoundPlayer;

// A picture that can be clicked (a case plate, the title logo). It looks the same
// whether enabled or not; only an enabled, shown picture reports clicks.
class ClickablePicture final : public QLabel {
    Q_OBJECT
  public:
    explicit ClickablePicture(QWidget* parent = nullptr);
    void setPicture(const QPixmap& pixmap);
    [[nodiscard]] const QPixmap& picture() const { return picture_; }

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QPixmap picture_;
    bool pressed_ = false;
};

// An opaque cover: it hides whatever lies beneath it by painting the window's
// backdrop over its rectangle (or the plain window colour when there is none).
class BackdropCover final : public QWidget {
  public:
    BackdropCover(const QPixmap* backdrop, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const QPixmap* backdrop_;
};

// A rounded frame: a border of some width around an opaque fill.
class ShapeWidget final : public QWidget {
  public:
    ShapeWidget(QColor border, int borderWidth, QColor fill, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor border_;
    int borderWidth_;
    QColor fill_;
};

// A timer that is idle at interval 0 and runs whenever an interval is set;
// setting an interval restarts it.
class IntervalTimer final : public QObject {
  public:
    IntervalTimer(QObject* parent, std::function<void()> onTick);
    void setInterval(int milliseconds);
    [[nodiscard]] int interval() const { return interval_; }
    [[nodiscard]] bool isRunning() const { return interval_ > 0; }

  private:
    QTimer timer_;
    int interval_ = 0;
    std::function<void()> onTick_;
};

// A timer that waits for the current sound to end. Instead of ticking at a fixed
// period it ticks when the sound player reports the end of a clip, and once right
// after it is started (so a clip that has already ended is seen). Its handler still
// applies the clip-end test itself. Idle at interval 0.
class ClipWaitTimer final : public QObject {
  public:
    ClipWaitTimer(QObject* parent, SoundPlayer* player, std::function<void()> onTick);
    void setInterval(int milliseconds);
    [[nodiscard]] int interval() const { return interval_; }
    [[nodiscard]] bool isRunning() const { return interval_ > 0; }

  private:
    void tick();

    QTimer firstTick_;
    int interval_ = 0;
    std::function<void()> onTick_;
};
