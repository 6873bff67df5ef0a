#pragma once
// Pictures through GDI+: the compiled-in ones by the core's names, and files read whole into memory.

#include <windows.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Gdiplus {
class Bitmap;
}

namespace ladoslov::win32 {

// GDI+ is started for the lifetime of this object.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
    ULONG_PTR token_ = 0;
};

// A file's bytes when it is a regular file of at most maxBytes.
std::optional<std::vector<char>> readFile(const std::filesystem::path& p, std::uintmax_t maxBytes);

// Decodes a picture held in memory; nullptr when GDI+ cannot.
std::unique_ptr<Gdiplus::Bitmap> decodePicture(const std::vector<char>& bytes);

// A picture as the core names it: ":/pictures/<name>" is compiled in, anything else is a file.
std::unique_ptr<Gdiplus::Bitmap> loadPicture(const std::string& source);

// The picture when bytes hold a whole JPEG within the bounds a background may have, decoded; else nullptr.
std::unique_ptr<Gdiplus::Bitmap> wholeJpeg(const std::vector<char>& bytes);

inline constexpr std::uintmax_t kMaxBackgroundBytes = 64u << 20;
inline constexpr unsigned long long kMaxBackgroundPixels = 40'000'000ull;

}  // namespace ladoslov::win32
