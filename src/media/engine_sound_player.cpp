#include "engine_sound_player.h"

#include "sound_core.h"

#include <QMetaObject>
#include <cmath>

namespace media {

namespace {

// What a clip that could not be played reports as its position and length once
// it has ended: above 0, as for every clip that has ended (sound_player.h).
constexpr double kUnplayedLengthMs = 1;

} // namespace

EngineSoundPlayer::EngineSoundPlayer(std::shared_ptr<SoundCore> core)
    : core_(std::move(core)), channel_(core_->takeChannel()) {
    core_->addPlayer(this);
    endTimer_.setSingleShot(true);
    endTimer_.setTimerType(Qt::PreciseTimer);
    connect(&endTimer_, &QTimer::timeout, this, &EngineSoundPlayer::onEndTimer);
}

EngineSoundPlayer::~EngineSoundPlayer() {
    core_->removePlayer(this);
    core_->releaseChannel(channel_);
}

void EngineSoundPlayer::start(const QString& path) {
    CallTimer timer(*core_);
    core_->requestOutput(); // if the program has not asked for it yet
    path_ = path;
    beginClip();
}

void EngineSoundPlayer::setLooping(bool loop) {
    CallTimer timer(*core_);
    loopWanted_ = loop;
    if (state_ != State::Playing || startQueued_ || loop == looping_)
        return;
    const double elapsed = elapsedMs();
    if (loop) {
        // A clip already playing once cannot be told to repeat: it starts over as a loop.
        startPlaying(clipId_, lengthMs_);
        return;
    }
    // The pass under way is the last.
    looping_ = false;
    lastPassMs_ = std::floor(elapsed / lengthMs_) * lengthMs_;
    SoundCommand expire;
    expire.kind = SoundCommand::Kind::Expire;
    expire.channel = channel_;
    expire.value = static_cast<int>(std::ceil(lastPassMs_ + lengthMs_ - elapsed));
    expire.clockNs = clockNs(startedAt_) + static_cast<qint64>((lastPassMs_ + lengthMs_) * 1e6);
    core_->post(std::move(expire));
    armEndTimer();
}

double EngineSoundPlayer::position() const {
    switch (state_) {
    case State::Idle:
    case State::Waiting:
        return 0;
    case State::Stopped:
        return stoppedAtMs_;
    case State::Ended:
        return lengthMs_;
    case State::Playing:
        return positionNow();
    }
    return 0;
}

double EngineSoundPlayer::length() const {
    return state_ == State::Idle || state_ == State::Waiting ? 0 : lengthMs_;
}

// A clip waiting to be decoded goes on waiting.
void EngineSoundPlayer::resume() {
    CallTimer timer(*core_);
    if (path_.isEmpty() || state_ == State::Playing || state_ == State::Waiting)
        return;
    beginClip();
}

void EngineSoundPlayer::stop() {
    CallTimer timer(*core_);
    endTimer_.stop();
    startQueued_ = false;
    if (state_ == State::Playing) {
        stoppedAtMs_ = std::min(positionNow(), std::nextafter(lengthMs_, 0.0));
        state_ = State::Stopped;
    } else if (state_ == State::Waiting) {
        stoppedAtMs_ = 0;
        state_ = State::Stopped;
    }
    SoundCommand halt;
    halt.kind = SoundCommand::Kind::Halt;
    halt.channel = channel_;
    core_->post(std::move(halt));
}

void EngineSoundPlayer::fileDecoded(const QString& absolutePath) {
    if (state_ != State::Waiting || absolutePath != waitingFor_)
        return;
    CallTimer timer(*core_);
    beginClip();
}

void EngineSoundPlayer::beginClip() {
    ++generation_;
    endTimer_.stop();
    startQueued_ = false;
    waitingFor_.clear();
    const FileStamp file = stampOf(path_);
    DecodedClip clip;
    clip.state = DecodedClip::State::Unplayable;
    if (!file.isFile) {
        if (!path_.isEmpty())
            reportOnce(SoundProblem::Missing, path_);
    } else {
        clip = core_->lookup(file);
    }
    switch (clip.state) {
    case DecodedClip::State::Ready:
        startPlaying(clip.id, clip.lengthMs);
        return;
    case DecodedClip::State::Decoding:
        // The clip starts once decoded; whatever played is silenced now.
        state_ = State::Waiting;
        waitingFor_ = file.absolutePath;
        break;
    case DecodedClip::State::Unplayable:
        endAtOnce();
        break;
    }
    SoundCommand halt;
    halt.kind = SoundCommand::Kind::Halt;
    halt.channel = channel_;
    core_->post(std::move(halt));
}

void EngineSoundPlayer::startPlaying(quint64 clipId, double lengthMs) {
    state_ = State::Playing;
    clipId_ = clipId;
    lengthMs_ = lengthMs;
    lastPassMs_ = 0;
    startedAt_ = Clock::now();
    if (!startQueued_) {
        startQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this, clip = generation_] {
                if (clip == generation_ && startQueued_)
                    sendStart();
            },
            Qt::QueuedConnection);
    }
    armEndTimer();
}

void EngineSoundPlayer::sendStart() {
    CallTimer timer(*core_);
    startQueued_ = false;
    looping_ = loopWanted_;
    SoundCommand play;
    play.kind = SoundCommand::Kind::Play;
    play.channel = channel_;
    play.clipId = clipId_;
    play.loop = looping_;
    play.clockNs = clockNs(startedAt_);
    core_->post(std::move(play));
    armEndTimer();
}

void EngineSoundPlayer::endAtOnce() {
    state_ = State::Ended;
    lengthMs_ = kUnplayedLengthMs;
    QMetaObject::invokeMethod(
        this,
        [this, clip = generation_] {
            if (clip == generation_ && state_ == State::Ended)
                emit clipEnded();
        },
        Qt::QueuedConnection);
}

void EngineSoundPlayer::armEndTimer() {
    // Until the start is handed over, looping may still be set.
    const bool loop = startQueued_ ? loopWanted_ : looping_;
    if (state_ != State::Playing || loop) {
        endTimer_.stop();
        return;
    }
    const double left = lastPassMs_ + lengthMs_ - elapsedMs();
    endTimer_.start(std::max(0, static_cast<int>(std::ceil(left))));
}

void EngineSoundPlayer::onEndTimer() {
    if (state_ != State::Playing || looping_ || startQueued_)
        return;
    if (elapsedMs() < lastPassMs_ + lengthMs_) {
        armEndTimer(); // the timer's millisecond came a little before the clip's end
        return;
    }
    state_ = State::Ended;
    emit clipEnded();
}

double EngineSoundPlayer::elapsedMs() const {
    return std::chrono::duration<double, std::milli>(Clock::now() - startedAt_).count();
}

double EngineSoundPlayer::positionNow() const {
    const double elapsed = elapsedMs();
    if (startQueued_ ? loopWanted_ : looping_)
        return std::fmod(elapsed, lengthMs_);
    // Exactly the length once the end is reached, and only then.
    return std::min(elapsed - lastPassMs_, lengthMs_);
}

} // namespace media
