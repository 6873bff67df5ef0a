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

bool isWholeJpeg(const std::vector<char>& bytes) {
    // A JPEG starts with SOI and ends with EOI; the decoder would show a truncated one half grey.
    auto end = bytes.end();
    const auto tailStart = bytes.size() > 64 ? end - 64 : bytes.begin();
    while (end != tailStart && *(end - 1) == '\0') --end;
    if (bytes.size() < 4 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
        static_cast<unsigned char>(bytes[1]) != 0xD8 || end - bytes.begin() < 4 ||
        static_cast<unsigned char>(*(end - 2)) != 0xFF || static_cast<unsigned char>(*(end - 1)) != 0xD9)
        return false;
    std::unique_ptr<Gdiplus::Bitmap> bitmap = decodePicture(bytes);
    if (!bitmap) return false;
    GUID format{};
    if (bitmap->GetRawFormat(&format) != Gdiplus::Ok || format != Gdiplus::ImageFormatJPEG) return false;
    const unsigned long long pixels =
        static_cast<unsigned long long>(bitmap->GetWidth()) * static_cast<unsigned long long>(bitmap->GetHeight());
    if (pixels == 0 || pixels > kMaxBackgroundPixels) return false;
    // Reading the pixels makes the decoder go through the whole stream.
    Gdiplus::Rect all(0, 0, static_cast<INT>(bitmap->GetWidth()), static_cast<INT>(bitmap->GetHeight()));
    Gdiplus::BitmapData data{};
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &data) != Gdiplus::Ok) return false;
    bitmap->UnlockBits(&data);
    return true;
}

}  // namespace ladoslov::win32
