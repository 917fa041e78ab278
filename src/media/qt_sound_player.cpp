#include "qt_sound_player.h"

#include <QAudioOutput>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QSet>
#include <QTimer>
#include <QUrl>

namespace {

// A clip that plays once is taken as ended this long after its expected end,
// whatever the back end says.
constexpr int kSafetyMarginMs = 1500;
constexpr int kUnknownDurationTimeoutMs = 4000;
// What an ended clip reports as position and length when its duration was never known.
constexpr double kUnknownLengthMs = 1;
constexpr int kMaxRestarts = 2;

enum class Problem { Missing, Unplayable, TooLong };

// One line on stderr per problem and file for the whole run.
void reportOnce(Problem problem, const QString& path, const QString& detail = {}) {
    static QSet<QString> reported;
    const QString key = QString::number(static_cast<int>(problem)) + path;
    if (reported.contains(key))
        return;
    reported.insert(key);
    switch (problem) {
    case Problem::Missing:
        qWarning("zorban: sound file missing: %s", qUtf8Printable(path));
        break;
    case Problem::Unplayable:
        qWarning("zorban: sound file cannot be played: %s (%s)", qUtf8Printable(path),
                 qUtf8Printable(detail));
        break;
    case Problem::TooLong:
        qWarning("zorban: sound file did not end in time: %s", qUtf8Printable(path));
        break;
    }
}

// Qt Multimedia aborts the program when it has no back end to load, so look first.
bool backendInstalled() {
    static const bool installed = [] {
        const QString wanted = qEnvironmentVariable("QT_MEDIA_BACKEND");
        for (const QString& dir : QCoreApplication::libraryPaths()) {
            const QStringList plugins =
                QDir(dir + QStringLiteral("/multimedia")).entryList(QDir::Files);
            for (const QString& plugin : plugins) {
                if (wanted.isEmpty() || plugin.contains(wanted))
                    return true;
            }
        }
        return false;
    }();
    return installed;
}

} // namespace

struct QtSoundPlayer::Impl {
    explicit Impl(QtSoundPlayer* owner) : q(owner) {}

    QtSoundPlayer* q;
    QMediaPlayer* player = nullptr;
    QTimer safety;
    QString path;
    int count = 1;
    // Counts the clips started, so that a late signal of a replaced clip is dropped.
    quint64 generation = 0;
    bool ended = false;
    double endLength = 0;
    // Restarts of the current clip after a false end of media.
    int restarts = 0;
    // The back end could not start at all: every clip ends at once.
    bool noBackend = false;
    // The player has failed on a file. A GStreamer pipeline in that state blocks
    // its next state change (stop, setSource) for a second, so it is replaced.
    bool poisoned = false;

    [[nodiscard]] int loops() const { return count == 0 ? QMediaPlayer::Infinite : count; }

    void createBackend() {
        if (!backendInstalled()) {
            failBackend(QStringLiteral("no Qt Multimedia plugin found"));
            return;
        }
        player = new QMediaPlayer(q);
        if (player->error() == QMediaPlayer::NoError)
            player->setAudioOutput(new QAudioOutput(player));
        if (player->error() != QMediaPlayer::NoError) {
            failBackend(player->errorString());
            return;
        }
        player->setLoops(loops());
        QObject::connect(player, &QMediaPlayer::mediaStatusChanged, q,
                         [this](QMediaPlayer::MediaStatus status) { onStatus(status); });
        QObject::connect(player, &QMediaPlayer::errorOccurred, q,
                         [this](QMediaPlayer::Error, const QString& text) { onError(text); });
        QObject::connect(player, &QMediaPlayer::durationChanged, q, [this] { armSafety(); });
    }

    void failBackend(const QString& reason) {
        static bool said = false;
        if (!said)
            qWarning("zorban: no sound back end (%s); the game goes on without sound",
                     qUtf8Printable(reason));
        said = true;
        noBackend = true;
    }

    void replacePoisonedBackend() {
        if (!poisoned)
            return;
        poisoned = false;
        QObject::disconnect(player, nullptr, q, nullptr);
        player->deleteLater();
        createBackend();
    }

    void startClip() {
        ++generation;
        ended = false;
        restarts = 0;
        safety.stop();
        if (noBackend) {
            finish(kUnknownLengthMs, Emit::Queued);
            return;
        }
        replacePoisonedBackend();
        if (!QFileInfo(path).isFile()) {
            player->stop();
            if (!path.isEmpty())
                reportOnce(Problem::Missing, path);
            finish(kUnknownLengthMs, Emit::Queued);
            return;
        }
        player->setLoops(loops());
        // Setting the same URL again only stops the clip; play() restarts it.
        player->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
        player->play();
        armSafety();
    }

