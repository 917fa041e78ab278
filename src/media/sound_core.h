#pragma once

// The inside of the sound engine, shared by the engine and its players. Not for
// use outside src/media.

#include "sound_engine.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace media {

struct SdlLibrary;

class EngineSoundPlayer;

// A file as it is on disk now: where it is, and what tells a changed file apart.
struct FileStamp {
    bool isFile = false;
    QString absolutePath;
    qint64 size = -1;
    qint64 modifiedNs = -1;
};
// One stat() call: cheap enough for the window's thread at every clip.
[[nodiscard]] FileStamp stampOf(const QString& path);

// What the engine knows of one file, by its absolute path. A file whose size or
// modification time has changed since is decoded again.
struct DecodedClip {
    enum class State { Decoding, Ready, Unplayable };
    State state = State::Decoding;
    qint64 size = -1;
    qint64 modifiedNs = -1;
    // The decoded sound, as the audio thread knows it; 0 while none.
    quint64 id = 0;
    double lengthMs = 0;
};

// What the window's thread asks of the audio thread, in order.
struct SoundCommand {
    enum class Kind { Decode, Forget, Play, Halt, Expire, Channels, Volume };
    Kind kind = Kind::Halt;
    int channel = -1;
    quint64 clipId = 0;
    bool loop = false;
    // Decode and Forget: the file; Expire: milliseconds left; Channels: how many; Volume: 0..128.
    FileStamp file;
    int value = 0;
    // On the game's clock (steady_clock, nanoseconds): Play: when the clip
    // started; Expire: when it is to end.
    qint64 clockNs = 0;
};

// What a channel is to play by the game's clock, kept so that a sound output
// opened anew takes each voice up where the clock has it.
struct ChannelPlan {
    quint64 clipId = 0; // 0: nothing
    bool loop = false;
    qint64 startedAtNs = 0;
    qint64 endsAtNs = -1; // -1: no end set
};

// What the sound output plays: one voice per mixer channel, summed into the
// output at a master volume. Filled on SDL's audio thread.
struct Mixer {
    static constexpr int kFullVolume = 128;
    struct Voice {
        std::shared_ptr<const std::vector<int16_t>> samples; // none: silent
        size_t position = 0;
        bool loop = false;
        qint64 framesLeft = -1; // until the voice is cut off; -1: no limit
    };
    std::vector<Voice> voices;
    int volume = kFullVolume;

    // SDL's audio callback.
    static void fill(void* mixer, uint8_t* stream, int bytes);
    void mix(int16_t* out, int frames);
    static void addVoice(Voice& voice, int32_t* sum, int frames);
};

// The commands of the window's thread, handed to the audio thread without a
// lock: pushed onto an atomic list and taken all at once, the audio thread
// woken through an eventfd. The window's thread never waits here, whatever the
// audio thread is doing or however long it is kept off the processor.
class CommandQueue final {
  public:
    CommandQueue();
    ~CommandQueue();
    CommandQueue(const CommandQueue&) = delete;
    CommandQueue& operator=(const CommandQueue&) = delete;

    // Any thread.
    void push(SoundCommand command);
    // Wakes the audio thread (from wait()) with nothing new to take.
    void wake();
    // Audio thread: every command pushed so far, in the order pushed.
    [[nodiscard]] std::deque<SoundCommand> takeAll();
    // Audio thread: returns once woken (or woken since the last wait), or at
    // the deadline when one is given.
    void wait(const std::chrono::steady_clock::time_point* deadline);

  private:
    struct Node {
        SoundCommand command;
        Node* next = nullptr;
    };
    std::atomic<Node*> newest_{nullptr};
    int wakeFd_ = -1;
};

struct SoundCore final {
    explicit SoundCore(SoundEngine::Output output);
    // Ends the audio thread and waits for it, unless stopWithin() has already.
    ~SoundCore();
    // Ends the audio thread, waiting at most wait for it to close the device.
    // Returns false when it has not by then: the thread is let go and closes
    // the device on its own; the core must then outlive it (never be deleted).
    [[nodiscard]] bool stopWithin(std::chrono::milliseconds wait);

