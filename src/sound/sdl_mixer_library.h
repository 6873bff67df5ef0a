#pragma once
// SDL_mixer, loaded only when a tune needs it (MIDI or WAV). Linked in, it would bring FluidSynth and a
// dozen codec libraries into every run, several megabytes, for the shipped MP3 tune that uses none.

#include <SDL_mixer.h>

namespace ladoslov {

struct SdlMixerLibrary {
    decltype(&Mix_Init) Init = nullptr;
    decltype(&Mix_Quit) Quit = nullptr;
    decltype(&Mix_OpenAudio) OpenAudio = nullptr;
    decltype(&Mix_CloseAudio) CloseAudio = nullptr;
    decltype(&Mix_LoadMUSType_RW) LoadMUSType_RW = nullptr;
    decltype(&Mix_FreeMusic) FreeMusic = nullptr;
    decltype(&Mix_PlayMusic) PlayMusic = nullptr;
    decltype(&Mix_HaltMusic) HaltMusic = nullptr;
    decltype(&Mix_PlayingMusic) PlayingMusic = nullptr;
    decltype(&Mix_SetSoundFonts) SetSoundFonts = nullptr;
    decltype(&Mix_EachSoundFont) EachSoundFont = nullptr;

    // The system's library, loaded at the first call and kept to the end of the process; nullptr when
    // it is missing or lacks a function.
    static const SdlMixerLibrary* get();
};

}  // namespace ladoslov
