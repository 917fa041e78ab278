#include "sound_engine.h"

#include "engine_sound_player.h"
#include "sdl_library.h"
#include "sound_core.h"

#include "sound_decoder.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QSet>
#include <QTimer>

#include <algorithm>
#include <dlfcn.h>
#include <sys/stat.h>

namespace media {

namespace {

// About 23 ms at 44.1 kHz: short enough for a click to sound at once.
constexpr int kOutputBufferFrames = 1024;
// How long the last engine waits for the device to close.
constexpr std::chrono::milliseconds kCloseWait{50};
constexpr int kInitialMixerChannels = 4;
// How often the engine's thread looks whether the system's sound output is
// still there, and how often it tries to open one while there is none.
constexpr std::chrono::seconds kWatchInterval{1};
constexpr std::chrono::seconds kRetryInterval{2};

std::weak_ptr<SoundCore>& sharedCore() {
    static std::weak_ptr<SoundCore> core;
    return core;
}

// While SDL looks for a device, ALSA's library writes a line on stderr for every
// step of its configuration that fails (a dozen on a machine without a sound
// card). The engine says in one line what came of it, so ALSA is kept quiet
// meanwhile, if it is there at all (SDL loads it the same way).
extern "C" void quietAlsaError(const char*, int, const char*, int, const char*, ...) {}

class QuietAlsa {
  public:
    QuietAlsa() {
        library_ = dlopen("libasound.so.2", RTLD_NOW | RTLD_NOLOAD);
        if (!library_)
            library_ = dlopen("libasound.so.2", RTLD_NOW);
        if (library_)
            setHandler_ =
                reinterpret_cast<SetHandler>(dlsym(library_, "snd_lib_error_set_handler"));
        if (setHandler_)
            setHandler_(quietAlsaError);
    }
    ~QuietAlsa() {
        if (setHandler_)
            setHandler_(nullptr); // ALSA's own reports again
        if (library_)
            dlclose(library_);
    }
    QuietAlsa(const QuietAlsa&) = delete;
    QuietAlsa& operator=(const QuietAlsa&) = delete;

