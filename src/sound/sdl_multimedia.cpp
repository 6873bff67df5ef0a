#include "sound/sdl_multimedia.h"

#include <SDL.h>
#include <dlfcn.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <thread>

#include "sound/mp3_output.h"
#include "sound/sdl_mixer_library.h"
#include "sound/tune_format.h"

namespace ladoslov {

namespace {

enum class Verb { Play, Stop };

struct Command {
    Verb verb;
    std::string path;
};

bool equalsIgnoringCase(std::string_view text, std::string_view lowerWord) {
    if (text.size() != lowerWord.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (c != lowerWord[i]) return false;
    }
    return true;
}

// Exactly: verb, one space, the path in double quotes.
std::optional<Command> parse(std::string_view text) {
    const auto space = text.find(' ');
    if (space == std::string_view::npos) return std::nullopt;
    const std::string_view verbText = text.substr(0, space);
    const std::string_view quoted = text.substr(space + 1);
    if (quoted.size() < 3 || quoted.front() != '"' || quoted.back() != '"') return std::nullopt;
    const std::string_view path = quoted.substr(1, quoted.size() - 2);
    // A quote inside could not have come from a well-formed command; a NUL would cut the path short.
    if (path.find('"') != std::string_view::npos || path.find('\0') != std::string_view::npos) return std::nullopt;
    if (equalsIgnoringCase(verbText, "play")) return Command{Verb::Play, std::string(path)};
    if (equalsIgnoringCase(verbText, "stop")) return Command{Verb::Stop, std::string(path)};
    return std::nullopt;
}

void discardLog(void*, int, SDL_LogPriority, const char*) {}

void discardAlsaError(const char*, int, const char*, int, const char*, ...) {}

// Without a sound card ALSA writes its complaints to the standard error. SDL loads the library itself;
// its error handler is process-wide, so it is set through a handle of our own that stays open (closing
// it could unload the library and lose the handler). Not when SDL is told to use another driver only.
void silenceAlsa() {
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    if (driver && *driver && std::string_view(driver).find("alsa") == std::string_view::npos) return;
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!alsa) return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"))) set(discardAlsaError);
}

// MIDI is rendered by FluidSynth, the MIDI synthesiser of Debian's SDL_mixer that works out of the box
// (its built-in Timidity wants GUS patches and a timidity.cfg, and there is no native MIDI on Linux).
// FluidSynth needs a General MIDI soundfont; an explicit SDL_SOUNDFONTS keeps precedence. FluidSynth
// holds the whole font in memory, so the small one is preferred to the 148 MB one.
void chooseSoundFont(const SdlMixerLibrary& mix) {
    const char* fromEnvironment = std::getenv("SDL_SOUNDFONTS");
    if (fromEnvironment && *fromEnvironment) return;
    static constexpr std::array candidates{"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
                                           "/usr/share/sounds/sf2/default-GM.sf2"};
    for (const char* candidate : candidates) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(candidate, ec)) {
            mix.SetSoundFonts(candidate);
            return;
        }
    }
}

int isReadableFile(const char* path, void*) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) && std::ifstream(path, std::ios::binary).good() ? 1 : 0;
}

Mix_MusicType musicType(TuneKind kind) {
    switch (kind) {
        case TuneKind::Midi: return MUS_MID;
        case TuneKind::Wav: return MUS_WAV;
        case TuneKind::Mp3: return MUS_MP3;
    }
    return MUS_NONE;
}

// SDL_mixer's device: from the first MIDI or WAV tune on it plays every tune, one at a time, as it has
// one music stream. A MIDI tune is loaded on a thread of its own, since FluidSynth reads its whole
// soundfont (6 to 148 MB) first, which would hold up the window for half a second or more; WAV and MP3
// load at once.
class MixerDevice {
public:
    // nullptr without a device.
    static std::unique_ptr<MixerDevice> open(const SdlMixerLibrary& mix) {
        mix.Init(MIX_INIT_MP3);  // MIDI only when a MIDI tune comes: see prepareMidi()
        // 4096 frames, 93 ms a buffer, as the MP3 device: the synthesiser works in larger, cheaper batches.
        if (mix.OpenAudio(44100, AUDIO_S16SYS, 2, 4096) != 0) {
            mix.Quit();
            return nullptr;
        }
        return std::unique_ptr<MixerDevice>(new MixerDevice(mix));
    }

    ~MixerDevice() {
        finishLoading();
        mix_.HaltMusic();
        if (music_) mix_.FreeMusic(music_);
        mix_.CloseAudio();
        mix_.Quit();
    }

    MixerDevice(const MixerDevice&) = delete;
    MixerDevice& operator=(const MixerDevice&) = delete;

    // "play" for the tune it already has, loaded or on its way: whether it plays; nullopt for another.
    std::optional<bool> replay(const std::string& path) {
        std::lock_guard lock(guard_);
        if (loadingPath_ == path) {
            startWhenLoaded_ = true;  // still on its way: as good as playing
            return true;
        }
        if (!music_ || path != musicPath_) return std::nullopt;
        startWhenLoaded_ = false;
        return mix_.PlayingMusic() || playOnce(music_);
    }

    // A new tune of that kind, in place of the current one.
    bool play(const std::string& path, TuneKind kind) {
        if (kind == TuneKind::Midi) {
            prepareMidi();
            if (!mix_.EachSoundFont(isReadableFile, nullptr)) return false;
        }
        finishLoading();  // SDL_mixer loads one thing at a time

        std::lock_guard lock(guard_);
        if (kind == TuneKind::Midi) {
            // The thread hands its tune over under the guard, so it waits for this state to be set.
            loader_ = std::thread([this, path] { loaded(path, load(path, MUS_MID)); });
            mix_.HaltMusic();  // the new tune replaces the old one now, not when it is ready
            loadingPath_ = path;
            startWhenLoaded_ = true;
            return true;
        }
        Mix_Music* tune = load(path, musicType(kind));
        return tune && start(path, tune);
    }

