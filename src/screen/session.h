#pragma once
// The front end's contract.
//
// A front end (the Qt view, the Win32 window) shows Form1 on one platform. It translates that platform's
// events into calls on a FormSession, and after each of them calls settle(), which carries out the update
// of every session of the screensaver through the function each front end registered (onUpdate: the
// step is called sync in both views). It paints the background (backgroundPicture, stretched again when
// its BackgroundKey changes), then rasterises drawList() in its order. Everything else is decided here,
// once for every platform.
//
// Start-up: runScreensaver() runs the host's switch, asks the front end for its windows (one a monitor,
// or the one inside a host's window), runs Form_Load, has the windows shown and the timers started, then
// runs the front end's event loop; after each step the program may have ended. A front end never calls
// the handlers of start-up itself.
//
// The screen: a front end reports the size in pixels and the dots per inch of the window it draws into
// (reshape), at its creation and whenever they change; the session turns them into the layout's screen
// and the scale the window is drawn at (twipsPerPixel), and lays the design out again.
//
// What ends the screensaver: a key or a click on any monitor's window, the window closed by other means
// (close), or the host's window gone (close). When one form ends, every other form of the screensaver is
// closed with it.
//
// After every event it handed over (input, timer tick, close, a new size) and once its window is shown, a
// front end has its update carried out:
//   - window: place and size its window as Form1's left/top/width/height say, and repaint it all;
//   - whole / areas: repaint everything, or the pixels of these bounds (pixelsToRepaint), the drag
//     feedback's old and new places included;
//   - timers: start or stop its native timer for each number, at the interval given;
//   - cursor: show this cursor while the pointer rests where it is.
//
// What a front end may not decide: which control is under a point (cursorAt, toolTipAt and the input
// calls decide it), whether a press is a click, a double-click or a drag, which timers run, how twips
// become pixels (drawnPixels for where a control is drawn, pixelsToRepaint for what to repaint), the
// scale, what is drawn in which order (drawList), whether input counts (after the end, and inside a host's
// window, it is dropped here) and what ends the screensaver. It may decide how it rasterises (and skip
// what lies outside the places to repaint), and the platform's own facts: its drag threshold,
// the double-click, the focus, the mouse capture while held().

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "screen/drawn_screen.h"
#include "screen/form.h"
#include "screen/pointer.h"

namespace ladoslov {

// ---- drawing rules --------------------------------------------------------------------------------

// The dragged picture is drawn under the pointer at this opacity.
inline constexpr double kDragFeedbackOpacity = 0.6;
// Image4's sunken frame, in pixels, around its picture.
inline constexpr int kSunkenFramePixels = 2;

struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// A place on the window's pixels in twips, and a place in twips at its nearest pixel.
inline Twips twipsOf(double pixels, double twipsPerPixel) { return static_cast<Twips>(pixels * twipsPerPixel); }
int nearestPixel(Twips t, double twipsPerPixel);
// Where bounds are drawn: every edge at its nearest pixel.
PixelRect drawnPixels(const TwipsRect& r, double twipsPerPixel);
// The pixels that drawing the bounds may touch: every edge rounded outwards.
PixelRect pixelsToRepaint(const TwipsRect& r, double twipsPerPixel);

// One thing to draw: a visible label or picture, or the drag feedback.
struct Drawing {
    const Label* label = nullptr;  // its caption in its font and colour, wrapped if it wraps; or
    const Image* image = nullptr;  // its picture, filling `at` inside the frame
    TwipsRect bounds;              // where it stands (pixelsToRepaint of it: the pixels it may touch)
    PixelRect at;                  // where it is drawn (drawnPixels)
    int frame = 0;                 // a sunken frame of this many pixels along the inside of `at`
    bool border = false;           // a single black line along the inside of `at`
    double opacity = 1.0;
};

// The background is a picture stretched over the whole window, made once and again only when this changes.
struct BackgroundKey {
    std::string source;
    int width = 0, height = 0;
    friend bool operator==(const BackgroundKey&, const BackgroundKey&) = default;
};

// ---- the session ----------------------------------------------------------------------------------

struct TimerRequest {
    int number;  // Timer1 … Timer14
    bool run;
    int intervalMs;
    friend bool operator==(const TimerRequest&, const TimerRequest&) = default;
};

struct ToolTip {
    const Control* control = nullptr;  // the control it stands for, nullptr over the bare window
    std::string text;                  // empty: no tip
    TwipsRect bounds;                  // shown while the pointer stays inside
};

class SessionGroup;

class FormSession {
public:
    // screen: the screen the form's services lay the design out on, which the window is drawn into.
    // timerResolutionMs: the shortest interval a native timer is asked for. The design's 1 ms fill timers
    // tick about once a frame where the system's timers are that coarse; a platform whose timers are
    // exact asks for a frame (16), one whose system rounds up itself for 0.
    FormSession(Form1& form, DrawnScreen& screen, int timerResolutionMs);