  private:
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    void* library_ = nullptr;
    SetHandler setHandler_ = nullptr;
};

} // namespace

FileStamp stampOf(const QString& path) {
    FileStamp stamp;
    stamp.absolutePath = QFileInfo(path).absoluteFilePath();
    struct stat status {};
    if (path.isEmpty() || ::stat(QFile::encodeName(stamp.absolutePath).constData(), &status) != 0 ||
        !S_ISREG(status.st_mode))
        return stamp;
    stamp.isFile = true;
    stamp.size = status.st_size;
    stamp.modifiedNs = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    return stamp;
}

void reportOnce(SoundProblem problem, const QString& path, const QString& detail) {
    static QSet<QString> reported;
    if (reported.contains(path))
        return;
    reported.insert(path);
    switch (problem) {
    case SoundProblem::Missing:
        qWarning("zorban: sound file missing: %s", qUtf8Printable(path));
        break;
    case SoundProblem::Unplayable:
        qWarning("zorban: sound file cannot be played: %s (%s)", qUtf8Printable(path),
                 qUtf8Printable(detail));
        break;
    case SoundProblem::CutShort:
        qWarning("zorban: sound file is cut short: %s", qUtf8Printable(path));
        break;
    }
}

void Mixer::fill(void* mixer, Uint8* stream, int bytes) {
    static_cast<Mixer*>(mixer)->mix(reinterpret_cast<int16_t*>(stream), bytes / 2);
}

void Mixer::mix(int16_t* out, int frames) {
    // In blocks, so that the sum needs no allocation on the audio thread.
    constexpr int kBlock = 1024;
    int32_t sum[kBlock];
    for (int start = 0; start < frames; start += kBlock) {
        const int count = std::min(kBlock, frames - start);
        std::fill(sum, sum + count, 0);
        for (Voice& voice : voices)
            addVoice(voice, sum, count);
        for (int i = 0; i < count; ++i) {
            const int32_t sample = sum[i] * volume / kFullVolume;
            out[start + i] = int16_t(std::clamp<int32_t>(sample, INT16_MIN, INT16_MAX));
        }
    }
}

void Mixer::addVoice(Voice& voice, int32_t* sum, int frames) {
    int done = 0;
    while (voice.samples && done < frames) {
        const size_t size = voice.samples->size();
        size_t take = std::min(size_t(frames - done), size - voice.position);
        if (voice.framesLeft >= 0)
            take = std::min(take, size_t(voice.framesLeft));
        const int16_t* from = voice.samples->data() + voice.position;
        for (size_t i = 0; i < take; ++i)
            sum[done + int(i)] += from[i];
        done += int(take);
        voice.position += take;
        if (voice.framesLeft >= 0)
            voice.framesLeft -= qint64(take);
        if (voice.framesLeft == 0 || size == 0) {
            voice.samples.reset();
        } else if (voice.position >= size) {
            voice.position = 0;
            if (!voice.loop)
                voice.samples.reset();
        }
    }
}

SoundCore::SoundCore(SoundEngine::Output chosenOutput) : output(chosenOutput) {
    thread = std::thread([this] { run(); });
}

SoundCore::~SoundCore() {
    if (!thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(queueMutex);
        quitting = true;
        stopping = true;
    }
    queueReady.notify_one();
    thread.join();
}

bool SoundCore::stopWithin(std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> lock(queueMutex);
    quitting = true;
    stopping = true;
    queueReady.notify_one();
    if (finishedReady.wait_for(lock, wait, [this] { return finished; })) {
        lock.unlock();
        thread.join();
        return true;
    }
    thread.detach();
    return false;
}

void SoundCore::post(SoundCommand command) {
    {
        std::lock_guard<std::mutex> lock(queueMutex);
        queue.push_back(std::move(command));
    }
    queueReady.notify_one();
}

DecodedClip SoundCore::lookup(const FileStamp& file) {
    DecodedClip pending;
    pending.size = file.size;
    pending.modifiedNs = file.modifiedNs;
    {
        std::lock_guard<std::mutex> lock(cacheMutex);
        const auto known = cache.constFind(file.absolutePath);
        if (known != cache.constEnd() && known->size == file.size &&
            known->modifiedNs == file.modifiedNs)
            return *known;
        // The sound decoded before, if any, is freed once the new one is in.
        DecodedClip& entry = cache[file.absolutePath];
        pending.id = entry.id;
        entry = pending;
        pending.id = 0;
    }
    SoundCommand decode;
    decode.kind = SoundCommand::Kind::Decode;
    decode.file = file;
    post(std::move(decode));
    return pending;
}

int SoundCore::takeChannel() {
    auto freeSlot = std::find(channelsTaken.begin(), channelsTaken.end(), false);
    const int channel = static_cast<int>(freeSlot - channelsTaken.begin());
    if (freeSlot == channelsTaken.end())
        channelsTaken.push_back(true);
    else
        *freeSlot = true;
    if (channel >= allocatedChannels) {
        allocatedChannels = std::max(kInitialMixerChannels, allocatedChannels * 2);
        SoundCommand grow;
        grow.kind = SoundCommand::Kind::Channels;
        grow.value = allocatedChannels;
        post(std::move(grow));
    }
    return channel;
}

void SoundCore::releaseChannel(int channel) {
    SoundCommand halt;
    halt.kind = SoundCommand::Kind::Halt;
    halt.channel = channel;
    post(std::move(halt));
    if (channel >= 0 && channel < static_cast<int>(channelsTaken.size()))
        channelsTaken[static_cast<size_t>(channel)] = false;
}

void SoundCore::noteCall(std::chrono::nanoseconds spent) {
    const qint64 ns = spent.count();
    qint64 longest = longestCallNs.load(std::memory_order_relaxed);
    while (ns > longest && !longestCallNs.compare_exchange_weak(longest, ns))
        ;
}

void SoundCore::applyVolume() {
    SoundCommand volume;
    volume.kind = SoundCommand::Kind::Volume;
    volume.value = muted ? 0 : (volumePercent * Mixer::kFullVolume + 50) / 100;
    post(std::move(volume));
}

void SoundCore::requestOutput() {
    if (outputAsked)
        return;
    outputAsked = true;
    {
        std::lock_guard<std::mutex> lock(queueMutex);
        outputRequested = true;
    }
    queueReady.notify_one();
}

void SoundCore::run() {
    bool open = false;
    {
        // Commands queue up until then.
        std::unique_lock<std::mutex> lock(queueMutex);
        queueReady.wait(lock, [this] { return quitting || outputRequested; });
        open = !quitting;
    }
    if (open)
        openOutput();
    std::deque<SoundCommand> batch;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(queueMutex);
            const auto ready = [this] { return quitting || !queue.empty(); };
            if (watchesOutput())
                queueReady.wait_until(lock, nextWatch, ready);
            else
                queueReady.wait(lock, ready);
            if (quitting)
                break;
            batch.swap(queue);
        }
        for (const SoundCommand& command : batch) {
            if (stopping.load(std::memory_order_relaxed))
                break;
            execute(command);
        }
        batch.clear();
        if (watchesOutput() && std::chrono::steady_clock::now() >= nextWatch)
            watchOutput();
    }
    closeDevice();
    chunks.clear();
    // Also frees the hints set while opening, which SDL keeps until it quits.
    if (sdl) {
        const std::lock_guard<std::recursive_mutex> setup(sdlSetupMutex());
        sdl->Quit();
    }
    {
        std::lock_guard<std::mutex> lock(queueMutex);
        finished = true;
    }
    finishedReady.notify_all();
}

