#include "win32/win32_services.h"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "win32/pictures.h"

#include <gdiplus.h>

#include <mmsystem.h>

// winmm exports it; mingw's headers leave it out.
extern "C" BOOL WINAPI mciExecute(LPCSTR command);

namespace ladoslov::win32 {

std::wstring widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

namespace {

std::string toCodePage(std::wstring_view text, UINT codePage) {
    if (text.empty()) return {};
    const int n = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

int screenDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

std::string narrow(std::wstring_view text) { return toCodePage(text, CP_UTF8); }

double twipsPerPixel() { return 1440.0 / screenDpi(); }

Date SystemClock::today() const {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    return Date{t.wYear, t.wMonth, t.wDay};
}

TimeOfDay SystemClock::timeOfDay() const {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    return TimeOfDay{t.wHour, t.wMinute, t.wSecond};
}

std::uint32_t SystemClock::timerSeed() const { return static_cast<std::uint32_t>(::GetTickCount64()); }

std::string UserLocaleFormats::shortDate(const Date& d) const {
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(d.year);
    t.wMonth = static_cast<WORD>(d.month);
    t.wDay = static_cast<WORD>(d.day);
    wchar_t out[128] = {};
    if (!::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &t, nullptr, out, 128, nullptr)) return {};
    return narrow(out);
}

std::string UserLocaleFormats::longTime(const TimeOfDay& tod) const {
    SYSTEMTIME t{};
    t.wYear = 2000;
    t.wMonth = 1;
    t.wDay = 1;
    t.wHour = static_cast<WORD>(tod.hour);
    t.wMinute = static_cast<WORD>(tod.minute);
    t.wSecond = static_cast<WORD>(tod.second);
    // The user's long time format names no time zone on this system; one without seconds gets them.
    wchar_t format[96] = {};
    ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STIMEFORMAT, format, 96);
    const bool seconds = std::wstring_view(format).find(L's') != std::wstring_view::npos;
    wchar_t out[128] = {};
    if (!::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &t, seconds ? nullptr : L"HH:mm:ss", out, 128)) return {};
    return narrow(out);
}

std::vector<Monitor> desktopMonitors() {
    std::vector<Monitor> monitors;
    const auto add = [](HMONITOR m, HDC, LPRECT, LPARAM list) -> BOOL {
        MONITORINFO info{sizeof info, {}, {}, 0};
        if (!::GetMonitorInfoW(m, &info)) return TRUE;
        const RECT& r = info.rcMonitor;
        auto& all = *reinterpret_cast<std::vector<Monitor>*>(list);
        const Monitor monitor{r.left, r.top, r.right - r.left, r.bottom - r.top, static_cast<double>(screenDpi())};
        if (info.dwFlags & MONITORINFOF_PRIMARY)
            all.insert(all.begin(), monitor);
        else
            all.push_back(monitor);
        return TRUE;
    };
    ::EnumDisplayMonitors(nullptr, nullptr, add, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty())
        monitors.push_back(Monitor{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), static_cast<double>(screenDpi())});
    return monitors;
}

HFONT createFont(const Font& font, int dpi) {
    const int height = -static_cast<int>(std::lround(font.size * dpi / 72.0));
    return ::CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic, FALSE, FALSE, RUSSIAN_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                         widen(font.name).c_str());
}

HFONT FontCache::at(const Font& font, int dpi) {
    const std::pair<Font, int> key{font, dpi};
    for (const auto& [k, handle] : fonts_)
        if (k == key) return handle;
    fonts_.emplace_back(key, createFont(font, dpi));
    return fonts_.back().second;
}

void FontCache::clear() {
    for (auto& [key, handle] : fonts_) ::DeleteObject(handle);
    fonts_.clear();
}

GdiMeasurer::GdiMeasurer() : dc_(::CreateCompatibleDC(nullptr)), dpi_(screenDpi()) {}

GdiMeasurer::~GdiMeasurer() {
    if (dc_) ::DeleteDC(dc_);
}

void GdiMeasurer::drawAt(double twipsPerPixel) {
    const int dpi = static_cast<int>(std::lround(1440.0 / twipsPerPixel));
    if (dpi == dpi_) return;
    dpi_ = dpi;
    fonts_.clear();
}

