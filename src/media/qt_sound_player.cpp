#include "qt_sound_player.h"

#include "mp3_scan.h"

#include <QAudioOutput>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
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

enum class Problem { Missing, Unplayable, CutShort, TooLong };

// One line on stderr per damaged file for the whole run: its first problem.
void reportOnce(Problem problem, const QString& path, const QString& detail = {}) {
    static QSet<QString> reported;
    if (reported.contains(path))
        return;
    reported.insert(path);
    switch (problem) {
    case Problem::Missing:
        qWarning("zorban: sound file missing: %s", qUtf8Printable(path));
        break;
    case Problem::Unplayable:
        qWarning("zorban: sound file cannot be played: %s (%s)", qUtf8Printable(path),
                 qUtf8Printable(detail));
        break;
    case Problem::CutShort:
        qWarning("zorban: sound file is cut short: %s", qUtf8Printable(path));
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

// Files larger than this are left to the back end unchecked.
constexpr qint64 kMaxCheckedBytes = qint64(16) * 1024 * 1024;

// Whether the file is worth handing to the back end. An empty file, or one that
// does not begin like any sound, is not: the back end would take its time to
// fail, or try to play noise until the safety time-out. A file cut short still
// plays up to where it stops, so it is only reported. The verdict is kept per
// file and size.
bool checkFile(const QString& path, const QFileInfo& info) {
    if (info.size() == 0) {
        reportOnce(Problem::Unplayable, path, QStringLiteral("empty file"));
        return false;
    }
    if (info.size() > kMaxCheckedBytes)
        return true;
    static QHash<QString, QPair<qint64, bool>> verdicts;
    const auto known = verdicts.constFind(path);
    if (known != verdicts.constEnd() && known->first == info.size())
        return known->second;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true; // the back end reports what is wrong
    const QByteArray bytes = file.readAll();
    const bool playable = media::looksLikeSound(bytes);
    if (!playable)
        reportOnce(Problem::Unplayable, path, QStringLiteral("not a sound file"));
    else if (media::scanMp3(bytes).cutShort)
        reportOnce(Problem::CutShort, path);
    verdicts.insert(path, {info.size(), playable});
    return playable;
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
        const QFileInfo info(path);
        if (!info.isFile()) {
            player->stop();
            if (!path.isEmpty())
                reportOnce(Problem::Missing, path);
            finish(kUnknownLengthMs, Emit::Queued);
            return;
        }
        if (!checkFile(path, info)) {
            player->stop();
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