    Form1& form() { return form_; }
    const Form1& form() const { return form_; }
    // Twips per pixel of the window: how its pixels and the layout's twips meet.
    double twipsPerPixel() const { return screen_.twipsPerPixel(); }
    // The window drawn into has this size in pixels and dpi: the layout's screen and scale follow it, and
    // a loaded form is laid out for it again.
    void reshape(int widthPx, int heightPx, double dpi);
    // How the front end carries out this session's update; settle() calls it.
    void onUpdate(std::function<void()> apply) { apply_ = std::move(apply); }
    // After an event: the forms that end with it are closed, and every session's update carried out.
    void settle();

    // ---- events, in the window's client twips; dropped once the program has ended ----
    void press(int button, int shift, Twips x, Twips y);
    void doublePress(int button, int shift, Twips x, Twips y);
    void move(Twips x, Twips y, Twips dragThreshold);
    void release(int button, int shift, Twips x, Twips y);
    void pointerLeft();
    void keyDown(int keyCode, int shift);
    void keyUp(int keyCode, int shift);
    void keyPress(char32_t character);
    void tick(int timer);
    // The window is being closed by other means than the handlers (the system, a signal, the host).
    void close();

    // Timers run from now on (start-up's last step before the event loop).
    void startTimers();
    // A press is held: the front end keeps the mouse until its release.
    bool held() const { return pointer_.held(); }
    // The cursor over a point, which becomes the resting pointer's place; a held press keeps its own.
    Cursor cursorAt(Twips x, Twips y);
    ToolTip toolTipAt(Twips x, Twips y) const;
    std::optional<PointerInput::Ghost> dragFeedback() const { return pointer_.ghost(); }

    // What is drawn over the background, bottom first: every visible label and picture in stacking order
    // (never the picture box), then the drag feedback at kDragFeedbackOpacity.
    std::vector<Drawing> drawList() const;
    // The picture the background is stretched from, or none: the window is filled with the button face.
    std::optional<std::string> backgroundPicture() const;

    struct Update {
        bool window = false;
        bool whole = false;
        std::vector<TwipsRect> areas;
        std::vector<TimerRequest> timers;
        std::optional<Cursor> cursor;
    };
    Update update();

private:
    friend class SessionGroup;
    int intervalOf(const Timer& t) const;
    bool takesInput() const { return !form_.ended() && !form_.services().insideHost; }
    std::vector<FormSession*> members();

    Form1& form_;
    DrawnScreen& screen_;
    SessionGroup* group_ = nullptr;
    std::function<void()> apply_;
    int timerResolutionMs_;
    ChangeTracker tracker_;
    PointerInput pointer_;
    std::uint64_t windowRevision_ = 0;
    bool timersStarted_ = false;
    std::vector<bool> timerRunning_;
    std::optional<TwipsRect> feedbackShown_;
    std::optional<std::pair<Twips, Twips>> pointerAt_;
    Cursor cursor_ = Cursor::Arrow;
};

// The sessions of one screensaver, one a monitor, the primary's first. Keys reach every form, so F10 shows
// the prayer on every monitor; when one form ends, the others are closed.
class SessionGroup {
public:
    void join(FormSession& session);
    const std::vector<FormSession*>& sessions() const { return sessions_; }

private:
    friend class FormSession;
    void endTogether();
    std::vector<FormSession*> sessions_;
};

// ---- start-up ---------------------------------------------------------------------------------------

// What start-up asks of a front end, in runScreensaver's order.
class FrontEnd {
public:
    virtual ~FrontEnd() = default;
    // A window for each form with every control, not yet shown (Form_Load makes it top-most), each
    // reshaped to the size and dpi it is drawn at.
    virtual void createWindows() = 0;
    // Shows the windows where the core put them, or inside a host's window; false when they cannot be.
    virtual bool showWindows() = 0;
    // Starts the timers (FormSession::startTimers, then the update).
    virtual void startTimers() = 0;
    // Runs the event loop until the program ends; its exit code.
    virtual int runEventLoop() = 0;
};

// The program's run: the host's switch, the windows, Form_Load of every form (the primary's first),
// shown, the timers, the event loop. Returns the primary form's exit code (1 when the windows could not
// be shown).
int runScreensaver(const std::vector<Form1*>& forms, FrontEnd& frontEnd);
inline int runScreensaver(Form1& form, FrontEnd& frontEnd) { return runScreensaver(std::vector<Form1*>{&form}, frontEnd); }

}  // namespace ladoslov
