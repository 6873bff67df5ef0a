// The Windows screensaver: the screensaver host starts it with "/s", "/c" or "/p <window>".

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "screen/form.h"
#include "screen/session.h"
#include "services/mersenne_random.h"
#include "services/skip_on_failure.h"
#include "win32/form_window.h"
#include "win32/pictures.h"
#include "win32/win32_services.h"

namespace {

// The arguments after the program's name, joined by spaces.
std::string commandLineArguments() {
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::wstring joined;
    for (int i = 1; args && i < count; ++i) {
        if (i > 1) joined += L' ';
        joined += args[i];
    }
    if (args) ::LocalFree(args);
    return ladoslov::win32::narrow(joined);
}

// The screensaver's one window.
class Screensaver final : public ladoslov::FrontEnd {
public:
    Screensaver(ladoslov::Form1& form, HINSTANCE instance, ladoslov::win32::GdiplusPictureLoader& pictures,
                ladoslov::win32::WindowTopMost& topMost)
        : form_(form), instance_(instance), pictures_(pictures), topMost_(topMost) {}

    void createWindow() override {
        window_ = std::make_unique<ladoslov::win32::FormWindow>(form_, instance_, ladoslov::win32::twipsPerPixel(), pictures_);
        topMost_.attach(window_->handle());
    }
    bool showWindow() override {
        window_->show();
        return true;
    }
    void startTimers() override { window_->startTimers(); }
    int runEventLoop() override { return window_->run(); }

private:
    ladoslov::Form1& form_;
    HINSTANCE instance_;
    ladoslov::win32::GdiplusPictureLoader& pictures_;
    ladoslov::win32::WindowTopMost& topMost_;
    std::unique_ptr<ladoslov::win32::FormWindow> window_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace ladoslov;
    using namespace ladoslov::win32;
    traceSkippedFailuresIfAsked();
    GdiplusSession gdiplus;

    SystemClock clock;
    UserLocaleFormats regional;
    MersenneRandom random;
    PrimaryScreen screen;
    GdiMeasurer measurer;
    MutexInstanceGuard instanceGuard;
    WindowTopMost topMost;
    MciCommands multimedia;
    DiskFileSystem files;
    GdiplusPictureLoader pictures;
    DialogMessageBox messageBox;
    MessageLoopProcess process;
    Services services{clock,      regional, random,   screen,     measurer, instanceGuard, topMost,
                      multimedia, files,    pictures, messageBox, process,  commandLineArguments()};

    Form1 form(services);
    Screensaver screensaver(form, instance, pictures, topMost);
    return runScreensaver(form, screensaver);
}
