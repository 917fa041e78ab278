#include "movie_animation.h"

#include "media_files.h"
#include "movie_structure.h"
#include "regular_file.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QtGlobal>
#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <cmath>
#include <rlottie.h>

namespace {

// Our movies are a few kilobytes; anything this large is not one of them.
constexpr qint64 kMaxFileBytes = media::kMaxMovieFileBytes;
// Well past any movie of ours (minutes at the highest frame rate).
constexpr size_t kMaxFrames = 100000;

QHash<QString, std::weak_ptr<const MovieFile>>& fileRegistry() {
    static QHash<QString, std::weak_ptr<const MovieFile>> registry;
    return registry;
}

QHash<QString, std::weak_ptr<MovieAnimation>>& animationRegistry() {
    static QHash<QString, std::weak_ptr<MovieAnimation>> registry;
    return registry;
}

qint64 framesRenderedSoFar = 0;

void reportOnce(const QString& path, const char* problem) {
    static QSet<QString> reported;
    if (reported.contains(path))
        return;
    reported.insert(path);
    qWarning("zorban: movie file %s: %s", problem, qUtf8Printable(media::readablePath(path)));
}

bool sane(const rlottie::Animation& animation) {
    const double rate = animation.frameRate();
    if (animation.totalFrame() == 0 || animation.totalFrame() > kMaxFrames)
        return false;
    if (!(rate > 0 && rate <= MovieFile::kMaxFrameRate))
        return false;
    size_t width = 0;
    size_t height = 0;
    animation.size(width, height);
    const auto side = static_cast<size_t>(MovieFile::kMaxSide);
    return width > 0 && height > 0 && width <= side && height <= side;
}

} // namespace

MovieFile::MovieFile(QString path, std::string json, int frameCount, double frameRate, QSize size)
    : path_(std::move(path)), json_(std::move(json)), frameCount_(frameCount),
      frameRate_(frameRate), size_(size) {}

MovieFile::~MovieFile() {
    fileRegistry().remove(path_);
}

