// The Windows screensaver: the screensaver host starts it with "/s", "/c[:<window>]" or "/p <window>".

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <vector>

#include "screen/form.h"
#include "screen/monitors.h"
#include "screen/session.h"
#include "services/fixed_services.h"
#include "services/mersenne_random.h"
#include "services/skip_on_failure.h"
#include "shell/command_line.h"
#include "win32/form_window.h"
#include "win32/pictures.h"
#include "win32/win32_services.h"

namespace {

using namespace ladoslov;
using namespace ladoslov::win32;

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
    return narrow(joined);
}

// The dialog's preview window the host names, or nullptr when it names none.
HWND previewHost(const std::string& commandLine) {
    const HostRequest request = hostRequestOf(commandLine);
    HWND host = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(request.window));
    return request.kind == HostSwitch::Preview && ::IsWindow(host) ? host : nullptr;
}

// The screensaver's windows: one on every monitor, or one inside the dialog's preview.
class Screensaver final : public FrontEnd {
public:
    Screensaver(HINSTANCE instance, GdiplusPictureLoader& pictures, HWND host) : instance_(instance), pictures_(pictures), host_(host) {}

    void add(Form1& form, DrawnScreen& screen, WindowTopMost& topMost, const Monitor& monitor) {
        windows_.push_back({&form, &screen, &topMost, monitor, {}});
    }

    void createWindows() override {
        for (Window& w : windows_) {
            w.view = std::make_unique<FormWindow>(*w.form, *w.screen, instance_, pictures_,
                                                  POINT{w.monitor.left, w.monitor.top}, host_);
            w.topMost->attach(w.view->handle());
            group_.join(w.view->session());
            if (!host_) w.view->session().reshape(w.monitor.width, w.monitor.height, w.monitor.dpi);
        }
    }
    bool showWindows() override {
        // The primary's last, so that it has the keyboard.
        for (auto w = windows_.rbegin(); w != windows_.rend(); ++w) w->view->show();
        return true;
    }
    void startTimers() override {
        for (Window& w : windows_) w.view->startTimers();
    }
    int runEventLoop() override { return windows_.front().view->run(); }

private:
    struct Window {
        Form1* form;
        DrawnScreen* screen;
        WindowTopMost* topMost;
        Monitor monitor;
        std::unique_ptr<FormWindow> view;
    };
    HINSTANCE instance_;
    GdiplusPictureLoader& pictures_;
    HWND host_;
    std::vector<Window> windows_;
    SessionGroup group_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    traceSkippedFailuresIfAsked();
    GdiplusSession gdiplus;

    const std::string commandLine = commandLineArguments();
    // A preview in the dialog's window: no tune, no one-instance lock (the dialog starts the screensaver
    // beside it), nothing top-most.
    HWND host = previewHost(commandLine);
    SystemClock clock;
    UserLocaleFormats regional;
    MersenneRandom random;
    GdiMeasurer measurer;
    DrawnScreen screen(measurer);
    MutexInstanceGuard mutex;
    NoOtherInstance beside;
    WindowTopMost topMost;
    NoTopMost insideHost;
    MciCommands mci;
    SilentMultimedia silent;
    DiskFileSystem files;
    GdiplusPictureLoader pictures;
    DialogMessageBox messageBox;
    MessageLoopProcess process;
    Services services{clock,
                      regional,
                      random,
                      screen,
                      measurer,
                      host ? static_cast<InstanceGuard&>(beside) : mutex,
                      host ? static_cast<TopMost&>(insideHost) : topMost,
                      host ? static_cast<MultimediaCommands&>(silent) : mci,
                      files,
                      pictures,
                      messageBox,
                      process,
                      commandLine,
                      host != nullptr};

    Form1 form(services);
    const std::vector<Monitor> monitors = desktopMonitors();
    std::vector<std::unique_ptr<MonitorForm>> others;
    for (std::size_t i = 1; !host && i < monitors.size(); ++i)
        others.push_back(std::make_unique<MonitorForm>(services, std::make_unique<GdiMeasurer>(), std::make_unique<WindowTopMost>()));
    Screensaver screensaver(instance, pictures, host);
    screensaver.add(form, screen, topMost, monitors.front());
    std::vector<Form1*> forms{&form};
    for (std::size_t i = 0; i < others.size(); ++i) {
        screensaver.add(others[i]->form(), others[i]->screen(), static_cast<WindowTopMost&>(others[i]->topMost()), monitors[i + 1]);
        forms.push_back(&others[i]->form());
    }
    return runScreensaver(forms, screensaver);
}
