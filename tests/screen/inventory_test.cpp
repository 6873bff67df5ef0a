#include <gtest/gtest.h>

#include <set>

#include "fakes/fake_services.h"

using namespace ladoslov;
using namespace ladoslov::testing;

TEST(Inventory, HoldsEveryControlOfTheDesignOnce) {
    Harness h;
    const auto labels = h.form.inventory().labels();
    EXPECT_EQ(labels.size(), 547u);
    std::set<std::string> names;
    for (Label* l : labels) EXPECT_TRUE(names.insert(l->displayName()).second) << l->displayName();
    // 103 single labels and twelve arrays of 37.
    int arrays = 0;
    for (int n = 1; n <= 115; ++n) arrays += h.form.inventory().isLabelArray(n);
    EXPECT_EQ(arrays, 12);
    EXPECT_EQ(h.form.Label115.name(), "Label115");
    EXPECT_EQ(h.form.labelArray(10)[36].displayName(), "Label10(36)");
    EXPECT_FALSE(h.form.PctFon.visible());
}

TEST(Inventory, CellPlacementFollowsColumnsAndRows) {
    Harness h;
    struct Case {
        int array, index;
        Twips left, top;
    } cases[] = {
        {10, 0, 720, 1560},    {10, 6, 720, 1560 + 6 * 240}, {10, 7, 960, 1560},
        {10, 35, 960 + 360 * 4, 1560}, {10, 36, 2400, 1800},  {30, 0, 10200, 1560},
        {30, 7, 10560, 1560},  {102, 0, 10200, 8760},        {102, 7, 10560, 8760},
        {75, 13, 13560, 6480 + 6 * 240},
    };
    for (const Case& c : cases) {
        const Label& cell = h.form.labelArray(c.array)[c.index];
        EXPECT_EQ(cell.left(), c.left) << cell.displayName();
        EXPECT_EQ(cell.top(), c.top) << cell.displayName();
        EXPECT_EQ(cell.caption(), std::to_string(c.index + 1));
    }
}

TEST(Inventory, WeekdayLabelsStandOnTheRowsOfTheirCells) {
    Harness h;
    for (const MonthDesign& m : kMonthBlocks) {
        const char* names[] = {"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"};
        for (int row = 0; row < 7; ++row) {
            const Label& wd = h.form.label(m.weekdayLabel(row));
            EXPECT_EQ(wd.caption(), names[row]) << wd.name();
            EXPECT_EQ(wd.top(), h.form.labelArray(m.cellArray)[row].top()) << wd.name();
            EXPECT_EQ(wd.left(), m.weekdayLeft);
            EXPECT_EQ(wd.foreColour(), 0x804000u);
        }
    }
    // "Label19 … Label13" runs downwards: Label19 is Monday, Label13 Sunday.
    EXPECT_EQ(h.form.label(19).caption(), "Пн");
    EXPECT_EQ(h.form.label(13).caption(), "Вс");
}

TEST(Inventory, DayCellColoursAndTitles) {
    Harness h;
    for (const MonthDesign& m : kMonthBlocks) {
        const Colour expected = (m.month == 1 || m.month >= 9) ? kPalette[0] : kSystemText;
        EXPECT_EQ(h.form.labelArray(m.cellArray)[3].foreColour(), expected) << m.title;
        const Label& t = h.form.label(m.titleLabel);
        EXPECT_EQ(t.caption(), m.title);
        EXPECT_EQ(t.cursor(), Cursor::A);
        EXPECT_EQ(t.autoSize(), m.titleLabel != 85);
        EXPECT_EQ(t.toolTip().empty(), m.titleLabel != 11);
    }
    EXPECT_EQ(h.form.label(85).width(), 750);
}

TEST(Inventory, AutoSizeFollowsCaptionAndFont) {
    Harness h;
    Label& cell = h.form.labelArray(10)[0];
    EXPECT_EQ(cell.width(), 120);  // "1"
    const Twips left = cell.left();
    cell.setCaption("23");
    EXPECT_EQ(cell.width(), 225);
    EXPECT_EQ(cell.left(), left);
    // A word-wrapped label keeps its width and grows downwards.
    Label& names = h.form.Label113;
    const Twips oneLine = names.height();
    names.setCaption(std::string(200, 'x'));
    EXPECT_EQ(names.width(), 7680);
    EXPECT_GT(names.height(), oneLine);
    // A fixed-size label ignores its text.
    h.form.Label12.setCaption("23:59:59 and more");
    EXPECT_EQ(h.form.Label12.width(), 2010);
    // A new font size measures again.
    Label& feast = h.form.Label115;
    feast.setCaption("Пасха");
    const Twips big = feast.width();
    feast.setFontSize(20);
    EXPECT_LT(feast.width(), big);
}

TEST(Inventory, ClickCursorsMarkExactlyTheControlsThatReact) {
    Harness h;
    for (Control* c : h.form.inventory().controls()) {
        if (c->kind() == ControlKind::PictureBox) continue;
        EXPECT_EQ(c->cursor() != Cursor::Arrow, h.form.reactsToClick(*c)) << c->displayName();
    }
    EXPECT_EQ(h.form.Image1.cursor(), Cursor::B);
    EXPECT_EQ(h.form.Image2.cursor(), Cursor::A);
}

TEST(Inventory, TimersStartEnabledWithTheirIntervals) {
    Harness h;
    for (int i = 1; i <= 14; ++i) {
        EXPECT_TRUE(h.form.timer(i).enabled());
        EXPECT_EQ(h.form.timer(i).interval(), i <= 12 ? 1 : i == 13 ? 1000 : 1500);
    }
}