std::shared_ptr<const MovieFile> MovieFile::open(const QString& path) {
    if (path.isEmpty())
        return nullptr;
    if (auto held = fileRegistry().value(path).lock())
        return held;

    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        reportOnce(path, "missing");
        return nullptr;
    }
    // Only a regular file, also when a link names it; never a pipe or device
    // put in its place since.
    files::OpenFile opened(path, files::Access::Read, files::Links::Follow);
    QFile file;
    if (info.size() > kMaxFileBytes || !opened.isOpen() ||
        !file.open(opened.release(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        reportOnce(path, "cannot be read as an animation");
        return nullptr;
    }
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (bytes.size() > kMaxFileBytes) {
        reportOnce(path, "cannot be read as an animation");
        return nullptr;
    }
    if (const QString problem = media::movieStructureProblem(bytes); !problem.isEmpty()) {
        reportOnce(path, qPrintable(QStringLiteral("refused (%1)").arg(problem)));
        return nullptr;
    }
    std::string json(bytes.constData(), static_cast<size_t>(bytes.size()));
    // Upstream's model cache keys by name and would hand out stale models: caching off.
    const std::unique_ptr<rlottie::Animation> animation =
        rlottie::Animation::loadFromData(json, path.toStdString(), "", false);
    if (!animation || !sane(*animation)) {
        reportOnce(path, "cannot be read as an animation");
        return nullptr;
    }
    size_t width = 0;
    size_t height = 0;
    animation->size(width, height);
    std::shared_ptr<const MovieFile> movie(
        new MovieFile(path, std::move(json), static_cast<int>(animation->totalFrame()),
                      animation->frameRate(), QSize(int(width), int(height))));
    fileRegistry().insert(path, movie);
    return movie;
}

MovieAnimation::MovieAnimation(std::shared_ptr<const MovieFile> file, QString key, QSize pixelSize,
                               double devicePixelRatio, bool keepAspectRatio)
    : file_(std::move(file)), key_(std::move(key)), pixelSize_(pixelSize),
      devicePixelRatio_(devicePixelRatio), keepAspectRatio_(keepAspectRatio) {
    animation_ =
        rlottie::Animation::loadFromData(file_->json(), file_->path().toStdString(), "", false);
    const qint64 frameBytes = qint64(pixelSize_.width()) * pixelSize_.height() * 4;
    cacheAll_ = frameBytes * file_->frameCount() <= kMaxCacheBytes;
    frames_.resize(cacheAll_ ? size_t(file_->frameCount()) : 1);
}

MovieAnimation::~MovieAnimation() {
    animationRegistry().remove(key_);
}

std::shared_ptr<MovieAnimation>
MovieAnimation::acquire(const std::shared_ptr<const MovieFile>& file, QSize pixelSize,
                        double devicePixelRatio, bool keepAspectRatio) {
    if (!file || pixelSize.isEmpty())
        return nullptr;
    const QString key = QStringLiteral("%1\n%2x%3@%4%5")
                            .arg(file->path())
                            .arg(pixelSize.width())
                            .arg(pixelSize.height())
                            .arg(devicePixelRatio)
                            .arg(keepAspectRatio ? QLatin1Char('k') : QLatin1Char('s'));
    if (auto held = animationRegistry().value(key).lock())
        return held;
    std::shared_ptr<MovieAnimation> animation(
        new MovieAnimation(file, key, pixelSize, devicePixelRatio, keepAspectRatio));
    animationRegistry().insert(key, animation);
    return animation;
}

MovieCacheStatistics MovieAnimation::statistics() {
    MovieCacheStatistics statistics;
    statistics.files = int(fileRegistry().size());
    statistics.framesRendered = framesRenderedSoFar;
    for (const auto& entry : std::as_const(animationRegistry())) {
        const std::shared_ptr<MovieAnimation> animation = entry.lock();
        if (!animation)
            continue;
        ++statistics.animations;
        const int frames = animation->cachedFrames();
        statistics.cachedFrames += frames;
        statistics.cachedBytes +=
            qint64(frames) * animation->pixelSize_.width() * animation->pixelSize_.height() * 4;
    }
    return statistics;
}

void MovieAnimation::releaseCachedFrames() {
    bool released = false;
    for (const auto& entry : std::as_const(animationRegistry())) {
        const std::shared_ptr<MovieAnimation> animation = entry.lock();
        if (!animation)
            continue;
        // A frame that a widget shows stays, so that every widget showing that
        // frame later shares it.
        for (QImage& frame : animation->frames_) {
            if (!frame.isNull() && frame.isDetached()) {
                frame = QImage();
                released = true;
            }
        }
    }
#ifdef __GLIBC__
    // Frames are small blocks amid the heap, which malloc would otherwise keep.
    if (released)
        malloc_trim(0);
#endif
}

int MovieAnimation::cachedFrames() const {
    return int(std::count_if(frames_.begin(), frames_.end(),
                             [](const QImage& image) { return !image.isNull(); }));
}

const QImage& MovieAnimation::frame(int number) {
    number = std::clamp(number, 0, file_->frameCount() - 1);
    if (cacheAll_) {
        QImage& slot = frames_[size_t(number)];
        if (slot.isNull())
            slot = render(number);
        return slot;
    }
    if (lastFrame_ != number || frames_.front().isNull()) {
        frames_.front() = render(number);
        lastFrame_ = number;
    }
    return frames_.front();
}

QImage MovieAnimation::render(int number) {
    if (!animation_)
        return {};
    QImage image(pixelSize_, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    // rlottie clears the surface itself today; a clear buffer keeps bars transparent regardless.
    image.fill(Qt::transparent);
    const rlottie::Surface surface(reinterpret_cast<uint32_t*>(image.bits()), size_t(image.width()),
                                   size_t(image.height()), size_t(image.bytesPerLine()));
    animation_->renderSync(size_t(number), surface, keepAspectRatio_);
    image.setDevicePixelRatio(devicePixelRatio_);
    ++framesRenderedSoFar;
    return image;
}
