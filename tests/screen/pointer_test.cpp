#include <gtest/gtest.h>

#include <cmath>

#include "fakes/fake_services.h"
#include "screen/pointer.h"

using namespace ladoslov;
using namespace ladoslov::testing;

namespace {

struct Loaded : Harness {
    PointerInput pointer{form};
    Loaded() {
        load();
        fillAll();
    }
    // A point inside a control, away from its edges.
    static std::pair<Twips, Twips> middleOf(const Control& c) { return {c.left() + c.width() / 2, c.top() + c.height() / 2}; }
    // A point of the bare window: the left edge, beside the month blocks.
    static constexpr Twips kBareX = 60, kBareY = 4000;
    void click(Twips x, Twips y) {
        pointer.press(kLeftButton, 0, x, y);
        pointer.release(kLeftButton, 0, x, y);
    }
    void doubleClick(Twips x, Twips y) {
        click(x, y);
        pointer.doublePress(kLeftButton, 0, x, y);
        pointer.release(kLeftButton, 0, x, y);
    }
    bool running() const { return process.ends.empty(); }
};

TEST(ControlAt, FrontMostVisibleControlOrTheBareWindow) {
    Loaded h;
    Form1& f = h.form;
    ASSERT_EQ(controlAt(f, Loaded::kBareX, Loaded::kBareY), nullptr);
    const auto [x, y] = Loaded::middleOf(f.Image2);
    EXPECT_EQ(controlAt(f, x, y), &f.Image2);
    // A label laid over the picture and brought to the front takes the point; hidden, it gives it back.
    f.Label1.move(f.Image2.left(), f.Image2.top());
    f.inventory().bringToFront(f.Label1);
    EXPECT_EQ(controlAt(f, f.Image2.left() + 1, f.Image2.top() + 1), &f.Label1);
    f.Label1.setVisible(false);
    EXPECT_EQ(controlAt(f, f.Image2.left() + 1, f.Image2.top() + 1), &f.Image2);
    // The right and bottom edges belong to the neighbour.
    EXPECT_NE(controlAt(f, f.Image2.left() + f.Image2.width(), y), &f.Image2);
}

TEST(PointerInput, ClicksAndDoubleClicks) {
    {  // a click on the bare window ends the screensaver
        Loaded h;
        h.click(Loaded::kBareX, Loaded::kBareY);
        EXPECT_FALSE(h.running());
    }
    {  // the boat's first click hides it; the second press of the double-click then lands on the bare window
        Loaded h;
        const auto [x, y] = Loaded::middleOf(h.form.Image2);
        h.doubleClick(x, y);
        EXPECT_FALSE(h.form.Image2.visible());
        EXPECT_TRUE(h.running());
    }
    {  // Image1: the first click plays the tune again, the double-click hides it
        Loaded h;
        h.files.addFile("muz/ladoslov.mid", "MThd");
        const auto [x, y] = Loaded::middleOf(h.form.Image1);
        h.doubleClick(x, y);
        EXPECT_FALSE(h.form.Image1.visible());
        EXPECT_TRUE(h.running());
    }
    {  // a press on a month title released elsewhere is no click
        Loaded h;
        Label& title = h.title(3);
        const Colour before = title.foreColour();
        h.random.values = {0.99f};
        const auto [x, y] = Loaded::middleOf(title);
        h.pointer.press(kLeftButton, 0, x, y);
        h.pointer.release(kLeftButton, 0, Loaded::kBareX, Loaded::kBareY);
        EXPECT_EQ(title.foreColour(), before);
        EXPECT_TRUE(h.running());
    }
}

TEST(PointerInput, TheBoatIsDraggedAndDroppedOnlyOnTheBareWindow) {
    struct Case {
        const char* what;
        Twips dx, dy;    // from the press to the release
        bool overCell;   // released over January's first day cell instead
        bool moved, hidden;
    };
    const Case cases[] = {
        {"onto the bare window", -2000, -2000, false, true, false},
        {"onto a control", 0, 0, true, false, false},
        {"beside the window", 40000, 0, false, false, false},
        {"not past the threshold: a click", 30, 0, false, false, true},
    };
    for (const Case& c : cases) {
        Loaded h;
        Form1& f = h.form;
        const Twips left = f.Image2.left(), top = f.Image2.top();
        const Twips px = left + 100, py = top + 100;
        Twips rx = px + c.dx, ry = py + c.dy;
        if (c.overCell) std::tie(rx, ry) = Loaded::middleOf(h.cells(1)[10]);
        h.pointer.press(kLeftButton, 0, px, py);
        h.pointer.move(rx, ry, 60);
        const bool pastThreshold = std::abs(rx - px) + std::abs(ry - py) >= 60;
        ASSERT_EQ(h.pointer.ghost().has_value(), pastThreshold) << c.what;
        if (pastThreshold) {
            EXPECT_EQ(h.pointer.ghost()->bounds, (TwipsRect{rx - 100, ry - 100, f.Image2.width(), f.Image2.height()}));
        }
        h.pointer.release(kLeftButton, 0, rx, ry);
        EXPECT_FALSE(h.pointer.ghost()) << c.what;
        EXPECT_FALSE(f.Image2.dragRequested()) << c.what;
        EXPECT_EQ(f.Image2.left() != left || f.Image2.top() != top, c.moved) << c.what;
        if (c.moved) {
            EXPECT_EQ(f.Image2.left(), rx - 100) << c.what;
        }
        EXPECT_EQ(!f.Image2.visible(), c.hidden) << c.what;
        EXPECT_TRUE(h.running()) << c.what;
    }
}

TEST(ChangeTracker, WholeWindowFirstThenOnlyWhatChanged) {
    Loaded h;
    Form1& f = h.form;
    ChangeTracker tracker(f);
    EXPECT_TRUE(tracker.take().whole);
    EXPECT_FALSE(tracker.take().any());

    const TwipsRect clock = boundsOf(f.Label12);
    f.timerTick(13);
    auto changes = tracker.take();
    ASSERT_FALSE(changes.whole);
    ASSERT_FALSE(changes.areas.empty());
    for (const TwipsRect& r : changes.areas)  // the clock's old and new extent, nothing else
        EXPECT_TRUE(r == clock || r == boundsOf(f.Label12));

    const TwipsRect boat = boundsOf(f.Image2);
    f.Image2.move(boat.left + 500, boat.top);
    changes = tracker.take();
    EXPECT_EQ(changes.areas, (std::vector<TwipsRect>{boat, boundsOf(f.Image2)}));
    f.Image2.setVisible(false);
    EXPECT_EQ(tracker.take().areas, (std::vector<TwipsRect>{boundsOf(f.Image2)}));

    f.inventory().bringToFront(f.Label1);
    EXPECT_TRUE(tracker.take().whole);
}

// The feast line's timer sets its caption and place every 1.5 s; once they stand, a tick repaints nothing.
TEST(ChangeTracker, ATickThatChangesNothingRepaintsNothing) {
    Harness h;
    h.clock.date = {2026, 7, 12};  // a fixed feast: a caption and a font size of its own
    h.load();
    ChangeTracker tracker(h.form);
    h.form.timerTick(14);
    ASSERT_TRUE(tracker.take().any());
    ASSERT_FALSE(h.form.Label115.caption().empty());
    h.form.timerTick(14);
    h.form.timerTick(14);
    EXPECT_FALSE(tracker.take().any());
}

}  // namespace
