#include "sound/mp3_output.h"

#include <mpg123.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace ladoslov {

namespace {

constexpr int kRate = 44100;
constexpr Uint8 kChannels = 2;
// 93 ms a buffer: the mixing thread wakes about eleven times a second; a background tune has no use for
// a shorter delay.
constexpr Uint16 kFrames = 4096;
// A second of sound for the device, decoded ahead.
constexpr int kAheadBytes = kRate * kChannels * 2;
// Decoder calls for it at most: a file that decodes to nothing must not hold the mixing thread.
constexpr int kMostReadsAhead = 64;

// The decoder reads a frame's header and its body apart, two system calls for every 26 ms of sound; a
// buffered file makes that one call every few seconds.
constexpr std::size_t kFileBuffer = 64 * 1024;

mpg123_ssize_t readFile(void* file, void* into, std::size_t bytes) {
    const std::size_t got = std::fread(into, 1, bytes, static_cast<std::FILE*>(file));
    return got == 0 && std::ferror(static_cast<std::FILE*>(file)) ? -1 : static_cast<mpg123_ssize_t>(got);
}

off_t seekFile(void* file, off_t offset, int whence) {
    auto* f = static_cast<std::FILE*>(file);
    return fseeko(f, offset, whence) == 0 ? ftello(f) : -1;
}

}  // namespace

struct Mp3Output::Decoder {
    mpg123_handle* handle = nullptr;
    std::FILE* file = nullptr;  // read through the decoder, closed after it
    SDL_AudioStream* stream = nullptr;  // from the file's rate and channels to the device's
    long rate = 0;
    int channels = 0;
    bool drained = false;  // decoded to the end (or to an error) and flushed into the stream
    std::vector<unsigned char> chunk = std::vector<unsigned char>(16 * 1024);

    Decoder() = default;
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
    ~Decoder() {
        if (stream) SDL_FreeAudioStream(stream);
        if (handle) {
            mpg123_close(handle);
            mpg123_delete(handle);
        }
        if (file) std::fclose(file);
    }

    bool open(const std::string& path) {
        int error = MPG123_OK;
        handle = mpg123_new(nullptr, &error);
        if (!handle) return false;
        // Quiet: the decoder would otherwise report damaged frames on the standard error.
        mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
        // 16-bit samples at the file's own rate and channels; SDL converts them for the device.
        mpg123_format_none(handle);
        const long* rates = nullptr;
        std::size_t count = 0;
        mpg123_rates(&rates, &count);
        for (std::size_t i = 0; i < count; ++i)
            mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
        file = std::fopen(path.c_str(), "rb");
        if (!file) return false;
        std::setvbuf(file, nullptr, _IOFBF, kFileBuffer);
        return mpg123_replace_reader_handle(handle, readFile, seekFile, nullptr) == MPG123_OK &&
               mpg123_open_handle(handle, file) == MPG123_OK && followFormat();
    }

    // A stream for the decoder's output format. A change in the middle of a file (rare) drops the little
    // that was still buffered in the old format.
    bool followFormat() {
        long r = 0;
        int ch = 0, encoding = 0;
        if (mpg123_getformat(handle, &r, &ch, &encoding) != MPG123_OK || encoding != MPG123_ENC_SIGNED_16) return false;
        if (stream && r == rate && ch == channels) return true;
        SDL_AudioStream* next = SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(ch), static_cast<int>(r),
                                                   AUDIO_S16SYS, kChannels, kRate);
        if (!next) return false;
        if (stream) SDL_FreeAudioStream(stream);
        stream = next;
        rate = r;
        channels = ch;
        return true;
    }

    bool rewind() {
        drained = false;
        SDL_AudioStreamClear(stream);
        return mpg123_seek(handle, 0, SEEK_SET) >= 0;
    }

    // Up to `length` bytes of sound; fewer once the tune is over. The decoder runs a second ahead, once a
    // second: in one long run its tables stay in the cache, where a short run for every buffer costs it
    // far more.
    int read(Uint8* out, int length) {
        if (SDL_AudioStreamAvailable(stream) < length) decodeAhead();
        return std::max(0, SDL_AudioStreamGet(stream, out, length));
    }

    void decodeAhead() {
        for (int reads = 0; !drained && reads < kMostReadsAhead && SDL_AudioStreamAvailable(stream) < kAheadBytes;
             ++reads) {
            std::size_t decoded = 0;
            const int result = mpg123_read(handle, chunk.data(), chunk.size(), &decoded);
            if (decoded > 0 && SDL_AudioStreamPut(stream, chunk.data(), static_cast<int>(decoded)) != 0) drained = true;
            if (result == MPG123_NEW_FORMAT) {
                if (!followFormat()) drained = true;
            } else if (result != MPG123_OK) {
                drained = true;  // the end, or damage it cannot get past
            }
            if (drained) SDL_AudioStreamFlush(stream);
        }
    }
};

Mp3Output::Mp3Output(SDL_AudioDeviceID device) : device_(device) {}

std::unique_ptr<Mp3Output> Mp3Output::open() {
    std::unique_ptr<Mp3Output> output(new Mp3Output(0));
    SDL_AudioSpec wanted{};
    wanted.freq = kRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kChannels;
    wanted.samples = kFrames;
    wanted.callback = &Mp3Output::callback;
    wanted.userdata = output.get();
    // No changes allowed: SDL converts to whatever the hardware takes.
    output->device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (output->device_ == 0) return nullptr;
    return output;
}

Mp3Output::~Mp3Output() {
    if (device_ != 0) SDL_CloseAudioDevice(device_);  // waits for the mixing thread
}

void Mp3Output::callback(void* self, Uint8* out, int length) { static_cast<Mp3Output*>(self)->fill(out, length); }

// On the mixing thread, with the device locked.
void Mp3Output::fill(Uint8* out, int length) {
    const int done = playing_ ? decoder_->read(out, length) : 0;
    if (done < length) {
        if (playing_ && decoder_->drained) playing_ = false;
        std::memset(out + done, 0, static_cast<std::size_t>(length - done));
    }
}

bool Mp3Output::load(const std::string& path) {
    auto next = std::make_unique<Decoder>();
    if (!next->open(path)) return false;
    SDL_LockAudioDevice(device_);
    playing_ = false;
    decoder_.swap(next);
    SDL_UnlockAudioDevice(device_);
    path_ = path;
    return true;
}

bool Mp3Output::play() {
    if (!decoder_) return false;
    SDL_LockAudioDevice(device_);
    playing_ = decoder_->rewind();
    const bool started = playing_;
    SDL_UnlockAudioDevice(device_);
    SDL_PauseAudioDevice(device_, 0);
    return started;
}

void Mp3Output::halt() {
    SDL_LockAudioDevice(device_);
    playing_ = false;
    SDL_UnlockAudioDevice(device_);
}

bool Mp3Output::playing() {
    SDL_LockAudioDevice(device_);
    const bool now = playing_;
    SDL_UnlockAudioDevice(device_);
    return now;
}

}  // namespace ladoslov
