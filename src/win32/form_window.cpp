#include "win32/form_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gdiplus.h>

#include "win32/pictures.h"
#include "win32/resources.h"
#include "win32/stretch.h"
#include "win32/win32_services.h"

namespace ladoslov::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"LadoslovForm1";
constexpr UINT_PTR kToolId = 1;
// The view's own timer, beside Timer1 … Timer14: how often a host's window is looked at.
constexpr UINT_PTR kHostTimer = 100;
constexpr UINT kHostCheckMs = 250;

COLORREF toColorRef(Colour c) {
    if (c == kSystemText) return ::GetSysColor(COLOR_BTNTEXT);
    return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

int buttonOf(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
            return kLeftButton;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
            return kRightButton;
        default:
            return kMiddleButton;
    }
}

}  // namespace

int shiftState() {
    return (::GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (::GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
           (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

RECT pixelsAround(const TwipsRect& r, double tpp) {
    const PixelRect p = pixelsToRepaint(r, tpp);
    return RECT{p.left, p.top, p.right, p.bottom};
}

RECT FormWindow::drawn(const TwipsRect& r) const {
    const PixelRect p = drawnPixels(r, tpp());
    return RECT{p.left, p.top, p.right, p.bottom};
}

FormWindow::FormWindow(Form1& form, DrawnScreen& screen, HINSTANCE instance, GdiplusPictureLoader& pictures,
                       POINT origin, HWND host)
    // The system rounds a timer's interval up to its own resolution.
    : session_(form, screen, 0), form_(form), loader_(pictures), origin_(origin), host_(host) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    // Double-clicks arrive as such, for the pictures' DblClick.
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &FormWindow::windowProc;
    wc.hInstance = instance;
    wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_LADOSLOV));
    wc.hIconSm = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_LADOSLOV), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    wc.lpszClassName = kWindowClass;
    ::RegisterClassExW(&wc);
    cursorA_ = ::LoadCursorW(instance, MAKEINTRESOURCEW(IDC_CURSOR_A));
    cursorB_ = ::LoadCursorW(instance, MAKEINTRESOURCEW(IDC_CURSOR_B));
    arrow_ = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW

    const RECT at = drawn(TwipsRect{form.left(), form.top(), form.width(), form.height()});
    // Inside a host's window (the dialog's preview) the window is its child, and takes no input there.
    hwnd_ = ::CreateWindowExW(0, kWindowClass, widen(form.caption()).c_str(), host ? WS_CHILD | WS_DISABLED : WS_POPUP,
                              origin.x + at.left, origin.y + at.top, at.right - at.left, at.bottom - at.top, host,
                              nullptr, instance, this);
    session_.onUpdate([this] { sync(); });
    if (host_) {
        followHost();
        ::SetTimer(hwnd_, kHostTimer, kHostCheckMs, nullptr);
    }

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    toolTip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance,
                                 nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    // The mouse is relayed by hand (no TTF_SUBCLASS), after the tool's rectangle follows the pointer: so the
    // first move onto a control already counts for its tip.
    tool.uFlags = 0;
    tool.hwnd = hwnd_;
    tool.uId = kToolId;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(toolTip_, TTM_SETMAXTIPWIDTH, 0, 600);
}

FormWindow::~FormWindow() {
    for (int i = 1; i <= kTimerCount; ++i) ::KillTimer(hwnd_, static_cast<UINT_PTR>(i));
    if (hwnd_) ::DestroyWindow(hwnd_);
    if (background_) ::DeleteObject(background_);
}

void FormWindow::show() {
    sync();
    ::ShowWindow(hwnd_, SW_SHOW);
    ::SetForegroundWindow(hwnd_);
    ::SetFocus(hwnd_);
}

void FormWindow::startTimers() {
    session_.startTimers();
    sync();
}

void FormWindow::followHost() {
    RECT client{};
    if (!::IsWindow(host_) || !::GetClientRect(host_, &client)) {
        session_.close();
    } else {
        // The dialog's preview is drawn at the system's dpi, the whole design scaled into it.
        session_.reshape(client.right, client.bottom, 1440.0 / twipsPerPixel());
    }
    session_.settle();
}