    // Window's thread.
    void post(SoundCommand command);
    // The clip for a file as it is on disk now: starts decoding it when it is
    // not known or has changed. Never waits for the decoding.
    [[nodiscard]] DecodedClip lookup(const FileStamp& file);
    [[nodiscard]] int takeChannel();
    void releaseChannel(int channel);
    void addPlayer(EngineSoundPlayer* player) { players.insert(player); }
    void removePlayer(EngineSoundPlayer* player) { players.remove(player); }
    void noteCall(std::chrono::nanoseconds spent);
    void applyVolume();

    // Lets the audio thread open the device and carry out the commands posted
    // so far and from now on. Window's thread; only the first call counts.
    void requestOutput();
    // What the audio thread made of a file, on the window's thread.
    void takeDecoded(const QString& path, const DecodedClip& clip);

    // Audio thread.
    void run();
    void openOutput();
    // Opens SDL's audio with the driver the hints name, paused; false with SDL's
    // reason in its error.
    bool openDevice();
    void closeDevice();
    // Watches the system's sound output: notices a lost one, and opens it again
    // once it is there.
    [[nodiscard]] bool watchesOutput() const;
    void watchOutput();
    // Sets every voice where the game's clock has it now.
    void resumeVoices();
    void execute(const SoundCommand& command);
    void decode(const SoundCommand& command);
    // The mixer is read by SDL's audio thread while a device is open: changed
    // only while it waits.
    void lockMixer();
    void unlockMixer();
    // Hands a decoded file and its news to the window's thread.
    void tell(const QString& path, const DecodedClip& clip, const QString& problem, bool cutShort);
    // silent: the clips are still timed and decoded, without a device.
    void tellNoDevice(const QString& reason, bool silent);
    void tellOutput(const QString& news);

    const SoundEngine::Output output;

    // Window's thread only.
    QObject mailbox; // news from the audio thread arrives here, queued
    QSet<EngineSoundPlayer*> players;
    std::vector<bool> channelsTaken;
    int allocatedChannels = 0;
    int volumePercent = 100;
    bool muted = false;
    bool outputAsked = false;
    std::atomic<qint64> longestCallNs{0};

    // What the engine knows of each file; written only here, with what the
    // audio thread tells of its decoding.
    QHash<QString, DecodedClip> cache;

    // Shared, without locks.
    CommandQueue commands;
    // Stops the audio thread, also between the commands of a batch: a program
    // that quits while its sounds are still being decoded does not wait for the
    // rest of them.
    std::atomic<bool> quitting{false};
    std::atomic<bool> outputRequested{false};

    // Only for ending: the audio thread has closed the device and SDL.
    std::mutex finishedMutex;
    std::condition_variable finishedReady;
    bool finished = false;

    // Audio thread only.
    const SdlLibrary* sdl = nullptr; // once the output is asked for; null without SDL2
    bool deviceOpen = false;         // the system's device or SDL's dummy one
    bool onSystemOutput = false;     // the open device is the system's
    uint32_t device = 0;             // SDL's audio device
    QString openProblem;             // why the last try to open one failed
    std::chrono::steady_clock::time_point nextWatch;
    Mixer mixer;
    std::vector<ChannelPlan> plans; // by channel, as the mixer's voices
    quint64 nextClipId = 1;
    QHash<quint64, std::shared_ptr<const std::vector<int16_t>>> chunks; // decoded clips by id
    QHash<QString, quint64> chunkOfFile; // by absolute path: the clip decoded last

    std::thread thread;
};

// A moment on the game's clock, as the players and the mixer's plans hold it.
[[nodiscard]] inline qint64 clockNs(std::chrono::steady_clock::time_point at) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count();
}

enum class SoundProblem { Missing, Unplayable, CutShort };
// One line on stderr per damaged file for the whole run, naming its first problem.
// Window's thread.
void reportOnce(SoundProblem problem, const QString& path, const QString& detail = {});

// Times one call from the window's thread into the engine.
class CallTimer {
  public:
    explicit CallTimer(SoundCore& core) : core_(core), start_(std::chrono::steady_clock::now()) {}
    ~CallTimer() { core_.noteCall(std::chrono::steady_clock::now() - start_); }
    CallTimer(const CallTimer&) = delete;
    CallTimer& operator=(const CallTimer&) = delete;

  private:
    SoundCore& core_;
    std::chrono::steady_clock::time_point start_;
};

} // namespace media
