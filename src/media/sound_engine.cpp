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
            queueReady.wait(lock, [this] { return quitting || !queue.empty(); });
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
    }
    if (outputOpen)
        sdl->CloseAudioDevice(device); // the mixer is no longer called
    chunks.clear();
    // Also frees the hints set while opening, which SDL keeps until it quits.
    if (sdl)
        sdl->Quit();
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
        tellNoDevice(problem);
        return;
    }
    // SDL would otherwise take SIGINT and SIGTERM for itself and turn them into
    // events nobody reads: the game would no longer end on Ctrl+C or kill.
    sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // An earlier silent output in this process may have chosen the dummy driver.
    sdl->ResetHint(SDL_HINT_AUDIODRIVER);
    auto open = [this]() -> bool {
        if (sdl->InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        SDL_AudioSpec wanted{};
        wanted.freq = kSoundRate;
        wanted.format = AUDIO_S16SYS;
        wanted.channels = 1;
        wanted.samples = kOutputBufferFrames;
        wanted.callback = &Mixer::fill;
        wanted.userdata = &mixer;
        // Exactly this format: SDL converts it to whatever the device plays.
        device = sdl->OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
        if (device != 0) {
            sdl->PauseAudioDevice(device, 0);
            return true;
        }
        sdl->QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    };
    const QuietAlsa quiet;
    if (output == SoundEngine::Output::Device && open()) {
        outputOpen = true;
    } else {
        const QString reason =
            output == SoundEngine::Output::Device ? QString::fromUtf8(sdl->GetError()) : QString();
        // The dummy driver plays into nothing in real time.
        sdl->SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        outputOpen = open();
        if (output == SoundEngine::Output::Device)
            tellNoDevice(reason);
        else if (!outputOpen)
            tellNoDevice(QString::fromUtf8(sdl->GetError()));
    }
}

void SoundCore::execute(const SoundCommand& command) {
    using Kind = SoundCommand::Kind;
    if (command.kind == Kind::Decode) {
        decode(command);
        return;
    }
    if (!outputOpen)
        return;
    // The mixer is read by SDL's audio thread: changed only while it waits.
    sdl->LockAudioDevice(device);
    std::vector<Mixer::Voice>& voices = mixer.voices;
    const bool onChannel = command.channel >= 0 && size_t(command.channel) < voices.size();
    switch (command.kind) {
    case Kind::Play:
        if (onChannel) {
            const auto chunk = chunks.constFind(command.clipId);
            Mixer::Voice voice;
            if (chunk != chunks.constEnd()) {
                voice.samples = *chunk;
                voice.loop = command.loop;
            }
            voices[size_t(command.channel)] = std::move(voice);
        }
        break;
    case Kind::Halt:
        if (onChannel)
            voices[size_t(command.channel)].samples.reset();
        break;
    case Kind::Expire:
        if (onChannel && voices[size_t(command.channel)].samples)
            voices[size_t(command.channel)].framesLeft =
                qint64(std::max(1, command.value)) * kSoundRate / 1000;
        break;
    case Kind::Channels:
        voices.resize(size_t(std::max(command.value, 0)));
        break;
    case Kind::Volume:
        mixer.volume = std::clamp(command.value, 0, Mixer::kFullVolume);
        break;
    case Kind::Decode:
        break;
    }
    sdl->UnlockAudioDevice(device);
}

void SoundCore::decode(const SoundCommand& command) {
    DecodedClip clip;
    clip.size = command.file.size;
    clip.modifiedNs = command.file.modifiedNs;
    clip.state = DecodedClip::State::Unplayable;
    QString problem;
    bool cutShort = false;
    // Without any output (said once already) every clip counts as ended at once.
    if (outputOpen) {
        DecodedSound sound = decodeSound(command.file.absolutePath);
        problem = sound.problem;
        cutShort = sound.cutShort;
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
        if (old && outputOpen) {
            sdl->LockAudioDevice(device);
            for (Mixer::Voice& voice : mixer.voices) {
                if (voice.samples == old)
                    voice.samples.reset();
            }
            sdl->UnlockAudioDevice(device);
        }
    }
    tell(command.file.absolutePath, outputOpen ? problem : QString(), cutShort);
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

void SoundCore::tellNoDevice(const QString& reason) {
    const bool silent = outputOpen;
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
    if (core_.use_count() == 1 && !core_->stopWithin(kCloseWait))
        static_cast<void>(new std::shared_ptr<SoundCore>(std::move(core_)));
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
