// The Windows screensaver: the screensaver host starts it with "/s", "/c" or "/p <window>".

#include <windows.h>
#include <shellapi.h>

#include "screen/form.h"
#include "services/mersenne_random.h"
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

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace ladoslov;
    using namespace ladoslov::win32;
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
    form.CheckCommandLine();
    if (form.ended()) return form.exitCode();

    FormWindow window(form, instance, twipsPerPixel(), pictures);
    topMost.attach(window.handle());
    form.Form_Load();
    if (form.ended()) return form.exitCode();
    window.show();
    window.startTimers();
    return window.run();
}
