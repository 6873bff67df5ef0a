#include "sound/tune_format.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>
#include <vector>

namespace ladoslov {

namespace {

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

}  // namespace

std::optional<TuneKind> tuneKindOf(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    const Bytes head = readBytes(path, 0, 16);
    if (startsWith(head, 0, "MThd")) {
        constexpr std::uintmax_t largestMidi = 16 * 1024 * 1024;
        const std::uintmax_t size = std::filesystem::file_size(path, ec);
        if (ec || size > largestMidi) return std::nullopt;
        if (!isWellFormedMidi(readBytes(path, 0, static_cast<std::size_t>(size)))) return std::nullopt;
        return TuneKind::Midi;
    }
    if (startsWith(head, 0, "RIFF") && startsWith(head, 8, "WAVE")) return TuneKind::Wav;
    if (looksLikeMpegAudio(path, head)) return TuneKind::Mp3;
    return std::nullopt;
}

}  // namespace ladoslov
