#include "win32/pictures.h"

#include <objidl.h>
#include <shlwapi.h>

#include <algorithm>
#include <fstream>
#include <gdiplus.h>

#include "win32/win32_services.h"

namespace ladoslov::win32 {

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
}

GdiplusSession::~GdiplusSession() {
    if (token_) Gdiplus::GdiplusShutdown(token_);
}

std::optional<std::vector<char>> readFile(const std::filesystem::path& p, std::uintmax_t maxBytes) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(p, ec)) return std::nullopt;
    const std::uintmax_t size = std::filesystem::file_size(p, ec);
    if (ec || size > maxBytes) return std::nullopt;
    std::ifstream in(p, std::ios::binary);
    std::vector<char> bytes(static_cast<std::size_t>(size));
    if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return std::nullopt;
    return bytes;
}

std::unique_ptr<Gdiplus::Bitmap> decodePicture(const std::vector<char>& bytes) {
    if (bytes.empty() || bytes.size() > 0xFFFFFFFFu) return nullptr;
    IStream* stream =
        ::SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
    if (!stream) return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream));
    stream->Release();
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok || bitmap->GetWidth() == 0) return nullptr;
    return bitmap;
}

std::unique_ptr<Gdiplus::Bitmap> loadPicture(const std::string& source) {
    static const std::string kCompiledIn = ":/pictures/";
    if (source.rfind(kCompiledIn, 0) != 0) {
        const auto bytes = readFile(std::filesystem::path(widen(source)), kMaxBackgroundBytes);
        return bytes ? decodePicture(*bytes) : nullptr;
    }
    std::wstring name = widen(source.substr(kCompiledIn.size()));
    std::replace(name.begin(), name.end(), L'.', L'_');
    HRSRC resource = ::FindResourceW(nullptr, name.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!resource) return nullptr;
    HGLOBAL loaded = ::LoadResource(nullptr, resource);
    const auto* data = static_cast<const char*>(loaded ? ::LockResource(loaded) : nullptr);
    if (!data) return nullptr;
    return decodePicture(std::vector<char>(data, data + ::SizeofResource(nullptr, resource)));
}

namespace {

// Whether the JPEG's own structure reaches its end marker (EOI): from SOI, segment by segment, through
// the entropy-coded data after each SOS. GDI+ decodes a truncated picture without complaint (the rest
// grey), so this decides whether it is whole; bytes after the end marker (padding, appended data, common
// in pictures from cameras and editors) do not matter.
bool reachesEndMarker(const std::vector<char>& bytes) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const std::size_t n = bytes.size();
    if (n < 4 || at(0) != 0xFF || at(1) != 0xD8) return false;
    std::size_t i = 2;
    while (i < n) {
        if (at(i) != 0xFF) return false;
        while (i < n && at(i) == 0xFF) ++i;  // fill bytes
        if (i >= n) return false;
        const unsigned char marker = at(i++);
        if (marker == 0xD9) return true;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length of their own
        if (n - i < 2) return false;
        const std::size_t length = static_cast<std::size_t>(at(i)) << 8 | at(i + 1);
        if (length < 2 || length > n - i) return false;
        i += length;
        if (marker != 0xDA) continue;
        // Entropy-coded data up to the next marker: FF 00 stands for a data byte, FF D0-D7 for a restart.
        for (; i + 1 < n; ++i) {
            if (at(i) != 0xFF) continue;
            const unsigned char next = at(i + 1);
            if (next != 0x00 && !(next >= 0xD0 && next <= 0xD7)) break;
            ++i;
        }
        if (i + 1 >= n) return false;
    }
    return false;
}

}  // namespace

std::unique_ptr<Gdiplus::Bitmap> wholeJpeg(const std::vector<char>& bytes) {
    if (!reachesEndMarker(bytes)) return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> bitmap = decodePicture(bytes);
    if (!bitmap) return nullptr;
    GUID format{};
    if (bitmap->GetRawFormat(&format) != Gdiplus::Ok || format != Gdiplus::ImageFormatJPEG) return nullptr;
    const unsigned long long pixels =
        static_cast<unsigned long long>(bitmap->GetWidth()) * static_cast<unsigned long long>(bitmap->GetHeight());
    if (pixels == 0 || pixels > kMaxBackgroundPixels) return nullptr;
    // Reading the pixels makes the decoder go through the whole stream.
    Gdiplus::Rect all(0, 0, static_cast<INT>(bitmap->GetWidth()), static_cast<INT>(bitmap->GetHeight()));
    Gdiplus::BitmapData data{};
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &data) != Gdiplus::Ok) return nullptr;
    bitmap->UnlockBits(&data);
    return bitmap;
}

}  // namespace ladoslov::win32
