#include "sound/sdl_mixer_library.h"

#include <dlfcn.h>


namespace ladoslov {

namespace {

template <typename Function>
bool bind(void* library, const char* name, Function& slot) {
    slot = reinterpret_cast<Function>(dlsym(library, name));
    return slot != nullptr;
}

SdlMixerLibrary* load() {
    // Never closed: FluidSynth may leave threads and handlers behind that outlive a dlclose.
    void* library = dlopen("libSDL2_mixer-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library) return nullptr;
    static SdlMixerLibrary mixer;
    SdlMixerLibrary& m = mixer;
    const bool complete = bind(library, "Mix_Init", m.Init) && bind(library, "Mix_Quit", m.Quit) &&
                          bind(library, "Mix_OpenAudio", m.OpenAudio) &&
                          bind(library, "Mix_CloseAudio", m.CloseAudio) &&
                          bind(library, "Mix_LoadMUSType_RW", m.LoadMUSType_RW) &&
                          bind(library, "Mix_FreeMusic", m.FreeMusic) && bind(library, "Mix_PlayMusic", m.PlayMusic) &&
                          bind(library, "Mix_HaltMusic", m.HaltMusic) &&
                          bind(library, "Mix_PlayingMusic", m.PlayingMusic) &&
                          bind(library, "Mix_SetSoundFonts", m.SetSoundFonts) &&
                          bind(library, "Mix_EachSoundFont", m.EachSoundFont);
    return complete ? &mixer : nullptr;
}

}  // namespace

const SdlMixerLibrary* SdlMixerLibrary::get() {
    static SdlMixerLibrary* const loaded = load();
    return loaded;
}

}  // namespace ladoslov
