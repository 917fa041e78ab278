#include "sound_engine.h"

#include "engine_sound_player.h"
#include "sound_core.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QSet>
#include <QTimer>
#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <dlfcn.h>
#include <sys/stat.h>

namespace media {

namespace {

constexpr int kOutputRate = 44100;
// Mono: every sound of the game is. A stereo file is mixed down when decoded;
// stereo would keep each decoded sound twice as large in memory.
constexpr int kOutputChannels = 1;
// About 23 ms at 44.1 kHz: short enough for a click to sound at once.
constexpr int kOutputBufferFrames = 1024;
constexpr int kInitialMixerChannels = 4;
// A decoded clip this much shorter than the length its header declares was cut short.
constexpr double kCutShortToleranceMs = 5;

std::weak_ptr<SoundCore>& sharedCore() {
    static std::weak_ptr<SoundCore> core;
    return core;
}

Mix_Chunk* asChunk(void* chunk) {
    return static_cast<Mix_Chunk*>(chunk);
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

SoundCore::SoundCore(SoundEngine::Output chosenOutput) : output(chosenOutput) {
    thread = std::thread([this] { run(); });
}

SoundCore::~SoundCore() {
    {
        std::lock_guard<std::mutex> lock(queueMutex);
        quitting = true;
    }
    queueReady.notify_one();
    thread.join();
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
    volume.value = muted ? 0 : (volumePercent * MIX_MAX_VOLUME + 50) / 100;
    post(std::move(volume));
}

void SoundCore::requestOutput() {
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
        for (const SoundCommand& command : batch)
            execute(command);
        batch.clear();
    }
    if (outputOpen) {
        Mix_HaltChannel(-1);
        for (void* chunk : std::as_const(chunks))
            Mix_FreeChunk(asChunk(chunk));
        chunks.clear();
        Mix_CloseAudio();
        Mix_Quit();
    }
    // Also frees the hints set while opening, which SDL keeps until it quits.
    SDL_Quit();
}

void SoundCore::openOutput() {
    // SDL would otherwise take SIGINT and SIGTERM for itself and turn them into
    // events nobody reads: the game would no longer end on Ctrl+C or kill.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // An earlier silent output in this process may have chosen the dummy driver.
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    auto open = [this]() -> bool {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        if (Mix_OpenAudio(kOutputRate, AUDIO_S16SYS, kOutputChannels, kOutputBufferFrames) == 0)
            return true;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    };
    const QuietAlsa quiet;
    if (output == SoundEngine::Output::Device && open()) {
        outputOpen = true;
    } else {
        const QString reason =
            output == SoundEngine::Output::Device ? QString::fromUtf8(SDL_GetError()) : QString();
        // The dummy driver plays into nothing in real time.
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        outputOpen = open();
        if (output == SoundEngine::Output::Device)
            tellNoDevice(reason);
        else if (!outputOpen)
            tellNoDevice(QString::fromUtf8(SDL_GetError()));
    }
    if (!outputOpen)
        return;
    Mix_Init(MIX_INIT_MP3 | MIX_INIT_OGG | MIX_INIT_FLAC);
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    outputRate = rate;
    outputBytesPerFrame = channels * static_cast<int>(SDL_AUDIO_BITSIZE(format) / 8);
}

void SoundCore::execute(const SoundCommand& command) {
    using Kind = SoundCommand::Kind;
    if (command.kind == Kind::Decode) {
        decode(command);
        return;
    }
    if (!outputOpen)
        return;
    switch (command.kind) {
    case Kind::Play: {
        const auto chunk = chunks.constFind(command.clipId);
        if (chunk != chunks.constEnd())
            Mix_PlayChannel(command.channel, asChunk(*chunk), command.loop ? -1 : 0);
        else
            Mix_HaltChannel(command.channel);
        break;
    }
    case Kind::Halt:
        if (command.channel < Mix_AllocateChannels(-1))
            Mix_HaltChannel(command.channel);
        break;
    case Kind::Expire:
        Mix_ExpireChannel(command.channel, std::max(1, command.value));
        break;
    case Kind::Channels:
        Mix_AllocateChannels(command.value);
        break;
    case Kind::Volume:
        Mix_MasterVolume(command.value);
        break;
    case Kind::Decode:
        break;
    }
}

void SoundCore::decode(const SoundCommand& command) {
    DecodedClip clip;
    clip.size = command.file.size;
    clip.modifiedNs = command.file.modifiedNs;
    clip.state = DecodedClip::State::Unplayable;
    QString problem;
    bool cutShort = false;
    const QByteArray path = QFile::encodeName(command.file.absolutePath);
    if (!outputOpen) {
        // Said once already: every clip counts as ended at once.
    } else if (Mix_Chunk* chunk = Mix_LoadWAV(path.constData())) {
        const double lengthMs = outputBytesPerFrame > 0 && outputRate > 0
                                    ? 1000.0 * chunk->alen / outputBytesPerFrame / outputRate
                                    : 0;
        if (lengthMs <= 0) {
            Mix_FreeChunk(chunk);
            problem = QStringLiteral("no sound in the file");
        } else {
            clip.state = DecodedClip::State::Ready;
            clip.id = nextClipId++;
            clip.lengthMs = lengthMs;
            chunks.insert(clip.id, chunk);
            // The decoder's idea of the whole length, from the file's header: a file
            // that decodes to much less was cut short.
            if (Mix_Music* music = Mix_LoadMUS(path.constData())) {
                const double declaredMs = Mix_MusicDuration(music) * 1000;
                cutShort = declaredMs > lengthMs + kCutShortToleranceMs;
                Mix_FreeMusic(music);
            }
        }
    } else {
        problem = QString::fromUtf8(Mix_GetError());
    }

    quint64 replaced = 0;
    {
        std::lock_guard<std::mutex> lock(cacheMutex);
        DecodedClip& entry = cache[command.file.absolutePath];
        replaced = entry.id;
        entry = clip;
    }
    // A sound decoded anew replaces the old one; freeing it also silences any
    // channel still playing it.
    if (replaced != 0 && replaced != clip.id) {
        if (void* old = chunks.take(replaced))
            Mix_FreeChunk(asChunk(old));
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

SoundEngine::SoundEngine(Output output) {
    std::weak_ptr<SoundCore>& shared = sharedCore();
    core_ = shared.lock();
    if (!core_) {
        core_ = std::make_shared<SoundCore>(output);
        shared = core_;
        // Opening the device and decoding take the processor for tens of
        // milliseconds: they start on the first turn of the event loop, once the
        // program has built and shown its window.
        QTimer::singleShot(0, &core_->mailbox, [core = core_.get()] { core->requestOutput(); });
    }
}

SoundEngine::~SoundEngine() = default;

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
