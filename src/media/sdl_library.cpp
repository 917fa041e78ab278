#include "sdl_library.h"

#include <dlfcn.h>
#include <type_traits>

namespace media {

namespace {

// The name Debian's libsdl2-2.0-0 installs, the same for every SDL 2 release.
constexpr char kSdlFile[] = "libSDL2-2.0.so.0";

struct Loaded {
    SdlLibrary functions{};
    bool complete = false;
    QString problem;
};

Loaded load() {
    Loaded loaded;
    void* library = dlopen(kSdlFile, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        loaded.problem = QString::fromLocal8Bit(dlerror());
        return loaded;
    }
    auto resolve = [&](auto& function, const char* name) {
        function =
            reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
        if (!function && loaded.problem.isEmpty())
            loaded.problem =
                QStringLiteral("%1 has no %2").arg(QLatin1String(kSdlFile), QLatin1String(name));
    };
    SdlLibrary& f = loaded.functions;
    resolve(f.GetError, "SDL_GetError");
    resolve(f.SetHint, "SDL_SetHint");
    resolve(f.SetHintWithPriority, "SDL_SetHintWithPriority");
    resolve(f.ResetHint, "SDL_ResetHint");
    resolve(f.InitSubSystem, "SDL_InitSubSystem");
    resolve(f.QuitSubSystem, "SDL_QuitSubSystem");
    resolve(f.Quit, "SDL_Quit");
    resolve(f.OpenAudioDevice, "SDL_OpenAudioDevice");
    resolve(f.PauseAudioDevice, "SDL_PauseAudioDevice");
    resolve(f.CloseAudioDevice, "SDL_CloseAudioDevice");
    resolve(f.GetAudioDeviceStatus, "SDL_GetAudioDeviceStatus");
    resolve(f.GetCurrentAudioDriver, "SDL_GetCurrentAudioDriver");
    resolve(f.LockAudioDevice, "SDL_LockAudioDevice");
    resolve(f.UnlockAudioDevice, "SDL_UnlockAudioDevice");
    resolve(f.RWFromConstMem, "SDL_RWFromConstMem");
    resolve(f.LoadWAV_RW, "SDL_LoadWAV_RW");
    resolve(f.FreeWAV, "SDL_FreeWAV");
    resolve(f.NewAudioStream, "SDL_NewAudioStream");
    resolve(f.AudioStreamPut, "SDL_AudioStreamPut");
    resolve(f.AudioStreamFlush, "SDL_AudioStreamFlush");
    resolve(f.AudioStreamAvailable, "SDL_AudioStreamAvailable");
    resolve(f.AudioStreamGet, "SDL_AudioStreamGet");
    resolve(f.FreeAudioStream, "SDL_FreeAudioStream");
    resolve(f.PumpEvents, "SDL_PumpEvents");
    resolve(f.PollEvent, "SDL_PollEvent");
    resolve(f.GameControllerOpen, "SDL_GameControllerOpen");
    resolve(f.GameControllerClose, "SDL_GameControllerClose");
    resolve(f.GameControllerGetJoystick, "SDL_GameControllerGetJoystick");
    resolve(f.GameControllerName, "SDL_GameControllerName");
    resolve(f.JoystickInstanceID, "SDL_JoystickInstanceID");
    loaded.complete = loaded.problem.isEmpty();
    if (!loaded.complete)
        dlclose(library);
    return loaded;
}

} // namespace

std::recursive_mutex& sdlSetupMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

const SdlLibrary* sdlLibrary(QString* problem) {
    static const Loaded loaded = load();
    if (problem)
        *problem = loaded.problem;
    return loaded.complete ? &loaded.functions : nullptr;
}

} // namespace media
