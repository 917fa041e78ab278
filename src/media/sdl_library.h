#pragma once

#include <QString>
#include <SDL.h>
#include <mutex>

namespace media {

// The functions of SDL2 that the sound output uses. SDL2 is loaded when sound is
// first needed, on the sound engine's thread, rather than with the program: it
// brings two dozen libraries along (PulseAudio's and ALSA's clients, X
// extensions, codecs), whose loading would otherwise delay every start by
// milliseconds before the window can show.
struct SdlLibrary {
    decltype(&SDL_GetError) GetError;
    decltype(&SDL_SetHint) SetHint;
    decltype(&SDL_SetHintWithPriority) SetHintWithPriority;
    decltype(&SDL_ResetHint) ResetHint;
    decltype(&SDL_InitSubSystem) InitSubSystem;
    decltype(&SDL_QuitSubSystem) QuitSubSystem;
    decltype(&SDL_Quit) Quit;
    decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
    decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
    decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
    decltype(&SDL_GetAudioDeviceStatus) GetAudioDeviceStatus;
    decltype(&SDL_GetCurrentAudioDriver) GetCurrentAudioDriver;
    decltype(&SDL_LockAudioDevice) LockAudioDevice;
    decltype(&SDL_UnlockAudioDevice) UnlockAudioDevice;
    decltype(&SDL_RWFromConstMem) RWFromConstMem;
    decltype(&SDL_LoadWAV_RW) LoadWAV_RW;
    decltype(&SDL_FreeWAV) FreeWAV;
    decltype(&SDL_NewAudioStream) NewAudioStream;
    decltype(&SDL_AudioStreamPut) AudioStreamPut;
    decltype(&SDL_AudioStreamFlush) AudioStreamFlush;
    decltype(&SDL_AudioStreamAvailable) AudioStreamAvailable;
    decltype(&SDL_AudioStreamGet) AudioStreamGet;
    decltype(&SDL_FreeAudioStream) FreeAudioStream;
    // The game pads.
    decltype(&SDL_PumpEvents) PumpEvents;
    decltype(&SDL_PollEvent) PollEvent;
    decltype(&SDL_GameControllerOpen) GameControllerOpen;
    decltype(&SDL_GameControllerClose) GameControllerClose;
    decltype(&SDL_GameControllerGetJoystick) GameControllerGetJoystick;
    decltype(&SDL_GameControllerName) GameControllerName;
    decltype(&SDL_JoystickInstanceID) JoystickInstanceID;
};

// Held by every thread while it sets SDL's hints or starts or ends one of its
// parts: SDL's own counts of them are not safe from two threads at once.
[[nodiscard]] std::recursive_mutex& sdlSetupMutex();

// SDL2, loaded on the first call from any thread and kept for the life of the
// program; null when the library or one of its functions cannot be found, with
// the reason in *problem.
[[nodiscard]] const SdlLibrary* sdlLibrary(QString* problem = nullptr);

} // namespace media
