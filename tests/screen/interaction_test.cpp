#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <set>

#include "fakes/fake_services.h"

using namespace ladoslov;
using namespace ladoslov::testing;

namespace {

std::map<const Control*, std::uint64_t> revisions(Form1& f) {
    std::map<const Control*, std::uint64_t> out;
    for (const Control* c : f.inventory().controls()) out[c] = c->revision();
    return out;
}

std::vector<const Control*> changedSince(Form1& f, const std::map<const Control*, std::uint64_t>& before) {
    std::vector<const Control*> out;
    for (const Control* c : f.inventory().controls())
        if (c->revision() != before.at(c)) out.push_back(c);
    return out;
}

// The weekday labels "Пн" … "Вс" of the twelve blocks, as the design numbers them.
std::set<int> weekdayLabelNumbers() {
    std::set<int> out;
    for (int first : {3, 13, 22, 31, 41, 49, 59, 68, 77, 86, 95, 104})
        for (int n = first; n < first + 7; ++n) out.insert(n);
    return out;
}

TEST(RandomPaletteColour, PicksEntryFloorOfRTimesSixteenWithOneDraw) {
    struct Case {
        float r;
        int entry;
    } cases[] = {
        {0.0f, 0},
        {std::nextafter(1.0f / 16, 0.0f), 0},
        {1.0f / 16, 1},
        {0.25f, 4},
        {0.49f, 7},
        {0.5f, 8},
        {0.75f, 12},
        {15.0f / 16, 15},
        {std::nextafter(1.0f, 0.0f), 15},  // never 16
        // A generator that breaks its range still gives a palette colour.
        {1.0f, 15},
        {-0.5f, 0},
        {std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const Case& c : cases) {
        Harness h;
        h.random.values.push_back(c.r);
        h.random.values.push_back(0.5f);
        EXPECT_EQ(h.form.RandomPaletteColour(), kPalette[static_cast<std::size_t>(c.entry)]) << c.r;
        EXPECT_EQ(h.random.draws, 1);
    }
    // Every entry can come out, and the palette numbers stand for these colours.
    const Colour want[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
                             0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    Harness h;
    for (int n = 0; n < 16; ++n) h.random.values.push_back((static_cast<float>(n) + 0.5f) / 16);
    for (int n = 0; n < 16; ++n) EXPECT_EQ(h.form.RandomPaletteColour(), want[n]) << n;
    EXPECT_EQ(h.random.draws, 16);
}

TEST(ColourChoice, Image3GivesEveryWeekdayLabelOneColourAndTouchesNothingElse) {
    Harness h;
    h.load();
    h.fillAll();
    Form1& f = h.form;
    const auto before = revisions(f);
    const int drawsBefore = h.random.draws;
    h.random.values = {0.5f, 0.0f};
    f.click(f.Image3);
    EXPECT_EQ(h.random.draws, drawsBefore + 1);

    std::set<int> changed;
    for (const Control* c : changedSince(f, before)) {
        ASSERT_TRUE(c->isLabel()) << c->displayName();
        ASSERT_EQ(c->index(), -1) << c->displayName() << " is a day cell";
        changed.insert(std::stoi(c->name().substr(5)));
    }
    EXPECT_EQ(changed, weekdayLabelNumbers());
    for (int n : weekdayLabelNumbers()) EXPECT_EQ(f.label(n).foreColour(), 0x808080u) << n;
    for (int month = 1; month <= 12; ++month) EXPECT_EQ(h.title(month).revision(), before.at(&h.title(month)));
}

TEST(ColourChoice, BlackIsAppliedLikeAnyOtherColour) {
    Harness h;
    h.load();
    h.random.values = {0.0f};
    h.form.click(h.form.Image3);
    EXPECT_EQ(h.form.label(9).foreColour(), 0x000000u);  // January's Sunday
    EXPECT_EQ(h.form.label(104).foreColour(), 0x000000u);
}

TEST(ColourChoice, ACaptionClickRecoloursOnlyThatLabel) {
    const std::pair<int, float> cases[] = {{12, 0.0f}, {112, 0.1f}, {113, 0.3f}, {114, 0.7f}, {115, 0.99f}};
    for (const auto& [number, r] : cases) {
        Harness h;
        h.load();
        Form1& f = h.form;
        Label& l = f.label(number);
        const Font font = l.font();
        const std::string caption = l.caption();
        const Twips left = l.left(), top = l.top(), width = l.width();
        const Colour old = l.foreColour();
        const auto before = revisions(f);
        h.random.values = {r};
        f.click(l);
        EXPECT_EQ(l.foreColour(), kPalette[static_cast<std::size_t>(std::floor(r * 16))]) << number;
        // The same colour drawn again changes nothing.
        const auto changed = l.foreColour() == old ? std::vector<const Control*>{} : std::vector<const Control*>{&l};
        EXPECT_EQ(changedSince(f, before), changed) << number;
        EXPECT_EQ(l.font(), font);
        EXPECT_EQ(l.caption(), caption);
        EXPECT_EQ(l.left(), left);
        EXPECT_EQ(l.top(), top);
        EXPECT_EQ(l.width(), width);
        EXPECT_FALSE(f.ended());
    }
}

TEST(ColourChoice, AColourSurvivesTheClockAndTheFeastTicks) {
    Harness h;
    h.clock.date = {2026, 7, 12};  // a fixed feast that also sets the feast line's font size
    h.load();
    Form1& f = h.form;
    h.random.values = {0.8f, 0.6f};
    f.click(f.Label12);
    f.click(f.Label115);
    const Colour clock = f.Label12.foreColour(), feast = f.Label115.foreColour();
    ASSERT_EQ(clock, kPalette[12]);
    ASSERT_EQ(feast, kPalette[9]);
    for (int second = 0; second < 3; ++second) {
        h.clock.time = {12, 0, second};
        f.timerTick(13);
        f.timerTick(14);
    }
    EXPECT_EQ(f.Label12.caption(), "12:00:02");
    EXPECT_EQ(f.Label115.caption(), "Святых первоверховных апостолов Петра и Павла");
    EXPECT_EQ(f.Label115.font().size, 20);
    EXPECT_EQ(f.Label12.foreColour(), clock);
    EXPECT_EQ(f.Label115.foreColour(), feast);
}

TEST(Clock, EmptyUntilTheFirstTickThenTheTimeWithoutMovingTheLabel) {
    Harness h;
    h.load();
    Form1& f = h.form;
    EXPECT_EQ(f.Label12.caption(), "");
    const Twips left = f.Label12.left(), top = f.Label12.top(), width = f.Label12.width(), height = f.Label12.height();
    const Colour colour = f.Label12.foreColour();
    const std::pair<TimeOfDay, const char*> cases[] = {
        {{9, 5, 7}, "09:05:07"}, {{0, 0, 0}, "00:00:00"}, {{23, 59, 59}, "23:59:59"}, {{12, 30, 1}, "12:30:01"}};
    for (const auto& [time, text] : cases) {
        h.clock.time = time;
        f.timerTick(13);
        EXPECT_EQ(f.Label12.caption(), text);
        EXPECT_EQ(f.Label12.left(), left);
        EXPECT_EQ(f.Label12.top(), top);
        EXPECT_EQ(f.Label12.width(), width);
        EXPECT_EQ(f.Label12.height(), height);
        EXPECT_EQ(f.Label12.foreColour(), colour);
    }
}

struct DropCase {
    Twips grabX, grabY, dropX, dropY, left, top;
};

TEST(Pictures, ADropPutsTheGrabbedPointUnderThePointer) {
    const DropCase cases[] = {
        {300, 150, 5000, 4000, 4700, 3850},
        {0, 0, 0, 0, 0, 0},
        // No bounds: partly outside the window.
        {1350, 1050, 100, 200, -1250, -850},
        {15, 15, 15360, 11520, 15345, 11505},
    };
    for (const DropCase& c : cases) {
        Harness h;
        h.load();
        Image& boat = h.form.Image2;
        const Twips width = boat.width(), height = boat.height();
        h.form.mouseDown(boat, 1, 0, c.grabX, c.grabY);
        EXPECT_TRUE(boat.dragRequested());
        EXPECT_EQ(h.form.GrabX, c.grabX);
        EXPECT_EQ(h.form.GrabY, c.grabY);
        h.form.Form_DragDrop(boat, c.dropX, c.dropY);
        EXPECT_EQ(boat.left(), c.left);
        EXPECT_EQ(boat.top(), c.top);
        EXPECT_EQ(boat.width(), width);
        EXPECT_EQ(boat.height(), height);
        // The grab point stays until the next drag.
        EXPECT_EQ(h.form.GrabX, c.grabX);
        EXPECT_EQ(h.form.GrabY, c.grabY);
    }
}

TEST(Pictures, OnlyTheLeftButtonBeginsADrag) {
    Harness h;
    h.load();
    Form1& f = h.form;
    f.mouseDown(f.Image2, 1, 0, 300, 150);
    f.Image2.endDrag();
    // Image2 goes to the back on the left press, so every overlapping label is drawn over it.
    ASSERT_EQ(f.inventory().stackingOrder().front(), &f.Image2);
    f.inventory().bringToFront(f.Image2);
    const std::uint64_t stacking = f.inventory().stackingRevision();
    for (int button : {2, 4, 0}) {
        for (int shift : {0, 1}) {
            f.mouseDown(f.Image2, button, shift, 30, 45);
            EXPECT_FALSE(f.Image2.dragRequested()) << button;
            EXPECT_EQ(f.GrabX, 300);
            EXPECT_EQ(f.GrabY, 150);
            EXPECT_EQ(f.inventory().stackingRevision(), stacking);
        }
    }
    EXPECT_TRUE(f.Image2.visible());
    // A left press with Shift held still drags.
    f.mouseDown(f.Image2, 1, 1, 30, 45);
    EXPECT_TRUE(f.Image2.dragRequested());
    EXPECT_EQ(f.GrabX, 30);
    EXPECT_EQ(f.inventory().stackingOrder().front(), &f.Image2);
}

TEST(Pictures, APressOnAnotherPictureBeginsNoDrag) {
    Harness h;
    h.load();
    Form1& f = h.form;
    for (Image* image : {&f.Image1, &f.Image3, &f.Image4}) {
        f.mouseDown(*image, 1, 0, 10, 10);
        EXPECT_FALSE(image->dragRequested()) << image->name();
    }
    EXPECT_EQ(f.GrabX, 0);
    EXPECT_EQ(f.GrabY, 0);
}

TEST(Pictures, Image1DoubleClickPlaysOnTheFirstClickThenHides) {
    Harness h;
    h.files.addFile("muz/ladoslov.mp3", "tune");
    h.load();
    Form1& f = h.form;
    h.multimedia.commands.clear();
    // A double-click comes as a click and then a double-click.
    f.click(f.Image1);
    f.dblClick(f.Image1);
    EXPECT_EQ(h.multimedia.commands, std::vector<std::string>{"play \"muz/ladoslov.mp3\""});
    EXPECT_FALSE(f.Image1.visible());
    EXPECT_FALSE(f.ended());
}

TEST(Pictures, Image2ClickHidesIt) {
    Harness h;
    h.load();
    Form1& f = h.form;
    const Twips left = f.Image2.left(), top = f.Image2.top();
    f.mouseDown(f.Image2, 1, 0, 10, 10);
    f.Image2.endDrag();
    f.click(f.Image2);
    EXPECT_FALSE(f.Image2.visible());
    EXPECT_EQ(f.Image2.left(), left);
    EXPECT_EQ(f.Image2.top(), top);
    // A double-click on it does nothing beyond its clicks.
    f.dblClick(f.Image2);
    EXPECT_FALSE(f.Image2.visible());
    EXPECT_FALSE(f.ended());
}

TEST(Pictures, Image4AndTheOtherPicturesKeepTheirPlaceOnClicks) {
    Harness h;
    h.load();
    Form1& f = h.form;
    const auto before = revisions(f);
    f.click(f.Image4);
    f.dblClick(f.Image4);
    f.dblClick(f.Image3);  // the double-click alone: its clicks come separately
    EXPECT_TRUE(changedSince(f, before).empty());
}

}  // namespace
