// A click on a month title recolours that month and puts its red and blue days back; the colour pick.

#include <gtest/gtest.h>


#include <cmath>
#include <ostream>
#include <set>

#include "calendar/calendar_oracle.h"

using namespace ladoslov;
using namespace ladoslov::testing;

namespace {

struct Listed {
    std::set<int> red, blue;
};

// The days a click puts back, by month.
const Listed kListed[13] = {
    {},
    {{1, 7}, {10, 15, 25}},
    {{23}, {}},
    {{8}, {5, 19, 21, 22}},
    {{}, {}},
    {{1, 9}, {5, 7, 13, 18, 21, 28}},
    {{12}, {1, 20}},
    {{}, {17}},
    {{}, {}},
    {{}, {8}},
    {{}, {8, 30}},
    {{4}, {15, 19, 27}},
    {{}, {9}},
};

// Everything a label shows, to tell what a click changed.
struct Look {
    std::string caption;
    Colour colour;
    std::string toolTip;
    BorderStyle border;
    friend bool operator==(const Look&, const Look&) = default;
};

std::vector<Look> lookOfEveryLabel(Harness& h) {
    std::vector<Look> out;
    for (Label* l : h.form.inventory().labels())
        out.push_back({l->caption(), l->foreColour(), l->toolTip(), l->borderStyle()});
    return out;
}

std::size_t positionOf(Harness& h, const Label& wanted) {
    const auto labels = h.form.inventory().labels();
    return static_cast<std::size_t>(std::find(labels.begin(), labels.end(), &wanted) - labels.begin());
}

// The colour cell i of month m should have after a click that drew `c`.
Colour colourAfterClick(const std::string& caption, int m, int i, Colour c) {
    if (isWeekendCell(i)) return kRed;
    for (int d : kListed[m].red)
        if (caption == std::to_string(d)) return kRed;
    for (int d : kListed[m].blue)
        if (caption == std::to_string(d)) return kBlue;
    return c;
}

Harness& filled(Harness& h, Date today) {
    h.clock.date = today;
    h.load();
    h.fillAll();
    return h;
}

void clickTitle(Harness& h, int m, float r) {
    h.random.values.push_back(r);
    h.form.click(h.title(m));
}

struct ClickCase {
    int year;
    float r;
};

std::ostream& operator<<(std::ostream& os, const ClickCase& c) { return os << c.year << ", r = " << c.r; }

class TitleClick : public ::testing::TestWithParam<ClickCase> {};

}  // namespace

