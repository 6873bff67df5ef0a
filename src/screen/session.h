#pragma once
// The front end's contract.
//
// A front end (the Qt view, the Win32 window) shows Form1 on one platform. It translates that platform's
// events into calls on a FormSession, and after each of them applies what FormSession::update() returns;
// it paints the visible controls in stacking order over the background, as the drawing rules below say.
// Everything else is decided here, once for every platform.
//
// Start-up: runScreensaver() runs the host's switch, asks the front end for its window, runs Form_Load,
// has the window shown and the timers started, then runs the front end's event loop; after each step the
// program may have ended. A front end never calls the handlers of start-up itself.
//
// After every event it handed over (input, timer tick, close, a new screen size) and once its window is
// shown, a front end calls update() and carries out all of it:
//   - window: place and size its window as Form1's left/top/width/height say, and repaint it all;
//   - whole / areas: repaint everything, or the pixels of these bounds (pixelsToRepaint), the drag
//     feedback's old and new places included;
//   - timers: start or stop its native timer for each number, at the interval given;
//   - cursor: show this cursor while the pointer rests where it is.
//
// What a front end may not decide: which control is under a point (cursorAt, toolTipAt and the input
// calls decide it), whether a press is a click, a double-click or a drag, which timers run, how twips
// become pixels (drawnPixels for where a control is drawn, pixelsToRepaint for what to repaint), and
// whether input still counts (after the end it is dropped here). It may decide how it paints, and the
// platform's own facts: its drag threshold, the double-click, the focus, the mouse capture while held().

#include <optional>
#include <string>
#include <vector>

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

class FormSession {
public:
    // timerResolutionMs: the shortest interval a native timer is asked for. The design's 1 ms fill timers
    // tick about once a frame where the system's timers are that coarse; a platform whose timers are
    // exact asks for a frame (16), one whose system rounds up itself for 0.
    FormSession(Form1& form, int timerResolutionMs);

    Form1& form() { return form_; }
    const Form1& form() const { return form_; }

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
    // The screen drawn into has a new size or scale: the layout follows it.
    void screenChanged();

    // Timers run from now on (start-up's last step before the event loop).
    void startTimers();
    // A press is held: the front end keeps the mouse until its release.
    bool held() const { return pointer_.held(); }
    // The cursor over a point, which becomes the resting pointer's place; a held press keeps its own.
    Cursor cursorAt(Twips x, Twips y);
    ToolTip toolTipAt(Twips x, Twips y) const;
    std::optional<PointerInput::Ghost> dragFeedback() const { return pointer_.ghost(); }

    struct Update {
        bool window = false;
        bool whole = false;
        std::vector<TwipsRect> areas;
        std::vector<TimerRequest> timers;
        std::optional<Cursor> cursor;
    };
    Update update();

private:
    int intervalOf(const Timer& t) const;

    Form1& form_;
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

// ---- start-up ---------------------------------------------------------------------------------------

// What start-up asks of a front end, in runScreensaver's order.
class FrontEnd {
public:
    virtual ~FrontEnd() = default;
    // The window with every control, not yet shown (Form_Load makes it top-most).
    virtual void createWindow() = 0;
    // Shows the window where the core put it, or inside a host's window; false when it cannot be shown.
    virtual bool showWindow() = 0;
    // Starts the timers (FormSession::startTimers, then the update).
    virtual void startTimers() = 0;
    // Runs the event loop until the program ends; its exit code.
    virtual int runEventLoop() = 0;
};

// The program's run: the host's switch, the window, Form_Load, shown, the timers, the event loop. Returns
// the exit code (1 when the window could not be shown).
int runScreensaver(Form1& form, FrontEnd& frontEnd);

}  // namespace ladoslov