int FormWindow::run() {
    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

HCURSOR FormWindow::cursorOf(Cursor c) const { return c == Cursor::A ? cursorA_ : c == Cursor::B ? cursorB_ : arrow_; }

void FormWindow::sync() {
    const FormSession::Update u = session_.update();
    if (u.window) {
        const RECT at = drawn(TwipsRect{form_.left(), form_.top(), form_.width(), form_.height()});
        ::SetWindowPos(hwnd_, nullptr, origin_.x + at.left, origin_.y + at.top, at.right - at.left, at.bottom - at.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (u.window || u.whole) {
        ::InvalidateRect(hwnd_, nullptr, FALSE);
    } else {
        for (const TwipsRect& area : u.areas) {
            const RECT r = pixelsAround(area, tpp());
            ::InvalidateRect(hwnd_, &r, FALSE);
        }
    }
    for (const TimerRequest& t : u.timers) {
        if (t.run)
            ::SetTimer(hwnd_, static_cast<UINT_PTR>(t.number), static_cast<UINT>(t.intervalMs), nullptr);
        else
            ::KillTimer(hwnd_, static_cast<UINT_PTR>(t.number));
    }
    // The system asks for the cursor only when the pointer moves.
    POINT p{};
    if (u.cursor && ::GetCursorPos(&p) && ::WindowFromPoint(p) == hwnd_) ::SetCursor(cursorOf(*u.cursor));
}

Gdiplus::Bitmap* FormWindow::pictureOf(const Image& image) {
    auto it = pictures_.find(&image);
    if (it == pictures_.end()) it = pictures_.emplace(&image, loadPicture(image.picture())).first;
    return it->second.get();
}

HBITMAP FormWindow::background(const std::string& source) {
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    const SIZE size{client.right, client.bottom};
    const BackgroundKey key{source, size.cx, size.cy};
    if (key == backgroundKey_) return background_;
    if (background_) ::DeleteObject(background_);
    background_ = nullptr;
    backgroundKey_ = key;
    std::unique_ptr<Gdiplus::Bitmap> picture = loader_.take(source);
    if (!picture) picture = loadPicture(kPictureBackground);
    if (!picture || size.cx <= 0 || size.cy <= 0) return nullptr;
    Gdiplus::Rect all(0, 0, static_cast<INT>(picture->GetWidth()), static_cast<INT>(picture->GetHeight()));
    Gdiplus::BitmapData data{};
    if (picture->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &data) != Gdiplus::Ok) return nullptr;
    // Stretched to the window once, into a bitmap every paint copies from.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    background_ = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (background_ && pixels) {
        stretch(PixelRows{static_cast<const std::uint8_t*>(data.Scan0), static_cast<int>(data.Width),
                          static_cast<int>(data.Height), data.Stride, 3},
                static_cast<std::uint8_t*>(pixels), size.cx, size.cy, size.cx * 4);
        ::GdiFlush();
    }
    picture->UnlockBits(&data);
    return background_;
}

void FormWindow::paintLabel(HDC dc, const Drawing& d, RECT at) {
    const Label& l = *d.label;
    HGDIOBJ old = ::SelectObject(dc, fonts_.at(l.font(), static_cast<int>(std::lround(1440.0 / tpp()))));
    ::SetTextColor(dc, toColorRef(l.foreColour()));
    const std::wstring caption = widen(l.caption());
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &at,
                DT_LEFT | DT_TOP | DT_NOPREFIX | (l.wordWrap() ? DT_WORDBREAK : 0));
    ::SelectObject(dc, old);
    if (d.border) ::FrameRect(dc, &at, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

void FormWindow::paintPicture(HDC dc, Gdiplus::Graphics& g, const Drawing& d, RECT at) {
    // The picture fills its control, whatever the scale: against its corner at every dpi and in a preview.
    const INT left = at.left + d.frame, top = at.top + d.frame;
    const INT width = at.right - at.left - 2 * d.frame, height = at.bottom - at.top - 2 * d.frame;
    if (Gdiplus::Bitmap* picture = pictureOf(*d.image)) {
        if (d.opacity < 1) {
            Gdiplus::ColorMatrix matrix = {{{1, 0, 0, 0, 0},
                                            {0, 1, 0, 0, 0},
                                            {0, 0, 1, 0, 0},
                                            {0, 0, 0, static_cast<Gdiplus::REAL>(d.opacity), 0},
                                            {0, 0, 0, 0, 1}}};
            Gdiplus::ImageAttributes faded;
            faded.SetColorMatrix(&matrix);
            g.DrawImage(picture, Gdiplus::Rect(left, top, width, height), 0, 0, static_cast<INT>(picture->GetWidth()),
                        static_cast<INT>(picture->GetHeight()), Gdiplus::UnitPixel, &faded);
        } else {
            g.DrawImage(picture, left, top, width, height);
        }
    }
    if (d.frame) ::DrawEdge(dc, &at, EDGE_SUNKEN, BF_RECT);
}

void FormWindow::paint() {
    // The fill changes cells all over the window at once: only the controls in the changed places are drawn,
    // not everything in the rectangle around them.
    updateRegion_ = ::CreateRectRgn(0, 0, 0, 0);
    if (::GetUpdateRgn(hwnd_, updateRegion_, FALSE) == ERROR) {
        ::DeleteObject(updateRegion_);
        updateRegion_ = nullptr;
    }
    PAINTSTRUCT ps{};
    HDC screen = ::BeginPaint(hwnd_, &ps);
    if (ps.rcPaint.right > ps.rcPaint.left && ps.rcPaint.bottom > ps.rcPaint.top) paintOffScreen(screen, ps.rcPaint);
    ::EndPaint(hwnd_, &ps);
    if (updateRegion_) ::DeleteObject(updateRegion_);
    updateRegion_ = nullptr;
    if (!firstFrameReported_) {
        firstFrameReported_ = true;
        if (std::getenv("LADOSLOV_FIRST_FRAME")) {
            std::fprintf(stderr, "first-frame\n");
            std::fflush(stderr);
        }
    }
}

void FormWindow::paintOffScreen(HDC screen, const RECT& area) {
    const int w = area.right - area.left, h = area.bottom - area.top;
    // Drawn off screen, then copied in one go: no flicker.
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP buffer = ::CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ oldBuffer = ::SelectObject(dc, buffer);
    ::SetViewportOrgEx(dc, -area.left, -area.top, nullptr);
    if (updateRegion_) {
        // A clip region is in the buffer's own pixels.
        HRGN clip = ::CreateRectRgn(0, 0, 0, 0);
        ::CombineRgn(clip, updateRegion_, nullptr, RGN_COPY);
        ::OffsetRgn(clip, -area.left, -area.top);
        ::SelectClipRgn(dc, clip);
        ::DeleteObject(clip);
    }
    paintBackground(screen, dc, area);
    ::SetBkMode(dc, TRANSPARENT);
    paintControls(dc);
    ::BitBlt(screen, area.left, area.top, w, h, dc, area.left, area.top, SRCCOPY);
    ::SelectObject(dc, oldBuffer);
    ::DeleteObject(buffer);
    ::DeleteDC(dc);
}

void FormWindow::paintBackground(HDC screen, HDC dc, const RECT& area) {
    const std::optional<std::string> shown = session_.backgroundPicture();
    HBITMAP picture = shown ? background(*shown) : nullptr;
    if (!picture) {
        ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    HDC source = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(source, picture);
    ::BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, source, area.left, area.top, SRCCOPY);
    ::SelectObject(source, old);
    ::DeleteDC(source);
}

void FormWindow::paintControls(HDC dc) {
    Gdiplus::Graphics g(dc);
    for (const Drawing& d : session_.drawList()) {
        const RECT reach = pixelsAround(d.bounds, tpp());
        if (updateRegion_ && !::RectInRegion(updateRegion_, &reach)) continue;
        const RECT at{d.at.left, d.at.top, d.at.right, d.at.bottom};
        if (d.label)
            paintLabel(dc, d, at);
        else
            paintPicture(dc, g, d, at);
    }
}

void FormWindow::updateToolTip(Twips x, Twips y) {
    const ToolTip tip = session_.toolTipAt(x, y);
    if (tip.control == hovered_) return;
    hovered_ = tip.control;
    ::SendMessageW(toolTip_, TTM_POP, 0, 0);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = hwnd_;
    tool.uId = kToolId;
    // The tip stands for the control under the pointer until the pointer leaves it.
    if (tip.control) tool.rect = drawn(tip.bounds);
    ::SendMessageW(toolTip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void FormWindow::mouse(UINT message, WPARAM wParam, LPARAM lParam) {
    const Twips x = toTwips(GET_X_LPARAM(lParam)), y = toTwips(GET_Y_LPARAM(lParam));
    switch (message) {
        case WM_MOUSEMOVE:
            session_.move(x, y, toTwips(std::max(::GetSystemMetrics(SM_CXDRAG), ::GetSystemMetrics(SM_CYDRAG))));
            updateToolTip(x, y);
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            session_.press(buttonOf(message), shiftState(), x, y);
            break;
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            session_.doublePress(buttonOf(message), shiftState(), x, y);
            break;
        default:
            session_.release(buttonOf(message), shiftState(), x, y);
            break;
    }
    MSG relayed{hwnd_, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
    ::SendMessageW(toolTip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    if (session_.held() && ::GetCapture() != hwnd_) ::SetCapture(hwnd_);
    if (!session_.held() && ::GetCapture() == hwnd_) ::ReleaseCapture();
    session_.settle();
}

LRESULT CALLBACK FormWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->handle(message, wParam, lParam) : ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void FormWindow::timer(WPARAM id) {
    if (id >= 1 && id <= kTimerCount) {
        session_.tick(static_cast<int>(id));
        session_.settle();
    } else if (id == kHostTimer) {
        followHost();
    }
}

void FormWindow::showCursorHere() {
    POINT p{};
    ::GetCursorPos(&p);
    ::ScreenToClient(hwnd_, &p);
    ::SetCursor(cursorOf(session_.cursorAt(toTwips(p.x), toTwips(p.y))));
}

bool FormWindow::giveToolTipText(LPARAM lParam) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->hwndFrom != toolTip_ || header->code != TTN_GETDISPINFOW) return false;
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
    hoveredTip_ = hovered_ ? widen(hovered_->toolTip()) : std::wstring();
    info->lpszText = hoveredTip_.data();
    return true;
}

bool FormWindow::key(UINT message, WPARAM wParam) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            session_.keyDown(static_cast<int>(wParam), shiftState());
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            session_.keyUp(static_cast<int>(wParam), shiftState());
            break;
        default:
            session_.keyPress(static_cast<char32_t>(wParam));
            break;
    }
    session_.settle();
    // F10 comes as a system key; the system's menu loop must not have it.
    return (message != WM_SYSKEYDOWN && message != WM_SYSKEYUP) || wParam == VK_F10;
}

void FormWindow::followMonitor() {
    // The screen's new mode: the window covers its monitor again, laid out anew.
    if (!host_) {
        MONITORINFO info{sizeof info, {}, {}, 0};
        if (::GetMonitorInfoW(::MonitorFromPoint(origin_, MONITOR_DEFAULTTOPRIMARY), &info)) {
            origin_ = POINT{info.rcMonitor.left, info.rcMonitor.top};
            session_.reshape(info.rcMonitor.right - info.rcMonitor.left, info.rcMonitor.bottom - info.rcMonitor.top,
                             1440.0 / twipsPerPixel());
        }
    }
    session_.settle();
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paint();
            return 0;
        case WM_TIMER:
            timer(wParam);
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) != HTCLIENT) break;
            showCursorHere();
            return TRUE;
        case WM_NOTIFY:
            if (giveToolTipText(lParam)) return 0;
            break;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            mouse(message, wParam, lParam);
            return 0;
        case WM_CAPTURECHANGED:
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP:
        case WM_CHAR:
            if (key(message, wParam)) return 0;
            break;
        case WM_DISPLAYCHANGE:
            followMonitor();
            return 0;
        case WM_CLOSE:
            session_.close();
            session_.settle();
            return 0;
        case WM_DESTROY:
            // The host's window took ours with it.
            if (host_ && !form_.ended()) {
                session_.close();
                session_.settle();
            }
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace ladoslov::win32
