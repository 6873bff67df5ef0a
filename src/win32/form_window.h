#pragma once
// The thin Win32 view: one borderless window that rasterises the core's drawing list over the stretched
// background, and forwards the mouse, the keys and the timer ticks to the core.

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "screen/form.h"
#include "screen/session.h"
#include "win32/win32_services.h"

namespace Gdiplus {
class Bitmap;
class Graphics;
}

namespace ladoslov::win32 {

class GdiplusPictureLoader;

// A key's shift state as the window's handlers count it: 1 Shift, 2 Ctrl, 4 Alt.
int shiftState();

// Twips to the pixels drawing them may touch (the core's rule for what to repaint).
RECT pixelsAround(const TwipsRect& r, double twipsPerPixel);

class FormWindow {
public:
    // screen: the form's screen, which the window is drawn into at its scale. origin: where the window's
    // top-left corner stands on the desktop (its monitor's), or in host, a host's window it stands inside.
    FormWindow(Form1& form, DrawnScreen& screen, HINSTANCE instance, GdiplusPictureLoader& pictures, POINT origin,
               HWND host = nullptr);
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND handle() const { return hwnd_; }
    FormSession& session() { return session_; }
    // Shows the window where the core put it, with the keyboard focus.
    void show();
    // Starts the timers of the core; until then none ticks.
    void startTimers();
    // Runs the message loop until the program ends; returns the last message's exit code.
    int run();

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    // Carries out what the session says changed (window, repaints, timers, cursor).
    void sync();
    // The host's window has a new size, or is gone: checked on a timer of the view's own.
    void followHost();
    // The window's messages, by what they do.
    void timer(WPARAM id);
    void showCursorHere();
    bool giveToolTipText(LPARAM lParam);
    // Whether the key's message is done with (a system key other than F10 goes on to the system).
    bool key(UINT message, WPARAM wParam);
    void followMonitor();
    void paint();
    void paintOffScreen(HDC screen, const RECT& area);
    void paintBackground(HDC screen, HDC dc, const RECT& area);
    // The core's drawList() rasterised, skipping what lies outside the places to repaint.
    void paintControls(HDC dc);
    void paintLabel(HDC dc, const Drawing& d, RECT at);
    void paintPicture(HDC dc, Gdiplus::Graphics& g, const Drawing& d, RECT at);
    // The background picture stretched to the window, made again when its source or the window's size changed.
    HBITMAP background(const std::string& source);
    Gdiplus::Bitmap* pictureOf(const Image& image);
    void mouse(UINT message, WPARAM wParam, LPARAM lParam);
    void updateToolTip(Twips x, Twips y);
    HCURSOR cursorOf(Cursor c) const;

    double tpp() const { return session_.twipsPerPixel(); }
    Twips toTwips(int pixels) const { return twipsOf(pixels, tpp()); }
    RECT drawn(const TwipsRect& r) const;

    FormSession session_;
    Form1& form_;
    GdiplusPictureLoader& loader_;
    POINT origin_;
    HWND host_ = nullptr;
    HWND hwnd_ = nullptr;
    HWND toolTip_ = nullptr;
    HCURSOR cursorA_ = nullptr, cursorB_ = nullptr, arrow_ = nullptr;
    const Control* hovered_ = nullptr;
    std::wstring hoveredTip_;

    FontCache fonts_;
    std::map<const Image*, std::unique_ptr<Gdiplus::Bitmap>> pictures_;
    HBITMAP background_ = nullptr;
    BackgroundKey backgroundKey_;
    bool firstFrameReported_ = false;
    HRGN updateRegion_ = nullptr;  // while painting: the places to repaint, in client pixels
};

}  // namespace ladoslov::win32
