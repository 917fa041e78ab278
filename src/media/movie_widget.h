#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <memory>

#include "movie_clock.h"

class MovieAnimation; // one decoded animation and its rendered frames, shared
class MovieFile;      // one movie file, read and checked, shared

// How a movie fills its widget.
enum class ScaleMode {
    ExactFit, // stretched to the widget in both directions
    ShowAll   // whole movie visible, aspect kept, centred
};

// A vector animation (Lottie JSON, rendered with rlottie) drawn with its
// transparency over whatever lies beneath the widget. All widgets that show the
// same file at the same pixel size share one decoded animation and one cache of
// rendered frames; frames advance on one shared timer, only while some movie
// plays and is shown (a movie hidden while it plays pauses, and goes on when it
// is shown again). A file that is missing or broken leaves the widget empty and
// is reported once on stderr.
class MovieWidget final : public QWidget, private MovieClockClient {
    Q_OBJECT
  public:
    explicit MovieWidget(ScaleMode mode, QWidget* parent = nullptr);
    ~MovieWidget() override;

    // Names the movie file to show. It is read when first needed (shown,
    // played or asked about), so that a movie kept hidden costs nothing until
    // then. A movie set while the widget is shown starts playing by itself from
    // its first frame.
    void setFile(const QString& path);
    [[nodiscard]] QString file() const { return path_; }

    // False runs the movie once; it then stands on its last frame.
    void setLoop(bool loop);
    [[nodiscard]] bool loop() const { return loop_; }

    // Goes to that frame (counted from 0, held to the movie's frames)
    // and stands there until play().
    void jumpToFrame(int frame);
    [[nodiscard]] int frame() const { return frame_; }

    // Starts the movie from its current frame. A movie that runs once and
    // stands on its last frame stays there.
    void play();

    [[nodiscard]] bool isPlaying() const { return playing_; }
    [[nodiscard]] bool isLoaded() const;
    [[nodiscard]] int frameCount() const;

    // The picture of the current frame at the widget's size, as it is painted
    // (null while nothing is loaded or the widget has no area).
    [[nodiscard]] QImage renderedFrame();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    double clockFrameRate() const override;
    void clockTick(qint64 nowMs) override;

    void startPlaying();
    void stopPlaying();
    // Moves the frame on to where the clock says it is now.
    void catchUp(qint64 nowMs);
    // The clock drives this widget only while it plays and is shown.
    void updateClockAttachment();
    [[nodiscard]] int lastFrame() const;
    [[nodiscard]] QSize pixelSize() const;
    // The file named by setFile(), read on the first call.
    const std::shared_ptr<const MovieFile>& opened() const;

    ScaleMode mode_;
    QString path_;
    bool loop_ = false;
    bool playing_ = false;
    int frame_ = 0;
    // Read from path_ by opened(); until then the file shown before, if any.
    mutable std::shared_ptr<const MovieFile> file_;
    mutable bool fileRead_ = true;
    mutable std::shared_ptr<MovieAnimation> animation_; // at the size last painted
    // The frame last painted, kept while the animation's own frames are let go.
    QImage shown_;
    int shownFrame_ = -1;
    // While playing, frame_ is playStartFrame_ plus the frames due since playStartMs_.
    int playStartFrame_ = 0;
    qint64 playStartMs_ = 0;
    bool attached_ = false;
};