    void armSafety() {
        if (ended || count == 0 || noBackend ||
            player->playbackState() != QMediaPlayer::PlayingState) {
            safety.stop();
            return;
        }
        const qint64 duration = player->duration();
        safety.start(duration > 0 ? static_cast<int>(duration * count) + kSafetyMarginMs
                                  : kUnknownDurationTimeoutMs);
    }

    void onStatus(QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::InvalidMedia)
            onError(player->errorString());
        else if (status == QMediaPlayer::EndOfMedia)
            onEndOfMedia();
    }

    void onEndOfMedia() {
        // When a playing clip is replaced, the new one now and then reports its
        // end about 20 ms after it was loaded, at position 0, without a sound.
        // A real end comes with the position about at the duration.
        if (ended)
            return;
        const qint64 duration = player->duration();
        if (duration > 0 && player->position() < duration / 2 && restarts < kMaxRestarts) {
            ++restarts;
            player->play();
            armSafety();
            return;
        }
        finish(lengthOrUnknown(), Emit::Now);
    }

    void onError(const QString& text) {
        poisoned = true;
        QMetaObject::invokeMethod(
            q, [this] { replacePoisonedBackend(); }, Qt::QueuedConnection);
        if (ended)
            return;
        reportOnce(Problem::Unplayable, path, text);
        finish(lengthOrUnknown(), Emit::Queued);
    }

    void onSafetyTimeout() {
        reportOnce(Problem::TooLong, path);
        poisoned = true;
        finish(lengthOrUnknown(), Emit::Now);
        replacePoisonedBackend();
    }

    [[nodiscard]] double lengthOrUnknown() const {
        const qint64 duration = player->duration();
        return duration > 0 ? static_cast<double>(duration) : kUnknownLengthMs;
    }

    enum class Emit { Now, Queued };

    void finish(double length, Emit emission) {
        if (ended)
            return;
        ended = true;
        endLength = length;
        safety.stop();
        if (emission == Emit::Now) {
            emit q->clipEnded();
            return;
        }
        QMetaObject::invokeMethod(
            q,
            [this, clip = generation] {
                if (clip == generation)
                    emit q->clipEnded();
            },
            Qt::QueuedConnection);
    }
};

QtSoundPlayer::QtSoundPlayer(QObject* parent)
    : SoundPlayer(parent), d(std::make_unique<Impl>(this)) {
    d->safety.setSingleShot(true);
    connect(&d->safety, &QTimer::timeout, this, [this] { d->onSafetyTimeout(); });
    d->createBackend();
}

QtSoundPlayer::~QtSoundPlayer() {
    // The player is deleted with the other children after d is gone: cut it off first.
    if (d->player)
        disconnect(d->player, nullptr, this, nullptr);
}

void QtSoundPlayer::setFileName(const QString& path) {
    d->path = path;
    d->startClip();
}

QString QtSoundPlayer::fileName() const {
    return d->path;
}

void QtSoundPlayer::setPlayCount(int count) {
    d->count = qMax(0, count);
    if (!d->noBackend)
        d->player->setLoops(d->loops());
    d->armSafety();
}

int QtSoundPlayer::playCount() const {
    return d->count;
}

double QtSoundPlayer::currentPosition() const {
    if (d->ended)
        return d->endLength;
    if (d->noBackend)
        return 0;
    // Only an ended clip may report its position equal to its length.
    const qint64 duration = d->player->duration();
    const qint64 position = d->player->position();
    return static_cast<double>(duration > 0 ? qMin(position, duration - 1) : position);
}

double QtSoundPlayer::length() const {
    if (d->ended)
        return d->endLength;
    return d->noBackend ? 0 : static_cast<double>(d->player->duration());
}

// Method 2001 is the control's "play": the game calls it right after setting a
// file, which already plays, so for us it only (re)starts a clip that stands
// still (stopped or ended).
void QtSoundPlayer::play() {
    if (d->path.isEmpty())
        return;
    if (!d->ended && !d->noBackend && !d->poisoned &&
        d->player->playbackState() == QMediaPlayer::PlayingState)
        return;
    d->startClip();
}

void QtSoundPlayer::stop() {
    d->safety.stop();
    if (d->noBackend)
        return;
    d->replacePoisonedBackend();
    d->player->stop();
}