void SoundCore::openOutput() {
    QString problem;
    sdl = sdlLibrary(&problem);
    if (!sdl) {
        tellNoDevice(problem, false);
        return;
    }
    const std::lock_guard<std::recursive_mutex> setup(sdlSetupMutex());
    // SDL would otherwise take SIGINT and SIGTERM for itself and turn them into
    // events nobody reads: the game would no longer end on Ctrl+C or kill.
    sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    const QuietAlsa quiet;
    if (output == SoundEngine::Output::Device) {
        // An earlier silent output in this process may have chosen the dummy driver.
        sdl->ResetHint(SDL_HINT_AUDIODRIVER);
        onSystemOutput = openDevice();
        if (onSystemOutput)
            sdl->PauseAudioDevice(device, 0);
        else
            tellNoDevice(openProblem, true);
        nextWatch = std::chrono::steady_clock::now() + kWatchInterval;
        return;
    }
    // The dummy driver plays into nothing in real time.
    sdl->SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    if (openDevice())
        sdl->PauseAudioDevice(device, 0);
    else
        tellNoDevice(openProblem, false);
}

bool SoundCore::openDevice() {
    const std::lock_guard<std::recursive_mutex> setup(sdlSetupMutex());
    if (sdl->InitSubSystem(SDL_INIT_AUDIO) != 0) {
        openProblem = QString::fromUtf8(sdl->GetError());
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = kSoundRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 1;
    wanted.samples = kOutputBufferFrames;
    wanted.callback = &Mixer::fill;
    wanted.userdata = &mixer;
    // Exactly this format: SDL converts it to whatever the device plays.
    device = sdl->OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (device == 0) {
        openProblem = QString::fromUtf8(sdl->GetError()); // before QuitSubSystem sets another
        sdl->QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    deviceOpen = true;
    return true;
}

void SoundCore::closeDevice() {
    if (!deviceOpen)
        return;
    const std::lock_guard<std::recursive_mutex> setup(sdlSetupMutex());
    sdl->CloseAudioDevice(device); // the mixer is no longer called
    sdl->QuitSubSystem(SDL_INIT_AUDIO);
    deviceOpen = false;
    onSystemOutput = false;
    device = 0;
}

bool SoundCore::watchesOutput() const {
    return output == SoundEngine::Output::Device && sdl != nullptr;
}

// SDL tells of a lost device only through its event queue, which this thread
// would have to pump just as often, and nothing at all tells of a sound server
// that has appeared: so this thread looks at the device's status every second
// (with SDL 2.26's PulseAudio driver it turns to stopped as soon as the server
// is gone) and, while it has no device, tries to open one every two seconds (a
// failed try takes a few milliseconds). The window's thread never waits on any
// of it.
void SoundCore::watchOutput() {
    const auto now = std::chrono::steady_clock::now();
    if (onSystemOutput) {
        nextWatch = now + kWatchInterval;
        if (sdl->GetAudioDeviceStatus(device) != SDL_AUDIO_STOPPED)
            return;
        const QString driver = QString::fromUtf8(sdl->GetCurrentAudioDriver());
        closeDevice();
        tellOutput(QStringLiteral("the sound output (%1) has gone; the game plays on silently")
                       .arg(driver));
        nextWatch = now + kRetryInterval;
        return;
    }
    nextWatch = now + kRetryInterval;
    const QuietAlsa quiet;
    sdl->ResetHint(SDL_HINT_AUDIODRIVER);
    if (!openDevice())
        return;
    onSystemOutput = true;
    nextWatch = now + kWatchInterval;
    resumeVoices();
    sdl->PauseAudioDevice(device, 0);
    tellOutput(QStringLiteral("the sound output (%1) is back; the game plays with sound again")
                   .arg(QString::fromUtf8(sdl->GetCurrentAudioDriver())));
}

void SoundCore::resumeVoices() {
    const qint64 nowNs = clockNs(std::chrono::steady_clock::now());
    const auto framesIn = [](qint64 ns) {
        return std::max<qint64>(0, ns) * kSoundRate / 1000000000;
    };
    lockMixer();
    for (size_t channel = 0; channel < plans.size(); ++channel) {
        ChannelPlan& plan = plans[channel];
        Mixer::Voice voice;
        const auto chunk = chunks.constFind(plan.clipId);
        if (plan.clipId != 0 && chunk != chunks.constEnd() && !(*chunk)->empty() &&
            (plan.endsAtNs < 0 || nowNs < plan.endsAtNs)) {
            const auto size = qint64((*chunk)->size());
            const qint64 at = framesIn(nowNs - plan.startedAtNs);
            if (plan.loop || at < size) {
                voice.samples = *chunk;
                voice.loop = plan.loop;
                voice.position = size_t(plan.loop ? at % size : at);
                if (plan.endsAtNs >= 0)
                    voice.framesLeft = std::max<qint64>(1, framesIn(plan.endsAtNs - nowNs));
            }
        }
        // A clip that has ended on the clock is not played again.
        if (!voice.samples)
            plan = ChannelPlan();
        mixer.voices[channel] = std::move(voice);
    }
    unlockMixer();
}

void SoundCore::lockMixer() {
    if (deviceOpen)
        sdl->LockAudioDevice(device);
}

void SoundCore::unlockMixer() {
    if (deviceOpen)
        sdl->UnlockAudioDevice(device);
}

void SoundCore::execute(const SoundCommand& command) {
    using Kind = SoundCommand::Kind;
    if (command.kind == Kind::Decode) {
        decode(command);
        return;
    }
    // Without SDL there is nothing to play.
    if (!sdl)
        return;
    lockMixer();
    std::vector<Mixer::Voice>& voices = mixer.voices;
    const bool onChannel = command.channel >= 0 && size_t(command.channel) < voices.size();
    switch (command.kind) {
    case Kind::Play:
        if (onChannel) {
            const auto chunk = chunks.constFind(command.clipId);
            Mixer::Voice voice;
            ChannelPlan plan;
            if (chunk != chunks.constEnd()) {
                voice.samples = *chunk;
                voice.loop = command.loop;
                plan.clipId = command.clipId;
                plan.loop = command.loop;
                plan.startedAtNs = command.clockNs;
            }
            voices[size_t(command.channel)] = std::move(voice);
            plans[size_t(command.channel)] = plan;
        }
        break;
    case Kind::Halt:
        if (onChannel) {
            voices[size_t(command.channel)].samples.reset();
            plans[size_t(command.channel)] = ChannelPlan();
        }
        break;
    case Kind::Expire:
        if (onChannel && voices[size_t(command.channel)].samples)
            voices[size_t(command.channel)].framesLeft =
                qint64(std::max(1, command.value)) * kSoundRate / 1000;
        if (onChannel && plans[size_t(command.channel)].clipId != 0)
            plans[size_t(command.channel)].endsAtNs = command.clockNs;
        break;
    case Kind::Channels:
        voices.resize(size_t(std::max(command.value, 0)));
        plans.resize(voices.size());
        break;
    case Kind::Volume:
        mixer.volume = std::clamp(command.value, 0, Mixer::kFullVolume);
        break;
    case Kind::Decode:
        break;
    }
    unlockMixer();
}

void SoundCore::decode(const SoundCommand& command) {
    DecodedClip clip;
    clip.size = command.file.size;
    clip.modifiedNs = command.file.modifiedNs;
    clip.state = DecodedClip::State::Unplayable;
    QString problem;
    bool cutShort = false;
    // Without SDL (said once already) every clip counts as ended at once. A
    // clip is decoded and timed whether a device is open or not.
    if (sdl) {
        // What the other sounds kept take; the one this file had goes. A sound
        // that would pass what all may take is not decoded.
        quint64 previous = 0;
        {
            std::lock_guard<std::mutex> lock(cacheMutex);
            previous = cache.value(command.file.absolutePath).id;
        }
        qint64 kept = 0;
        for (auto chunk = chunks.cbegin(); chunk != chunks.cend(); ++chunk) {
            if (chunk.key() != previous && chunk.value())
                kept += qint64(chunk.value()->size() * sizeof(int16_t));
        }
        DecodedSound sound =
            decodeSound(command.file.absolutePath, std::max<qint64>(kAllSoundsBytes - kept, 0));
        problem = sound.problem;
        cutShort = sound.cutShort;
        if (problem.isEmpty()) {
            const qint64 bytes = qint64(sound.samples.size() * sizeof(int16_t));
            if (kept + bytes > kAllSoundsBytes) {
                problem = QStringLiteral("not kept: the sounds decoded already take %1 MB, and "
                                         "this one's %2 MB would pass the %3 MB all sounds may "
                                         "take")
                              .arg(kept >> 20)
                              .arg(bytes >> 20)
                              .arg(kAllSoundsBytes >> 20);
                sound.samples = {};
            }
        }
        if (problem.isEmpty()) {
            clip.state = DecodedClip::State::Ready;
            clip.id = nextClipId++;
            clip.lengthMs = sound.lengthMs();
            chunks.insert(clip.id,
                          std::make_shared<const std::vector<int16_t>>(std::move(sound.samples)));
        }
    }

    quint64 replaced = 0;
    {
        std::lock_guard<std::mutex> lock(cacheMutex);
        DecodedClip& entry = cache[command.file.absolutePath];
        replaced = entry.id;
        entry = clip;
    }
    // A sound decoded anew replaces the old one, and silences any channel still playing it.
    if (replaced != 0 && replaced != clip.id) {
        const std::shared_ptr<const std::vector<int16_t>> old = chunks.take(replaced);
        if (old) {
            lockMixer();
            for (size_t channel = 0; channel < mixer.voices.size(); ++channel) {
                if (mixer.voices[channel].samples == old)
                    mixer.voices[channel].samples.reset();
                if (plans[channel].clipId == replaced)
                    plans[channel] = ChannelPlan();
            }
            unlockMixer();
        }
    }
    tell(command.file.absolutePath, sdl ? problem : QString(), cutShort);
}

void SoundCore::tell(const QString& path, const QString& problem, bool cutShort) {
    QMetaObject::invokeMethod(
        &mailbox,
        [this, path, problem, cutShort] {
            if (!problem.isEmpty())
                reportOnce(SoundProblem::Unplayable, path, problem);
            else if (cutShort)
                reportOnce(SoundProblem::CutShort, path);
            // A player may give up waiting (and be removed) while others are told.
            const QSet<EngineSoundPlayer*> waiting = players;
            for (EngineSoundPlayer* player : waiting) {
                if (players.contains(player))
                    player->fileDecoded(path);
            }
        },
        Qt::QueuedConnection);
}

void SoundCore::tellNoDevice(const QString& reason, bool silent) {
    QMetaObject::invokeMethod(
        &mailbox,
        [reason, silent] {
            if (silent)
                qWarning("zorban: no sound device (%s); the game plays silently",
                         qUtf8Printable(reason));
            else
                qWarning("zorban: no sound output at all (%s); the game plays without sound",
                         qUtf8Printable(reason));
        },
        Qt::QueuedConnection);
}

void SoundCore::tellOutput(const QString& news) {
    QMetaObject::invokeMethod(
        &mailbox, [news] { qWarning("zorban: %s", qUtf8Printable(news)); }, Qt::QueuedConnection);
}

SoundEngine::SoundEngine(Output output, Opening opening) {
    std::weak_ptr<SoundCore>& shared = sharedCore();
    core_ = shared.lock();
    if (!core_) {
        core_ = std::make_shared<SoundCore>(output);
        shared = core_;
        if (opening == Opening::Soon)
            QTimer::singleShot(0, &core_->mailbox, [core = core_.get()] { core->requestOutput(); });
    }
}

void SoundEngine::openOutput() {
    CallTimer timer(*core_);
    core_->requestOutput();
}

SoundEngine::~SoundEngine() {
    // PulseAudio can hold SDL's audio thread for more than a second when the
    // device is closed soon after opening; a program that ends does not wait
    // for that. The last engine gives the device a moment to close, then lets
    // the audio thread finish on its own, and the core is kept for it (never
    // freed: the process is ending, or one core is left behind).
    if (core_.use_count() == 1 && !core_->stopWithin(kCloseWait)) {
        // Held from a static pointer, so that no destructor at exit waits for it.
        static auto* const keptForTheAudioThread = new std::vector<std::shared_ptr<SoundCore>>;
        keptForTheAudioThread->push_back(std::move(core_));
    }
}

std::unique_ptr<SoundPlayer> SoundEngine::createPlayer() const {
    return std::make_unique<EngineSoundPlayer>(core_);
}

void SoundEngine::preload(const QStringList& paths) {
    CallTimer timer(*core_);
    for (const QString& path : paths) {
        const FileStamp file = stampOf(path);
        if (file.isFile)
            static_cast<void>(core_->lookup(file));
    }
}

void SoundEngine::setVolume(int percent) {
    CallTimer timer(*core_);
    core_->volumePercent = std::clamp(percent, 0, 100);
    core_->applyVolume();
}

int SoundEngine::volume() const {
    return core_->volumePercent;
}

void SoundEngine::setMuted(bool muted) {
    CallTimer timer(*core_);
    core_->muted = muted;
    core_->applyVolume();
}

bool SoundEngine::isMuted() const {
    return core_->muted;
}

std::chrono::nanoseconds SoundEngine::longestCall() const {
    return std::chrono::nanoseconds(core_->longestCallNs.load());
}

} // namespace media
