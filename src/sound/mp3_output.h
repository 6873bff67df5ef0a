#pragma once
// An MP3 tune played once from the top on an SDL audio device of its own, decoded by libmpg123 in the
// device's mixing thread: no mixer, no codec library beyond the one decoder.

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <string>

namespace ladoslov {

class Mp3Output {
public:
    // The device, opened paused at 44100 Hz, 16-bit stereo; nullptr when there is none. SDL's audio
    // subsystem must be initialised.
    static std::unique_ptr<Mp3Output> open();
    ~Mp3Output();
    Mp3Output(const Mp3Output&) = delete;
    Mp3Output& operator=(const Mp3Output&) = delete;

    // Replaces the tune (silencing the old one) with the file at `path`; false, keeping nothing, when the
    // decoder cannot make sense of it.
    bool load(const std::string& path);
    const std::string& path() const { return path_; }
    // From the top. True once it sounds.
    bool play();
    void halt();
    // False once halted or played to its end.
    bool playing();

private:
    struct Decoder;
    explicit Mp3Output(SDL_AudioDeviceID device);
    static void callback(void* self, Uint8* out, int length);
    void fill(Uint8* out, int length);

    SDL_AudioDeviceID device_;
    std::unique_ptr<Decoder> decoder_;  // shared with the mixing thread: under the device's lock
    std::string path_;
    bool playing_ = false;
};

}  // namespace ladoslov