TwipsSize GdiMeasurer::measure(std::string_view text, const Font& font, Twips wrapWidth) const {
    const double tpp = 1440.0 / dpi_;
    HGDIOBJ old = ::SelectObject(dc_, fonts_.at(font, dpi_));
    const std::wstring s = widen(text);
    RECT r{0, 0, wrapWidth > 0 ? static_cast<LONG>(wrapWidth / tpp) : 0, 0};
    UINT flags = DT_CALCRECT | DT_NOPREFIX | DT_LEFT | DT_TOP;
    if (wrapWidth > 0) flags |= DT_WORDBREAK;
    // An empty caption is one line high, as a text box would be.
    ::DrawTextW(dc_, s.empty() ? L" " : s.c_str(), -1, &r, flags);
    ::SelectObject(dc_, old);
    if (wrapWidth > 0) return TwipsSize{wrapWidth, static_cast<Twips>(r.bottom * tpp)};
    return TwipsSize{s.empty() ? 0 : static_cast<Twips>(r.right * tpp), static_cast<Twips>(r.bottom * tpp)};
}

MutexInstanceGuard::~MutexInstanceGuard() {
    if (mutex_) ::CloseHandle(mutex_);
}

bool MutexInstanceGuard::anotherInstanceRunning() {
    if (checked_) return another_;
    checked_ = true;
    mutex_ = ::CreateMutexW(nullptr, TRUE, L"Local\\LadoslovScreensaver");
    another_ = mutex_ && ::GetLastError() == ERROR_ALREADY_EXISTS;
    return another_;
}

bool WindowTopMost::makeTopMost() {
    if (!window_) return false;
    return ::SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE) != 0;
}

MciCommands::~MciCommands() {
    for (const std::string& device : opened_) ::mciSendStringA(("close " + device).c_str(), nullptr, 0, nullptr);
}

bool MciCommands::execute(std::string_view command) {
    // The command goes over as single-byte text in the desktop's code page.
    const std::string text = toCodePage(widen(command), CP_ACP);
    // mciExecute reports a refused command in a message box that holds up the screen until someone closes
    // it. So a command goes only to a device this program has opened: "play" opens its device quietly first,
    // and whatever else names a device never opened (a tune that was refused) is not sent. Asking the system
    // whether a device is open would open it to answer, loading its driver once more.
    const std::size_t space = text.find(' ');
    if (space != std::string::npos) {
        const std::string device = text.substr(space + 1);
        if (!opened_.contains(device)) {
            if (text.compare(0, space, "play") != 0) return false;
            if (::mciSendStringA(("open " + device).c_str(), nullptr, 0, nullptr) != 0) return false;
            opened_.insert(device);
        }
    }
    return ::mciExecute(text.c_str()) != FALSE;
}

std::filesystem::path DiskFileSystem::executableDir() const {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return std::filesystem::path(path).parent_path();
}

std::string DiskFileSystem::findFirstFile(const std::filesystem::path& dir, std::string_view pattern) const {
    // Wide: the folder may have letters that the ANSI code page lacks (a user's name in another script).
    const std::wstring query = (dir / widen(pattern)).wstring();
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(query.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return {};
    std::string name;
    do {
        // Only normal files count.
        if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))) {
            name = narrow(found.cFileName);
            break;
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return name;
}

GdiplusPictureLoader::GdiplusPictureLoader() = default;
GdiplusPictureLoader::~GdiplusPictureLoader() = default;

bool GdiplusPictureLoader::isLoadableJpeg(const std::filesystem::path& p) const {
    const auto bytes = readFile(p, kMaxBackgroundBytes);
    std::unique_ptr<Gdiplus::Bitmap> picture = bytes ? wholeJpeg(*bytes) : nullptr;
    if (!picture) return false;
    checked_ = p.string();
    decoded_ = std::move(picture);
    return true;
}

std::unique_ptr<Gdiplus::Bitmap> GdiplusPictureLoader::take(const std::string& source) {
    if (decoded_ && source == checked_) {
        checked_.clear();
        return std::move(decoded_);
    }
    return loadPicture(source);
}

void DialogMessageBox::show(std::string_view title, std::string_view text, std::uint64_t owner) {
    // Owned by the settings dialog that asked, where it names one.
    HWND ownerWindow = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(owner));
    ::MessageBoxW(::IsWindow(ownerWindow) ? ownerWindow : nullptr, widen(text).c_str(), widen(title).c_str(),
                  MB_OK | MB_SETFOREGROUND);
}

}  // namespace ladoslov::win32
