#pragma once
// The real platform services of the Windows screensaver.

#include <windows.h>

#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "screen/monitors.h"
#include "services/services.h"
#include "services/standard_files.h"

namespace Gdiplus {
class Bitmap;
}

namespace ladoslov::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view text);

// Twips per pixel of the screen at its real dots per inch (15 at 96 dpi, 7.5 at 192).
double twipsPerPixel();

class SystemClock final : public Clock {
public:
    Date today() const override;
    TimeOfDay timeOfDay() const override;
    std::uint32_t timerSeed() const override;
};

// The user's short date and long time format.
class UserLocaleFormats final : public RegionalFormats {
public:
    std::string shortDate(const Date& d) const override;
    std::string longTime(const TimeOfDay& t) const override;
};

// A GDI font of the design at the screen's dots per inch.
HFONT createFont(const Font& font, int dpi);

// The GDI fonts of the design by the dpi they are drawn at: each made once, deleted with the cache.
class FontCache {
public:
    FontCache() = default;
    ~FontCache() { clear(); }
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;
    HFONT at(const Font& font, int dpi);
    void clear();

private:
    std::vector<std::pair<std::pair<Font, int>, HFONT>> fonts_;
};

class GdiMeasurer final : public TextMeasurer {
public:
    GdiMeasurer();
    ~GdiMeasurer() override;
    GdiMeasurer(const GdiMeasurer&) = delete;
    GdiMeasurer& operator=(const GdiMeasurer&) = delete;
    TwipsSize measure(std::string_view text, const Font& font, Twips wrapWidth) const override;
    void drawAt(double twipsPerPixel) override;

private:
    HDC dc_;
    int dpi_;
    mutable FontCache fonts_;
};

// One copy per session: a named mutex that goes with the process, however it ends.
class MutexInstanceGuard final : public InstanceGuard {
public:
    ~MutexInstanceGuard() override;
    bool anotherInstanceRunning() override;

private:
    HANDLE mutex_ = nullptr;
    bool checked_ = false;
    bool another_ = false;
};

class WindowTopMost final : public TopMost {
public:
    void attach(HWND w) { window_ = w; }
    bool makeTopMost() override;

private:
    HWND window_ = nullptr;
};

// The multimedia command interface of the system itself.
class MciCommands final : public MultimediaCommands {
public:
    MciCommands() = default;
    // Closes the devices it opened: a tune still playing is let go before the program ends.
    ~MciCommands() override;
    MciCommands(const MciCommands&) = delete;
    MciCommands& operator=(const MciCommands&) = delete;
    bool execute(std::string_view command) override;

private:
    std::set<std::string> opened_;  // the devices (tunes) this program has opened
};

class DiskFileSystem final : public StandardFiles {
public:
    std::filesystem::path executableDir() const override;
    std::string findFirstFile(const std::filesystem::path& dir, std::string_view pattern) const override;
};

// The background is decoded once: the picture last found loadable is kept for the view to take.
class GdiplusPictureLoader final : public PictureLoader {
public:
    GdiplusPictureLoader();
    ~GdiplusPictureLoader() override;
    bool isLoadableJpeg(const std::filesystem::path& p) const override;
    // The picture source names (as loadPicture takes it): the one found loadable, if that is it (handed over
    // once), else decoded now; nullptr when it cannot be.
    std::unique_ptr<Gdiplus::Bitmap> take(const std::string& source);

private:
    mutable std::string checked_;
    mutable std::unique_ptr<Gdiplus::Bitmap> decoded_;
};

class DialogMessageBox final : public MessageBox {
public:
    void show(std::string_view title, std::string_view text, std::uint64_t owner) override;
};

// The monitors of the desktop, the primary's first, each at the system's dpi.
std::vector<Monitor> desktopMonitors();

// Ends the message loop with the exit code.
class MessageLoopProcess final : public Process {
public:
    void end(int exitCode) override { ::PostQuitMessage(exitCode); }
};

}  // namespace ladoslov::win32
