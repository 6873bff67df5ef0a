#include "platform/sdl_multimedia.h"

#include <string>

#ifdef _WIN32

#include <windows.h>
#include <mmsystem.h>
#ifdef _MSC_VER
#pragma comment(lib, "winmm.lib")
#endif

// The system's own interface; note that mciExecute reports a failure in a message box of its own.
namespace ladoslov {

struct SdlMultimedia::Device {};

SdlMultimedia::SdlMultimedia() = default;
SdlMultimedia::~SdlMultimedia() = default;

bool SdlMultimedia::execute(std::string_view command) {
    try {
        const std::string text(command);
        return mciExecute(text.c_str()) != FALSE;
    } catch (...) {
        return false;
    }
}

}  // namespace ladoslov

#else

#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>
#include <thread>
#include <vector>

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

using Bytes = std::vector<unsigned char>;

// Up to `count` bytes of the file from `offset`; fewer at its end, none when it cannot be read.
Bytes readBytes(const std::string& path, std::uint64_t offset, std::size_t count) {
    std::ifstream in(path, std::ios::binary);
    Bytes bytes(count);
    if (!in.seekg(static_cast<std::streamoff>(offset))) return {};
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

bool startsWith(const Bytes& bytes, std::size_t at, std::string_view text) {
    if (bytes.size() < at + text.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (bytes[at + i] != static_cast<unsigned char>(text[i])) return false;
    return true;
}

std::uint32_t bigEndian(const Bytes& bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = 0; i < width; ++i) value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

// A variable-length quantity of at most four bytes, advancing `at`; nullopt when it runs past `end`.
std::optional<std::uint32_t> readVarLength(const Bytes& bytes, std::size_t& at, std::size_t end) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        if (at >= end) return std::nullopt;
        const unsigned char b = bytes[at++];
        value = value << 7 | (b & 0x7Fu);
        if (!(b & 0x80u)) return value;
    }
    return std::nullopt;
}

bool isWellFormedTrack(const Bytes& bytes, std::size_t at, std::size_t end) {
    unsigned char running = 0;
    while (at < end) {
        if (!readVarLength(bytes, at, end) || at >= end) return false;
        unsigned char status = bytes[at];
        if (status & 0x80u) {
            ++at;
        } else if (running) {
            status = running;
        } else {
            return false;
        }
        if (status == 0xFF || status == 0xF0 || status == 0xF7) {
            if (status == 0xFF) {
                if (at >= end) return false;
                ++at;  // meta type
            }
            const auto length = readVarLength(bytes, at, end);
            if (!length || *length > end - at) return false;
            at += *length;
            running = 0;
        } else if (status >= 0xF0) {
            return false;  // system common and real-time messages have no place in a file
        } else {
            running = status;
            const std::size_t dataBytes = (status & 0xF0u) == 0xC0 || (status & 0xF0u) == 0xD0 ? 1 : 2;
            if (dataBytes > end - at) return false;
            for (std::size_t i = 0; i < dataBytes; ++i)
                if (bytes[at + i] & 0x80u) return false;
            at += dataBytes;
        }
    }
    return true;
}

// FluidSynth takes any bytes for a song and plays silence, so the file's structure is checked here.
bool isWellFormedMidi(const Bytes& bytes) {
    if (!startsWith(bytes, 0, "MThd") || bytes.size() < 14) return false;
    const std::uint32_t headerLength = bigEndian(bytes, 4, 4);
    const std::uint32_t format = bigEndian(bytes, 8, 2);
    const std::uint32_t tracks = bigEndian(bytes, 10, 2);
    const std::uint32_t division = bigEndian(bytes, 12, 2);
    if (headerLength < 6 || headerLength > bytes.size() - 8 || format > 2 || tracks == 0 || division == 0)
        return false;
    std::size_t at = 8 + headerLength;
    std::uint32_t found = 0;
    while (found < tracks && bytes.size() - at >= 8) {
        const std::uint32_t length = bigEndian(bytes, at + 4, 4);
        const std::size_t body = at + 8;
        if (length > bytes.size() - body) return false;
        if (startsWith(bytes, at, "MTrk")) {
            if (!isWellFormedTrack(bytes, body, body + length)) return false;
            ++found;
        }
        at = body + length;
    }
    return found == tracks;
}

