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
    for (auto& [font, handle] : fonts_) ::DeleteObject(handle);
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

HFONT FormWindow::fontOf(const Font& font) {
    const std::pair<Font, int> key{font, static_cast<int>(std::lround(1440.0 / tpp()))};
    for (const auto& [k, handle] : fonts_)
        if (k == key) return handle;
    fonts_.emplace_back(key, createFont(font, key.second));
    return fonts_.back().second;
}

Gdiplus::Bitmap* FormWindow::pictureOf(const Image& image) {
    auto it = pictures_.find(&image);
    if (it == pictures_.end()) it = pictures_.emplace(&image, loadPicture(image.picture())).first;
    return it->second.get();
}

HBITMAP FormWindow::background() {
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    const SIZE size{client.right, client.bottom};
    const std::string& source = form_.PctFon.picture();
    if (background_ && source == backgroundSource_ && size.cx == backgroundSize_.cx && size.cy == backgroundSize_.cy)
        return background_;
    if (background_) ::DeleteObject(background_);
    background_ = nullptr;
    backgroundSource_ = source;
    backgroundSize_ = size;
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

void FormWindow::paintControl(HDC dc, void* graphicsPointer, const Control& c) {
    const RECT r = pixelsAround(boundsOf(c), tpp());
    if (updateRegion_ && !::RectInRegion(updateRegion_, &r)) return;
    RECT at = drawn(boundsOf(c));
    if (c.isLabel()) {
        const Label& l = static_cast<const Label&>(c);
        RECT& text = at;
        HGDIOBJ old = ::SelectObject(dc, fontOf(l.font()));
        ::SetTextColor(dc, toColorRef(l.foreColour()));
        const std::wstring caption = widen(l.caption());
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                    DT_LEFT | DT_TOP | DT_NOPREFIX | (l.wordWrap() ? DT_WORDBREAK : 0));
        ::SelectObject(dc, old);
        if (l.borderStyle() == BorderStyle::FixedSingle) ::FrameRect(dc, &text, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        return;
    }
    const Image& image = static_cast<const Image&>(c);
    Gdiplus::Bitmap* picture = pictureOf(image);
    const int frame = image.sunkenFrame() ? kSunkenFramePixels : 0;
    // The picture fills its control, whatever the scale: against its corner at every dpi and in a preview.
    if (picture)
        static_cast<Gdiplus::Graphics*>(graphicsPointer)
            ->DrawImage(picture, static_cast<INT>(at.left + frame), static_cast<INT>(at.top + frame),
                        static_cast<INT>(at.right - at.left - 2 * frame), static_cast<INT>(at.bottom - at.top - 2 * frame));
    if (frame) ::DrawEdge(dc, &at, EDGE_SUNKEN, BF_RECT);
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
    const RECT& area = ps.rcPaint;
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w > 0 && h > 0) {
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
        HBITMAP picture = form_.backgroundPainted() ? background() : nullptr;
        if (picture) {
            HDC source = ::CreateCompatibleDC(screen);
            HGDIOBJ old = ::SelectObject(source, picture);
            ::BitBlt(dc, area.left, area.top, w, h, source, area.left, area.top, SRCCOPY);
            ::SelectObject(source, old);
            ::DeleteDC(source);
        } else {
            ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
        }
        ::SetBkMode(dc, TRANSPARENT);
        {
            Gdiplus::Graphics g(dc);
            for (const Control* c : form_.inventory().stackingOrder())
                if (c->visible() && c->kind() != ControlKind::PictureBox) paintControl(dc, &g, *c);
            if (auto ghost = session_.dragFeedback()) {
                // The drag feedback: the picture itself, half transparent, under the pointer.
                if (Gdiplus::Bitmap* p = pictureOf(*ghost->image)) {
                    Gdiplus::ColorMatrix matrix = {{{1, 0, 0, 0, 0},
                                                    {0, 1, 0, 0, 0},
                                                    {0, 0, 1, 0, 0},
                                                    {0, 0, 0, static_cast<Gdiplus::REAL>(kDragFeedbackOpacity), 0},
                                                    {0, 0, 0, 0, 1}}};
                    Gdiplus::ImageAttributes faded;
                    faded.SetColorMatrix(&matrix);
                    const RECT at = drawn(ghost->bounds);
                    g.DrawImage(p, Gdiplus::Rect(static_cast<INT>(at.left), static_cast<INT>(at.top), static_cast<INT>(at.right - at.left),
                                                 static_cast<INT>(at.bottom - at.top)),
                                0, 0,
                                static_cast<INT>(p->GetWidth()), static_cast<INT>(p->GetHeight()), Gdiplus::UnitPixel, &faded);
                }
            }
        }
        ::BitBlt(screen, area.left, area.top, w, h, dc, area.left, area.top, SRCCOPY);
        ::SelectObject(dc, oldBuffer);
        ::DeleteObject(buffer);
        ::DeleteDC(dc);
    }
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

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paint();
            return 0;
        case WM_TIMER:
            if (wParam >= 1 && wParam <= kTimerCount) {
                session_.tick(static_cast<int>(wParam));
                session_.settle();
            } else if (wParam == kHostTimer) {
                followHost();
            }
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                POINT p{};
                ::GetCursorPos(&p);
                ::ScreenToClient(hwnd_, &p);
                ::SetCursor(cursorOf(session_.cursorAt(toTwips(p.x), toTwips(p.y))));
                return TRUE;
            }
            break;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->hwndFrom == toolTip_ && header->code == TTN_GETDISPINFOW) {
                auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
                hoveredTip_ = hovered_ ? widen(hovered_->toolTip()) : std::wstring();
                info->lpszText = hoveredTip_.data();
                return 0;
            }
            break;
        }
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
            // F10 comes as a system key; the system's menu loop must not have it.
            session_.keyDown(static_cast<int>(wParam), shiftState());
            session_.settle();
            if (message == WM_SYSKEYDOWN && wParam != VK_F10) break;
            return 0;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            session_.keyUp(static_cast<int>(wParam), shiftState());
            session_.settle();
            if (message == WM_SYSKEYUP && wParam != VK_F10) break;
            return 0;
        case WM_CHAR:
            session_.keyPress(static_cast<char32_t>(wParam));
            session_.settle();
            return 0;
        case WM_DISPLAYCHANGE:
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
