#pragma once

#include "sound_player.h"

#include <QStringList>
#include <chrono>
#include <memory>

namespace media {

struct SoundCore;

// The game's sound output. A thread of its own opens the audio device (SDL2)
// and decodes every file once into memory (libmpg123 for MP3); SDL's audio
// thread mixes the players' clips. The players time their clips on the game's
// monotonic clock from the decoded lengths. No call from the window's thread waits on the audio
// device: it posts work to that thread and reads only what that thread has already published.
//
// There is one output per process: engines made while another is alive share
// it (and the output chosen by the first).
class SoundEngine final {
  public:
    enum class Output {
        // The system's sound device. Without one the game plays silently with the
        // same timing, and one line on stderr says so. A device (or sound server)
        // that goes away, or appears later, is followed within a few seconds: each
        // playing clip sounds again where the game's clock has it.
        Device,
        // Silence with the same timing, chosen on purpose (tests, benchmarks):
        // the device is not tried and nothing is said.
        Silent,
    };

    // When the device is opened and the files decoded: both take the processor
    // for tens of milliseconds.
    enum class Opening {
        // On the first turn of the event loop.
        Soon,
        // Once openOutput() is called or a clip is first started: a program can
        // draw its first window undisturbed, and open the output after.
        WhenAsked,
    };

    explicit SoundEngine(Output output = Output::Device, Opening opening = Opening::Soon);
    ~SoundEngine();
    SoundEngine(const SoundEngine&) = delete;
    SoundEngine& operator=(const SoundEngine&) = delete;

    // A player with a mixer channel of its own: the clips of different players
    // sound together.
    [[nodiscard]] std::unique_ptr<SoundPlayer> createPlayer() const;

    // Decodes these files in the background, once the output is open, so that
    // they start without delay when first played; each is looked at on a turn
    // of the event loop of its own. Files that are not there are skipped.
    void preload(const QStringList& paths);
    // Lets a decoded file go: its memory is freed once no player plays it, and
    // it is decoded again when next played.
    void release(const QString& path);
    // Opens the output now if it was held back (Opening::WhenAsked).
    void openOutput();

    // Master volume in percent (0..100) and mute, for every player at once.
    void setVolume(int percent);
    [[nodiscard]] int volume() const;
    void setMuted(bool muted);
    [[nodiscard]] bool isMuted() const;

    // The longest time any one call from the window's thread into the engine or
    // its players has taken so far.
    [[nodiscard]] std::chrono::nanoseconds longestCall() const;

  private:
    std::shared_ptr<SoundCore> core_;
};

} // namespace media