    void stop(const std::string& path) {
        std::lock_guard lock(guard_);
        if (loadingPath_ == path) startWhenLoaded_ = false;
        if (music_ && path == musicPath_) mix_.HaltMusic();
    }

private:
    explicit MixerDevice(const SdlMixerLibrary& mix) : mix_(mix) {}

    // The synthesiser and the choice of its soundfont are for MIDI tunes alone.
    void prepareMidi() {
        if (midiPrepared_) return;
        midiPrepared_ = true;
        chooseSoundFont(mix_);
        mix_.Init(MIX_INIT_MID);
    }

    // Once through, from the top.
    bool playOnce(Mix_Music* tune) { return mix_.PlayMusic(tune, 0) == 0; }

    Mix_Music* load(const std::string& path, Mix_MusicType type) {
        SDL_RWops* source = SDL_RWFromFile(path.c_str(), "rb");
        return source ? mix_.LoadMUSType_RW(source, type, SDL_TRUE) : nullptr;
    }

    // Lets a load in progress run out without starting its tune. Only for commands that replace it.
    void finishLoading() {
        std::unique_lock lock(guard_);
        startWhenLoaded_ = false;
        lock.unlock();
        if (loader_.joinable()) loader_.join();
    }

    // On the loading thread.
    void loaded(const std::string& path, Mix_Music* tune) {
        std::lock_guard lock(guard_);
        loadingPath_.clear();
        if (!tune) return;
        if (!startWhenLoaded_) {
            mix_.FreeMusic(tune);
            return;
        }
        start(path, tune);
    }

    // With the guard held; takes the tune.
    bool start(const std::string& path, Mix_Music* tune) {
        if (!playOnce(tune)) {
            mix_.FreeMusic(tune);
            return false;
        }
        if (music_) mix_.FreeMusic(music_);  // already replaced, so no longer playing
        music_ = tune;
        musicPath_ = path;
        return true;
    }

    const SdlMixerLibrary& mix_;
    bool midiPrepared_ = false;

    std::mutex guard_;              // what follows is shared with the loading thread
    Mix_Music* music_ = nullptr;    // the current tune, playing or not
    std::string musicPath_;
    std::string loadingPath_;       // a MIDI tune being loaded, or ""
    bool startWhenLoaded_ = false;  // false once a later command has taken its place
    std::thread loader_;
};

}  // namespace

// One tune at a time. An MP3 tune, the shipped one among them, plays on a light device of its own with
// nothing but its decoder; the first MIDI or WAV tune loads SDL_mixer, which then plays every tune. One
// device is open at a time.
struct SdlMultimedia::Device {
    bool ready = false;   // SDL's audio subsystem
    bool broken = false;  // a device would not open: later attempts would fail alike
    // Every path once accepted for playing: like a system multimedia device it stays open to "stop".
    std::set<std::string> opened;
    std::unique_ptr<Mp3Output> mp3;
    std::unique_ptr<MixerDevice> mixer;

    Device() {
        // The program handles its own signals; SDL would otherwise turn SIGINT/SIGTERM into quit events
        // that nobody reads.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Ladoslov");
        SDL_LogSetOutputFunction(discardLog, nullptr);
        silenceAlsa();
        ready = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    }

    ~Device() {
        mixer.reset();
        mp3.reset();
        if (ready) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    bool play(const std::string& path) {
        if (!ready || broken) return false;
        const bool played = playOn(path);
        if (played) opened.insert(path);
        return played;
    }

    bool stop(const std::string& path) {
        if (!opened.contains(path)) return false;
        if (mixer) mixer->stop(path);
        if (mp3 && mp3->path() == path) mp3->halt();
        return true;
    }

private:
    bool playOn(const std::string& path) {
        // The tune it already has plays again only once over or stopped.
        if (mixer) {
            if (const std::optional<bool> again = mixer->replay(path)) return *again;
        } else if (mp3 && mp3->path() == path) {
            return mp3->playing() || mp3->play();
        }
        const std::optional<TuneKind> kind = tuneKindOf(path);
        if (!kind) return false;
        if (!mixer && *kind == TuneKind::Mp3) {
            if (!mp3 && !(mp3 = Mp3Output::open())) broken = true;
            return mp3 && mp3->load(path) && mp3->play();
        }
        return openMixer() && mixer->play(path, *kind);
    }

    bool openMixer() {
        if (mixer) return true;
        const SdlMixerLibrary* library = SdlMixerLibrary::get();
        if (!library) return false;
        mp3.reset();  // SDL_mixer opens a device of its own
        if (!(mixer = MixerDevice::open(*library))) broken = true;
        return mixer != nullptr;
    }
};

SdlMultimedia::SdlMultimedia() = default;
SdlMultimedia::~SdlMultimedia() = default;

bool SdlMultimedia::execute(std::string_view command) {
    try {
        const std::optional<Command> parsed = parse(command);
        if (!parsed) return false;
        if (parsed->verb == Verb::Stop) return device_ && device_->stop(parsed->path);
        if (!device_) device_ = std::make_unique<Device>();
        return device_->play(parsed->path);
    } catch (...) {
        return false;
    }
}

}  // namespace ladoslov

