#pragma once
// What every front end decides the same way: which control is under a point, what must be repainted since
// the last paint, and what the mouse does (click, double-click, the drag of a picture and its drop).
// Everything is in the window's client twips; the front end converts from and to its pixels.

#include <cstdint>
#include <optional>
#include <vector>

#include "screen/controls.h"

namespace ladoslov {

class Form1;

struct TwipsRect {
    Twips left = 0, top = 0, width = 0, height = 0;
    bool contains(Twips x, Twips y) const { return x >= left && x < left + width && y >= top && y < top + height; }
    bool empty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

TwipsRect boundsOf(const Control& c);

// The front-most visible control under a point of the window, in stacking order; the hidden picture box
// never. nullptr over the bare window.
Control* controlAt(Form1& form, Twips x, Twips y);

// What must be repainted since the last take().
class ChangeTracker {
public:
    explicit ChangeTracker(const Form1& form);

    struct Changes {
        bool whole = false;             // the whole window: first paint, window, background or stacking changed
        std::vector<TwipsRect> areas;   // otherwise the old and new bounds of every control that changed
        bool any() const { return whole || !areas.empty(); }
    };
    Changes take();

private:
    struct Seen {
        const Control* control;
        std::uint64_t revision;
        TwipsRect bounds;
        bool visible;
    };
    const Form1& form_;
    std::vector<Seen> seen_;
    std::uint64_t windowRevision_ = 0;
    std::uint64_t stackingRevision_ = 0;
    std::uint64_t backgroundRevision_ = 0;
};

inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

// The window's mouse. A press goes to the control under the pointer (MouseDown), its release over the same
// control to Click; a press and release on the bare window is the window's Click. The second press of a
// double-click goes to the control's DblClick and raises no Click, on a control or on the bare window.
// A picture whose MouseDown began a drag follows the pointer as feedback once it has moved past the drag
// threshold, and its release on the bare window, inside the window, is the window's DragDrop.
class PointerInput {
public:
    explicit PointerInput(Form1& form) : form_(form) {}

    void press(int button, int shift, Twips x, Twips y);
    void doublePress(int button, int shift, Twips x, Twips y);
    void move(Twips x, Twips y, Twips dragThreshold);
    void release(int button, int shift, Twips x, Twips y);

    // A press is held: the front end captures the mouse until the release.
    bool held() const { return held_; }

    struct Ghost {
        const Image* image;
        TwipsRect bounds;
    };
    std::optional<Ghost> ghost() const;

private:
    // Takes the press (none while one is held or after the end) and finds the control under it.
    bool hold(int button, bool clickable, Twips x, Twips y);

    Form1& form_;
    bool held_ = false;
    int button_ = 0;
    Control* target_ = nullptr;   // the control pressed, or nullptr for the bare window
    bool clickable_ = false;      // false after the second press of a double-click
    Image* dragged_ = nullptr;
    bool ghostShown_ = false;
    Twips pressX_ = 0, pressY_ = 0, pointerX_ = 0, pointerY_ = 0;
    Twips grabX_ = 0, grabY_ = 0;  // where the dragged picture was taken, from its top-left corner
};

}  // namespace ladoslov