// Every month, in years that put the listed days on different weekdays, with colours that differ from
// red and blue, and black.
TEST_P(TitleClick, RepaintsOnlyTheClickedMonthAndPutsItsMarksBack) {
    const ClickCase p = GetParam();
    const Colour c = kPalette[static_cast<std::size_t>(std::floor(p.r * 16))];
    for (int m = 1; m <= 12; ++m) {
        Harness h;
        filled(h, Date{p.year, m == 6 ? 7 : 6, 3});
        const std::vector<Look> before = lookOfEveryLabel(h);
        const auto counters = h.form.fillCounters;
        const int draws = h.random.draws;
        clickTitle(h, m, p.r);
        EXPECT_EQ(h.random.draws, draws + 1) << "one draw per click";
        const std::vector<Look> after = lookOfEveryLabel(h);

        std::set<std::size_t> clicked{positionOf(h, h.title(m))};
        EXPECT_EQ(h.title(m).foreColour(), c) << m;
        for (int i = 0; i < 37; ++i) {
            const Label& cell = h.cells(m)[i];
            const std::size_t at = positionOf(h, cell);
            clicked.insert(at);
            EXPECT_EQ(cell.foreColour(), colourAfterClick(cell.caption(), m, i, c)) << p.year << "-" << m << " cell " << i;
            // Only the colour changes.
            EXPECT_EQ(after[at].caption, before[at].caption);
            EXPECT_EQ(after[at].toolTip, before[at].toolTip) << p.year << "-" << m << " cell " << i;
            EXPECT_EQ(after[at].border, before[at].border);
        }
        for (std::size_t k = 0; k < before.size(); ++k)
            if (!clicked.count(k)) {
                EXPECT_EQ(after[k], before[k]) << "month " << m << " changed label #" << k;
            }
        for (std::size_t k = 0; k < 12; ++k) {
            EXPECT_EQ(h.form.fillCounters[k].cellIndex, counters[k].cellIndex);
            EXPECT_EQ(h.form.fillCounters[k].dayNumber, counters[k].dayNumber);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Years, TitleClick,
                         ::testing::Values(ClickCase{2021, 0.15f}, ClickCase{2022, 0.40f}, ClickCase{2023, 0.70f},
                                           ClickCase{2024, 0.0f},
                                           ClickCase{2025, 0.99f}, ClickCase{2026, 0.30f}, ClickCase{2027, 0.55f},
                                           ClickCase{2028, 0.90f}));

TEST(TitleClickDays, January10IsRedOnASundayAndBlueOnAWeekday) {
    struct Case {
        int year;
        Colour want;
    } cases[] = {{2021, kRed}, {2025, kBlue}, {2026, kRed}};  // Sunday, Friday, Saturday
    for (const Case& c : cases) {
        Harness h;
        filled(h, Date{c.year, 6, 3});
        clickTitle(h, 1, 0.15f);
        const Label& tenth = h.cells(1)[cellOfDay(c.year, 1, 10)];
        ASSERT_EQ(tenth.caption(), "10");
        EXPECT_EQ(tenth.foreColour(), c.want) << c.year;
        EXPECT_EQ(tenth.toolTip(), "День инженер-механика");
    }
}

TEST(TitleClickDays, AprilAndAugustShowOnlyTheirWeekendsRed) {
    for (int m : {4, 8}) {
        Harness h;
        filled(h, Date{2026, 6, 3});
        clickTitle(h, m, 0.15f);  // green
        EXPECT_EQ(h.title(m).foreColour(), Colour{0x008000});
        for (int i = 0; i < 37; ++i)
            EXPECT_EQ(h.cells(m)[i].foreColour(), isWeekendCell(i) ? kRed : Colour{0x008000}) << m << " " << i;
        EXPECT_EQ(h.cells(4)[13].toolTip(), "День селёдки");
    }
}

TEST(TitleClickDays, May28IsBlueOnAWeekdayAndRedOnAWeekendAndKeepsItsTooltip) {
    struct Case {
        int year;
        Colour want;
    } cases[] = {{2026, kBlue}, {2022, kRed}, {2023, kRed}};  // Thursday, Saturday, Sunday
    for (const Case& c : cases) {
        Harness h;
        filled(h, Date{c.year, 6, 3});
        clickTitle(h, 5, 0.40f);
        const Label& day = h.cells(5)[cellOfDay(c.year, 5, 28)];
        EXPECT_EQ(day.foreColour(), c.want) << c.year;
        EXPECT_EQ(day.toolTip(), "День пограничника");
    }
}

TEST(TitleClickDays, JulysSundaysStayRedWithTheirNamesAnd17IsPutBack) {
    // 2026: Sundays 5, 12, 26 named, 17 a Friday; 2022: 17 on a Sunday.
    struct Case {
        int year;
        std::map<int, std::pair<Colour, const char*>> days;
    } cases[] = {
        {2026,
         {{5, {kRed, "День морского и речного флота"}},
          {12, {kRed, "День рыбака"}},
          {26, {kRed, "День Военно-Морского Флота"}},
          {17, {kBlue, "День авиации ВМФ"}}}},
        {2022, {{3, {kRed, "День морского и речного флота"}}, {17, {kRed, "День авиации ВМФ"}}}},
    };
    for (const Case& c : cases) {
        Harness h;
        filled(h, Date{c.year, 6, 3});
        clickTitle(h, 7, 0.55f);
        for (const auto& [day, want] : c.days) {
            const Label& cell = h.cells(7)[cellOfDay(c.year, 7, day)];
            EXPECT_EQ(cell.foreColour(), want.first) << c.year << " July " << day;
            EXPECT_EQ(cell.toolTip(), want.second) << c.year << " July " << day;
        }
    }
}

TEST(TitleClickDays, OnlyFebruary23AndJuly17GetTheirTooltipsWrittenAgain) {
    Harness h;
    filled(h, Date{2026, 6, 3});
    for (int m : {2, 5, 7, 12})
        for (int i = 0; i < 37; ++i) h.cells(m)[i].setToolTip("");
    for (int m : {2, 5, 7, 12}) clickTitle(h, m, 0.15f);
    for (int m : {2, 5, 7, 12})
        for (int i = 0; i < 37; ++i) {
            const Label& cell = h.cells(m)[i];
            std::string want;
            if (m == 2 && cell.caption() == "23") want = "День защитника Отечества";
            if (m == 7 && cell.caption() == "17") want = "День авиации ВМФ";
            EXPECT_EQ(cell.toolTip(), want) << m << " cell " << i;
        }
}

TEST(TitleClickDays, ADayInTheSixthColumnIsColouredByTheList) {
    // 1 October 2023 is a Sunday, so the 30th, a Monday, stands in cell 35.
    Harness h;
    filled(h, Date{2023, 6, 3});
    clickTitle(h, 10, 0.70f);
    ASSERT_EQ(h.cells(10)[35].caption(), "30");
    EXPECT_EQ(h.cells(10)[35].foreColour(), kBlue);
    EXPECT_EQ(h.cells(10)[36].foreColour(), kPalette[11]);  // blank, in the drawn colour
}

TEST(TitleClickDays, TodaysCellTakesTheNewColourButKeepsFrameAndTooltip) {
    struct Case {
        Date today;
        Colour want;
        const char* toolTip;
    } cases[] = {
        {{2026, 12, 8}, 0x800000, "Сегодня 08.12.2026"},  // a Tuesday: the drawn colour
        {{2026, 12, 9}, kBlue, "День Каспийского высшего военно-морского училища"},
        {{2026, 12, 6}, kRed, "Сегодня 06.12.2026"},  // a Sunday
    };
    for (const Case& c : cases) {
        Harness h;
        filled(h, c.today);
        clickTitle(h, 12, 0.30f);  // palette 4, #800000
        const Label& cell = h.cells(12)[cellOfDay(2026, 12, c.today.day)];
        EXPECT_EQ(cell.foreColour(), c.want) << c.today.day;
        EXPECT_EQ(cell.borderStyle(), BorderStyle::FixedSingle);
        EXPECT_EQ(cell.toolTip(), c.toolTip);
    }
}

TEST(TitleClickDays, BlackIsAColourLikeAnyOther) {
    Harness h;
    filled(h, Date{2026, 12, 8});
    clickTitle(h, 3, 0.0f);
    EXPECT_EQ(h.title(3).foreColour(), Colour{0x000000});
    // March 2026: the 2nd is a Monday in cell 7, the 8th a Sunday, the 5th a blue Thursday.
    EXPECT_EQ(h.cells(3)[7].foreColour(), Colour{0x000000});
    EXPECT_EQ(h.cells(3)[10].foreColour(), kBlue);
    EXPECT_EQ(h.cells(3)[13].foreColour(), kRed);
    EXPECT_EQ(h.cells(3)[0].foreColour(), Colour{0x000000});  // a blank cell takes the colour too
    // Twice the same draw gives the same colour again.
    clickTitle(h, 3, 0.0f);
    EXPECT_EQ(h.title(3).foreColour(), Colour{0x000000});
}

TEST(TitleClickDuringFill, TheFillFinishesAsUsualAfterAClick) {
    // January 2024 begins on a Monday, so the design captions of the unfilled cells are their own days:
    // the month ends exactly as a click after the fill leaves it, today's yellow included.
    {
        Harness h;
        h.clock.date = Date{2024, 1, 16};
        h.load();
        for (int t = 0; t < 10; ++t) h.form.timerTick(1);
        clickTitle(h, 1, 0.15f);
        EXPECT_EQ(h.form.fillCounters[0].cellIndex, 10);
        const int ticks = fillMonth(h, 1);
        EXPECT_EQ(ticks, 27);
        EXPECT_EQ(captionsOf(h, 1), expectedCaptions(2024, 1));
        for (int i = 0; i < 37; ++i) {
            const Label& cell = h.cells(1)[i];
            const Colour want = i == 15 ? kYellow : colourAfterClick(cell.caption(), 1, i, 0x008000);
            EXPECT_EQ(cell.foreColour(), want) << "cell " << i;
        }
        EXPECT_EQ(h.cells(1)[15].borderStyle(), BorderStyle::FixedSingle);
        EXPECT_EQ(h.title(1).foreColour(), Colour{0x008000});
    }
    // January 2026 begins on a Thursday: the fill still writes every day, stops after 37 ticks and
    // marks the days after the click with their own colours and names.
    {
        Harness h;
        h.clock.date = Date{2026, 1, 20};
        h.load();
        for (int t = 0; t < 5; ++t) h.form.timerTick(1);
        clickTitle(h, 1, 0.15f);
        EXPECT_EQ(fillMonth(h, 1), 32);
        EXPECT_EQ(captionsOf(h, 1), expectedCaptions(2026, 1));
        const int seventh = cellOfDay(2026, 1, 7), fifteenth = cellOfDay(2026, 1, 15), today = cellOfDay(2026, 1, 20);
        EXPECT_EQ(h.cells(1)[seventh].foreColour(), kRed);
        EXPECT_EQ(h.cells(1)[fifteenth].foreColour(), kBlue);
        EXPECT_EQ(h.cells(1)[fifteenth].toolTip(), "День Главного штаба ВМФ");
        EXPECT_EQ(h.cells(1)[today].foreColour(), kYellow);
        EXPECT_EQ(h.cells(1)[cellOfDay(2026, 1, 1)].foreColour(), kRed);  // handled before the click
        EXPECT_EQ(h.cells(1)[cellOfDay(2026, 1, 2)].foreColour(), Colour{0x008000});
    }
}