// The length of the MPEG audio frame whose header starts at `at`, or 0 for no valid header.
std::size_t mpegFrameLength(const Bytes& bytes, std::size_t at) {
    if (bytes.size() < at + 4 || bytes[at] != 0xFF || (bytes[at + 1] & 0xE0u) != 0xE0) return 0;
    const unsigned version = bytes[at + 1] >> 3 & 3u;  // 3: MPEG-1, 2: MPEG-2, 0: MPEG-2.5
    const unsigned layer = bytes[at + 1] >> 1 & 3u;    // 3: I, 2: II, 1: III
    const unsigned bitrateIndex = bytes[at + 2] >> 4;
    const unsigned rateIndex = bytes[at + 2] >> 2 & 3u;
    const unsigned padding = bytes[at + 2] >> 1 & 1u;
    if (version == 1 || layer == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3 ||
        (bytes[at + 3] & 3u) == 2)
        return 0;
    static constexpr std::uint16_t kbps[5][14] = {
        {32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // MPEG-1 layer I
        {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // MPEG-1 layer II
        {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // MPEG-1 layer III
        {32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // MPEG-2 layer I
        {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // MPEG-2 layers II, III
    };
    static constexpr std::uint32_t mpeg1Rates[3] = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    const std::size_t table = mpeg1 ? 3 - layer : (layer == 3 ? 3 : 4);
    const std::uint32_t bitrate = kbps[table][bitrateIndex - 1] * 1000u;
    const std::uint32_t rate = mpeg1Rates[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
    if (layer == 3) return (12 * bitrate / rate + padding) * 4;
    const std::uint32_t factor = layer == 1 && !mpeg1 ? 72 : 144;
    return factor * bitrate / rate + padding;
}

// An ID3v2 tag, if any, then two consecutive MPEG frame headers within the first 64 KiB of audio.
// Checked here because the decoder reports its trouble with other data on the standard error.
bool looksLikeMpegAudio(const std::string& path, const Bytes& head) {
    std::uint64_t audioStart = 0;
    if (startsWith(head, 0, "ID3") && head.size() >= 10) {
        std::uint32_t tagSize = 0;
        for (std::size_t i = 6; i < 10; ++i) {
            if (head[i] & 0x80u) return false;
            tagSize = tagSize << 7 | head[i];
        }
        audioStart = 10 + std::uint64_t{tagSize} + (head[5] & 0x10u ? 10 : 0);
    }
    const Bytes audio = readBytes(path, audioStart, 64 * 1024 + 8 * 1024);
    for (std::size_t at = 0; at < 64 * 1024 && at + 4 <= audio.size(); ++at) {
        const std::size_t length = mpegFrameLength(audio, at);
        if (length == 0) continue;
        const std::size_t next = at + length;
        if (mpegFrameLength(audio, next) != 0 && (audio[next + 1] & 0xFEu) == (audio[at + 1] & 0xFEu) &&
            (audio[next + 2] & 0x0Cu) == (audio[at + 2] & 0x0Cu))
            return true;
    }
    return false;
}

// The kind of a tune file judged by its content, as the extension may lie; nullopt for anything that
// is not a plausible MIDI, WAV or MP3 file.
std::optional<Mix_MusicType> tuneType(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    const Bytes head = readBytes(path, 0, 16);
    if (startsWith(head, 0, "MThd")) {
        constexpr std::uintmax_t largestMidi = 16 * 1024 * 1024;
        const std::uintmax_t size = std::filesystem::file_size(path, ec);
        if (ec || size > largestMidi) return std::nullopt;
        if (!isWellFormedMidi(readBytes(path, 0, static_cast<std::size_t>(size)))) return std::nullopt;
        return MUS_MID;
    }
    if (startsWith(head, 0, "RIFF") && startsWith(head, 8, "WAVE")) return MUS_WAV;
    if (looksLikeMpegAudio(path, head)) return MUS_MP3;
    return std::nullopt;
}

void discardLog(void*, int, SDL_LogPriority, const char*) {}

void discardAlsaError(const char*, int, const char*, int, const char*, ...) {}

// Without a sound card ALSA writes its complaints to the standard error. SDL loads the library itself;
// its error handler is process-wide, so it is set through a handle of our own that stays open (closing
// it could unload the library and lose the handler).
void silenceAlsa() {
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
void chooseSoundFont() {
    const char* fromEnvironment = std::getenv("SDL_SOUNDFONTS");
    if (fromEnvironment && *fromEnvironment) return;
    static constexpr std::array candidates{"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
                                           "/usr/share/sounds/sf2/default-GM.sf2"};
    for (const char* candidate : candidates) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(candidate, ec)) {
            Mix_SetSoundFonts(candidate);
            return;
        }
    }
}

int isReadableFile(const char* path, void*) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) && std::ifstream(path, std::ios::binary).good() ? 1 : 0;
}

// Once through, from the top.
bool playOnce(Mix_Music* tune) { return Mix_PlayMusic(tune, 0) == 0; }

Mix_Music* loadTune(const std::string& path, Mix_MusicType type) {
    SDL_RWops* source = SDL_RWFromFile(path.c_str(), "rb");
    return source ? Mix_LoadMUSType_RW(source, type, SDL_TRUE) : nullptr;
}

}  // namespace

// One tune at a time, as SDL_mixer has one music stream. A MIDI tune is loaded on a thread of its own,
// since FluidSynth reads its whole soundfont (6 to 148 MB) first, which would hold up the window for
// half a second or more; WAV and MP3 load at once.
struct SdlMultimedia::Device {
    bool ready = false;
    bool midiPrepared = false;
    // Every path once accepted for playing: like a system multimedia device it stays open to "stop".
    std::set<std::string> opened;

    std::mutex guard;               // what follows is shared with the loading thread
    Mix_Music* music = nullptr;     // the current tune, playing or not
    std::string musicPath;
    std::string loadingPath;        // a MIDI tune being loaded, or ""
    bool startWhenLoaded = false;   // false once a later command has taken its place
    std::thread loader;

    Device() {
        // The program handles its own signals; SDL would otherwise turn SIGINT/SIGTERM into quit events
        // that nobody reads.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Ladoslov");
        SDL_LogSetOutputFunction(discardLog, nullptr);
        silenceAlsa();
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
        Mix_Init(MIX_INIT_MP3);  // MIDI only when a MIDI tune comes: see prepareMidi()
        // 4096 frames, 93 ms a buffer: the mixing thread wakes half as often as with 2048, for the whole
        // run and not only while a tune plays, and the synthesiser works in larger, cheaper batches. A
        // background tune has no use for a shorter delay.
        if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 4096) != 0) {
            Mix_Quit();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return;
        }
        ready = true;
    }

    ~Device() {
        if (!ready) return;
        finishLoading();
        Mix_HaltMusic();
        if (music) Mix_FreeMusic(music);
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // The synthesiser and the choice of its soundfont are for MIDI tunes alone; an MP3 or WAV tune, the
    // shipped one included, never pays for them.
    void prepareMidi() {
        if (midiPrepared) return;
        midiPrepared = true;
        chooseSoundFont();
        Mix_Init(MIX_INIT_MID);
    }

    // Lets a load in progress run out without starting its tune. Only for commands that replace it.
    void finishLoading() {
        std::unique_lock lock(guard);
        startWhenLoaded = false;
        lock.unlock();
        if (loader.joinable()) loader.join();
    }

    bool play(const std::string& path) {
        {
            std::lock_guard lock(guard);
            if (loadingPath == path) {
                startWhenLoaded = true;  // still on its way: as good as playing
                return true;
            }
            if (music && path == musicPath) {
                startWhenLoaded = false;
                if (Mix_PlayingMusic()) return true;
                return playOnce(music);
            }
        }
        const std::optional<Mix_MusicType> type = tuneType(path);
        if (!type) return false;
        if (*type == MUS_MID) {
            prepareMidi();
            if (!Mix_EachSoundFont(isReadableFile, nullptr)) return false;
        }
        finishLoading();  // SDL_mixer loads one thing at a time

        std::lock_guard lock(guard);
        if (*type == MUS_MID) {
            opened.insert(path);
            // The thread hands its tune over under the guard, so it waits for this state to be set.
            loader = std::thread([this, path] { loaded(path, loadTune(path, MUS_MID)); });
            Mix_HaltMusic();  // the new tune replaces the old one now, not when it is ready
            loadingPath = path;
            startWhenLoaded = true;
            return true;
        }
        Mix_Music* tune = loadTune(path, *type);
        if (!tune) return false;
        if (!start(path, tune)) return false;
        opened.insert(path);
        return true;
    }

    // On the loading thread.
    void loaded(const std::string& path, Mix_Music* tune) {
        std::lock_guard lock(guard);
        loadingPath.clear();
        if (!tune) return;
        if (!startWhenLoaded) {
            Mix_FreeMusic(tune);
            return;
        }
        start(path, tune);
    }

    // With the guard held; takes the tune.
    bool start(const std::string& path, Mix_Music* tune) {
        if (!playOnce(tune)) {
            Mix_FreeMusic(tune);
            return false;
        }
        if (music) Mix_FreeMusic(music);  // already replaced, so no longer playing
        music = tune;
        musicPath = path;
        return true;
    }

    bool stop(const std::string& path) {
        if (!opened.contains(path)) return false;
        std::lock_guard lock(guard);
        if (loadingPath == path) startWhenLoaded = false;
        if (music && path == musicPath) Mix_HaltMusic();
        return true;
    }
};

SdlMultimedia::SdlMultimedia() = default;
SdlMultimedia::~SdlMultimedia() = default;

bool SdlMultimedia::execute(std::string_view command) {
    try {
        const std::optional<Command> parsed = parse(command);
        if (!parsed) return false;
        if (parsed->verb == Verb::Stop) return device_ && device_->ready && device_->stop(parsed->path);
        // A failed start is not retried: without a sound device every later attempt would fail alike.
        if (!device_) device_ = std::make_unique<Device>();
        return device_->ready && device_->play(parsed->path);
    } catch (...) {
        return false;
    }
}

}  // namespace ladoslov

#endif
