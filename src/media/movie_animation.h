#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <memory>
#include <string>
#include <vector>

namespace rlottie {
class Animation;
}

// A movie file that has been read and found usable: its text and the facts
// the players need before anything is drawn. One per path, shared by every
// widget that shows it.
class MovieFile final {
  public:
    // Largest frame rate and picture side accepted; anything beyond is not one of our movies.
    static constexpr double kMaxFrameRate = 120;
    static constexpr int kMaxSide = 4096;

    // The shared file at that path, read and checked on first use. A missing
    // file or one that is not a usable animation gives nullptr and is said
    // once per path on stderr.
    [[nodiscard]] static std::shared_ptr<const MovieFile> open(const QString& path);

    MovieFile(const MovieFile&) = delete;
    MovieFile& operator=(const MovieFile&) = delete;
    ~MovieFile();

    [[nodiscard]] const QString& path() const { return path_; }
    [[nodiscard]] const std::string& json() const { return json_; }
    [[nodiscard]] int frameCount() const { return frameCount_; }
    [[nodiscard]] double frameRate() const { return frameRate_; }
    [[nodiscard]] QSize size() const { return size_; }

  private:
    MovieFile(QString path, std::string json, int frameCount, double frameRate, QSize size);

    QString path_;
    std::string json_;
    int frameCount_;
    double frameRate_;
    QSize size_;
};

// What the shared movie caches hold right now.
struct MovieCacheStatistics {
    int files = 0;             // movie files read and held
    int animations = 0;        // decoded animations, one per file, pixel size and scale
    int cachedFrames = 0;      // rendered frames held by all animations
    qint64 cachedBytes = 0;    // their pixels
    qint64 framesRendered = 0; // frames rendered since the program started
};

// One decoded animation and the frames rendered from it at one pixel size and
// scale mode, shared by every widget that shows them. Frames are rendered on
// first use, on the GUI thread, and kept while any widget holds the animation.
class MovieAnimation final {
  public:
    // Frames of one animation are kept up to this many bytes; a larger movie
    // keeps only the frame drawn last. The case lids and the board plates, each
    // shared by 22 widgets, fit and are rendered once; the two large panels (one
    // widget each, half a second of play) render the frame they show instead of
    // keeping several megabytes of frames for the rest of the game.
    static constexpr qint64 kMaxCacheBytes = qint64(1) * 1024 * 1024;

    [[nodiscard]] static std::shared_ptr<MovieAnimation>
    acquire(const std::shared_ptr<const MovieFile>& file, QSize pixelSize, double devicePixelRatio,
            bool keepAspectRatio);

    [[nodiscard]] static MovieCacheStatistics statistics();
    // Lets go of every frame held for animations to come that no widget shows.
    static void releaseCachedFrames();

    MovieAnimation(const MovieAnimation&) = delete;
    MovieAnimation& operator=(const MovieAnimation&) = delete;
    ~MovieAnimation();

    // The frame (clamped to the movie), rendered now if it is not held yet.
    // A null image if the animation could not be decoded.
    [[nodiscard]] const QImage& frame(int number);

    [[nodiscard]] QSize pixelSize() const { return pixelSize_; }
    [[nodiscard]] int cachedFrames() const;

  private:
    MovieAnimation(std::shared_ptr<const MovieFile> file, QString key, QSize pixelSize,
                   double devicePixelRatio, bool keepAspectRatio);
    [[nodiscard]] QImage render(int number);

    std::shared_ptr<const MovieFile> file_;
    QString key_;
    QSize pixelSize_;
    double devicePixelRatio_;
    bool keepAspectRatio_;
    std::unique_ptr<rlottie::Animation> animation_;
    bool cacheAll_;
    std::vector<QImage> frames_; // by frame number while cacheAll_, else the last one drawn
    int lastFrame_ = -1;
};
