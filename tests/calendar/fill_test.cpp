// The animated fill of the month blocks: day placement, stop, weekends, today and the memorial days.

#include <gtest/gtest.h>

#include <map>
#include <ostream>

#include "calendar/calendar_oracle.h"

using namespace ladoslov;
using namespace ladoslov::testing;

namespace {

// Today in a month other than `month`, so that no today mark lands in it.
Date todayAwayFrom(int year, int month) { return Date{year, month == 8 ? 9 : 8, 15}; }

struct Placement {
    int month;
    int weekdayOfFirst;  // 1 = Monday … 7 = Sunday
    std::optional<bool> leap;
    int firstCell;  // where day 1 stands
    int lastCell;   // where the last day stands
};

std::ostream& operator<<(std::ostream& os, const Placement& p) {
    return os << "month " << p.month << " from weekday " << p.weekdayOfFirst
              << (p.leap ? (*p.leap ? " (leap year)" : " (common year)") : "");
}

class FillPlacement : public ::testing::TestWithParam<Placement> {};

}  // namespace

TEST_P(FillPlacement, DaysStandInTheirCellsAndEveryOtherCellIsBlank) {
    const Placement p = GetParam();
    const int year = yearWhereFirstIs(p.month, p.weekdayOfFirst, p.leap);
    ASSERT_NE(year, 0);
    Harness h;
    h.clock.date = todayAwayFrom(year, p.month);
    h.load();
    fillMonth(h, p.month);
    for (int i = 0; i < 37; ++i) {
        const std::string want = i >= p.firstCell && i <= p.lastCell ? std::to_string(i - p.firstCell + 1) : "";
        EXPECT_EQ(h.cells(p.month)[i].caption(), want) << year << "-" << p.month << " cell " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Months, FillPlacement,
    ::testing::Values(
        // 31 days: from Monday (nothing blanked before, 31 … 36 blank) and from Sunday (ends in cell 36).
        Placement{1, 1, {}, 0, 30}, Placement{1, 7, {}, 6, 36}, Placement{8, 7, {}, 6, 36},
        Placement{12, 4, {}, 3, 33},
        // 30 days.
        Placement{4, 1, {}, 0, 29}, Placement{4, 7, {}, 6, 35}, Placement{11, 6, {}, 5, 34},
        // February of a common year: the 28th's cell for every weekday of the 1st; from Monday exactly 0 … 27.
        Placement{2, 1, false, 0, 27}, Placement{2, 2, false, 1, 28}, Placement{2, 3, false, 2, 29},
        Placement{2, 4, false, 3, 30}, Placement{2, 5, false, 4, 31}, Placement{2, 6, false, 5, 32},
        Placement{2, 7, false, 6, 33},
        // February of a leap year: the 29th shows for every weekday of the 1st (Tuesday: cell 29).
        Placement{2, 1, true, 0, 28}, Placement{2, 2, true, 1, 29}, Placement{2, 3, true, 2, 30},
        Placement{2, 4, true, 3, 31}, Placement{2, 5, true, 4, 32}, Placement{2, 6, true, 5, 33},
        Placement{2, 7, true, 6, 34}));

TEST(Fill, StopsAfter37TicksAndFebruaryAfter36) {
    // 2026: January begins on a Thursday, February on a Sunday, March on a Sunday.
    Harness h;
    h.clock.date = Date{2026, 6, 10};
    h.load();
    for (int m = 1; m <= 12; ++m) {
        const int stop = m == 2 ? 36 : 37;
        for (int t = 1; t < stop; ++t) h.form.timerTick(m);
        EXPECT_TRUE(h.form.timer(m).enabled()) << "month " << m << " stopped before its last tick";
        h.form.timerTick(m);
        EXPECT_FALSE(h.form.timer(m).enabled()) << "month " << m;
        const FillCounters& counters = h.form.fillCounters[static_cast<std::size_t>(m - 1)];
        EXPECT_EQ(counters.cellIndex, stop) << m;
        EXPECT_EQ(counters.dayNumber, stop + 1) << m;
    }
    // The stopping tick still ran to its end: March 2026's 31st stands in cell 36, the last one handled.
    EXPECT_EQ(h.cells(3)[36].caption(), "31");
}

TEST(Fill, TicksAfterTheStopChangeNothing) {
    Harness h;
    h.clock.date = Date{2026, 12, 8};
    h.load();
    h.fillAll();
    std::vector<std::uint64_t> before;
    for (Label* l : h.form.inventory().labels()) before.push_back(l->revision());
    const auto counters = h.form.fillCounters;
    for (int round = 0; round < 3; ++round)
        for (int m = 1; m <= 12; ++m) h.form.timerTick(m);
    std::vector<std::uint64_t> after;
    for (Label* l : h.form.inventory().labels()) after.push_back(l->revision());
    EXPECT_EQ(after, before);
    for (int m = 0; m < 12; ++m) {
        EXPECT_EQ(h.form.fillCounters[static_cast<std::size_t>(m)].cellIndex, counters[static_cast<std::size_t>(m)].cellIndex);
        EXPECT_EQ(h.form.fillCounters[static_cast<std::size_t>(m)].dayNumber, counters[static_cast<std::size_t>(m)].dayNumber);
    }
}

TEST(Fill, DesignCaptionsInsideTheMonthSurviveUntilTheirTick) {
    // January 2026 begins on a Thursday: day 1 in cell 3, day 31 in cell 33.
    for (int ticks : {1, 2, 4, 10, 25, 33, 34}) {
        Harness h;
        h.clock.date = Date{2026, 6, 10};
        h.load();
        for (int t = 0; t < ticks; ++t) h.form.timerTick(1);
        for (int i = 0; i < 37; ++i) {
            std::string want;
            if (i >= 3 && i <= 33) want = i < ticks ? std::to_string(i - 2) : std::to_string(i + 1);
            EXPECT_EQ(h.cells(1)[i].caption(), want) << "after " << ticks << " ticks, cell " << i;
        }
        // The weekend rows are red from the first tick on, blank cells and untouched ones included.
        for (int i = 0; i < 35; ++i)
            if (isWeekendCell(i)) {
                EXPECT_EQ(h.cells(1)[i].foreColour(), kRed) << ticks << " " << i;
            }
    }
}

TEST(Fill, WeekendRowsEndRedAndAugustCarriesNoMarks) {
    Harness h;
    h.clock.date = Date{2026, 6, 10};
    h.load();
    h.fillAll();
    for (int m = 1; m <= 12; ++m)
        for (int i = 0; i < 37; ++i)
            if (isWeekendCell(i)) {
                EXPECT_EQ(h.cells(m)[i].foreColour(), kRed) << m << " " << i;
            }
    for (int i = 0; i < 37; ++i) {
        const Label& cell = h.cells(8)[i];
        EXPECT_EQ(cell.foreColour(), isWeekendCell(i) ? kRed : kSystemText) << i;
        EXPECT_EQ(cell.toolTip(), "") << i;
        EXPECT_EQ(cell.borderStyle(), BorderStyle::None) << i;
    }
    // Cells 35 and 36 are a Monday and a Tuesday, not weekend cells.
    EXPECT_EQ(h.cells(12)[35].foreColour(), Colour{0x000000});
    EXPECT_EQ(h.cells(12)[36].foreColour(), Colour{0x000000});
}

namespace {

struct TodayCase {
    Date today;
    Colour colour;
    const char* toolTip;
};

std::ostream& operator<<(std::ostream& os, const TodayCase& c) {
    return os << c.today.year << "-" << c.today.month << "-" << c.today.day;
}

class FillToday : public ::testing::TestWithParam<TodayCase> {};

}  // namespace

TEST_P(FillToday, OnlyTodaysCellIsFramedWithItsColourAndTooltip) {
    const TodayCase c = GetParam();
    Harness h;
    h.clock.date = c.today;
    h.load();
    h.fillAll();
    const int cell = cellOfDay(c.today.year, c.today.month, c.today.day);
    const Label& todays = h.cells(c.today.month)[cell];
    ASSERT_EQ(todays.caption(), std::to_string(c.today.day));
    EXPECT_EQ(todays.borderStyle(), BorderStyle::FixedSingle);
    EXPECT_EQ(todays.foreColour(), c.colour);
    EXPECT_EQ(todays.toolTip(), c.toolTip);
    // No other cell of any month is marked, not even the same day number in another month.
    for (int m = 1; m <= 12; ++m)
        for (int i = 0; i < 37; ++i) {
            if (m == c.today.month && i == cell) continue;
            const Label& l = h.cells(m)[i];
            EXPECT_EQ(l.borderStyle(), BorderStyle::None) << m << " " << i;
            EXPECT_NE(l.foreColour(), kYellow) << m << " " << i;
            EXPECT_NE(l.toolTip().rfind("Сегодня", 0), 0u) << m << " " << i;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Days, FillToday,
    ::testing::Values(
        TodayCase{{2026, 12, 8}, kYellow, "Сегодня 08.12.2026"},  // a Tuesday
        TodayCase{{2026, 12, 6}, kRed, "Сегодня 06.12.2026"},     // a Sunday
        TodayCase{{2026, 3, 1}, kRed, "Сегодня 01.03.2026"},      // a Sunday in cell 6
        TodayCase{{2026, 6, 27}, kRed, "Сегодня 27.06.2026"},     // a Saturday
        TodayCase{{2024, 2, 29}, kYellow, "Сегодня 29.02.2024"},  // the leap day, a Thursday
        TodayCase{{2026, 8, 31}, kYellow, "Сегодня 31.08.2026"},  // a Monday in cell 35
        TodayCase{{2026, 12, 9}, kBlue, "День Каспийского высшего военно-морского училища"},  // Wednesday
        TodayCase{{2026, 1, 7}, kRed, "Рождество Христово"},                                   // Wednesday
        TodayCase{{2026, 1, 10}, kRed, "День инженер-механика"},  // blue, but a Saturday
        TodayCase{{2026, 4, 12}, kRed, "День селёдки"},           // April's second Sunday
        TodayCase{{2026, 7, 5}, kRed, "День морского и речного флота"},  // July's first Sunday
        TodayCase{{2026, 7, 17}, kBlue, "День авиации ВМФ"}));           // a Friday

TEST(Fill, AprilsSecondSundayIsNamedForEveryWeekdayOfTheFirst) {
    const char* secondSunday[8] = {nullptr, "14", "13", "12", "11", "10", "9", "8"};
    for (int w = 1; w <= 7; ++w) {
        const int year = yearWhereFirstIs(4, w);
        Harness h;
        h.clock.date = todayAwayFrom(year, 4);
        h.load();
        fillMonth(h, 4);
        for (int i = 0; i < 37; ++i) {
            const Label& cell = h.cells(4)[i];
            if (i == 13) {
                EXPECT_EQ(cell.caption(), secondSunday[w]) << "1 April on weekday " << w;
                EXPECT_EQ(cell.toolTip(), "День селёдки");
                EXPECT_EQ(cell.foreColour(), kRed);
            } else {
                EXPECT_EQ(cell.toolTip(), "") << w << " " << i;
            }
        }
    }
}

TEST(Fill, JulySundayRulesNameTheirSundays) {
    struct Case {
        int weekdayOfFirst;
        std::map<int, std::string> named;  // cell → tooltip
        std::map<int, std::string> days;   // cell → caption
    } cases[] = {
        {7,
         {{6, "День морского и речного флота"}, {13, "День рыбака"}, {34, "День Военно-Морского Флота"},
          {22, "День авиации ВМФ"}},
         {{6, "1"}, {13, "8"}, {34, "29"}, {22, "17"}}},
        {1,
         {{6, "День морского и речного флота"}, {13, "День рыбака"}, {27, "День Военно-Морского Флота"},
          {16, "День авиации ВМФ"}},
         {{6, "7"}, {13, "14"}, {27, "28"}, {16, "17"}}},
        // 17 July on a Sunday: only the aviation day, which lies in none of the three ranges.
        {5,
         {{6, "День морского и речного флота"}, {13, "День рыбака"}, {20, "День авиации ВМФ"},
          {34, "День Военно-Морского Флота"}},
         {{6, "3"}, {13, "10"}, {20, "17"}, {34, "31"}}},
    };
    for (const Case& c : cases) {
        const int year = yearWhereFirstIs(7, c.weekdayOfFirst);
        Harness h;
        h.clock.date = todayAwayFrom(year, 7);
        h.load();
        fillMonth(h, 7);
        for (int i = 0; i < 37; ++i) {
            const Label& cell = h.cells(7)[i];
            const auto named = c.named.find(i);
            EXPECT_EQ(cell.toolTip(), named == c.named.end() ? "" : named->second) << year << " cell " << i;
            if (auto d = c.days.find(i); d != c.days.end()) {
                EXPECT_EQ(cell.caption(), d->second) << year << " " << i;
            }
            if (named != c.named.end()) {
                EXPECT_EQ(cell.foreColour(), isWeekendCell(i) ? kRed : kBlue) << year << " cell " << i;
            }
        }
    }
}

namespace {

// The marked days as the calendar names them, character for character.
struct Mark {
    int month;
    int day;
    Colour colour;
    const char* toolTip;
};

constexpr Colour R = 0xFF0000, B = 0x0000FF;

const Mark kMarks[] = {
    {1, 1, R, "День тельняшки; Новый год"},
    {1, 7, R, "Рождество Христово"},
    {1, 10, B, "День инженер-механика"},
    {1, 15, B, "День Главного штаба ВМФ"},
    {1, 25, B, "День штурмана"},
    {2, 23, R, "День защитника Отечества"},
    {3, 5, B, "День Мореходных училищ"},
    {3, 8, R, "Международный Женский день"},
    {3, 19, B, "День моряка-подводника"},
    {3, 21, B, "День весеннего равноденствия"},
    {3, 22, B, "День Балтийского моря"},
    {5, 1, R, "День весны и труда"},
    {5, 5, B, "День водолаза"},
    {5, 7, B, "День связиста, специалиста РТС,Р"},
    {5, 9, R, "День Победы"},
    {5, 13, B, "День Черноморского флота"},
    {5, 18, B, "День Балтийского флота"},
    {5, 21, B, "День Тихоокеанского флота"},
    {5, 28, B, "День пограничника"},
    {6, 1, B, "День Северного флота"},
    {6, 12, R, "День России"},
    {6, 20, B, "День минера-торпедиста"},
    {7, 17, B, "День авиации ВМФ"},
    {9, 8, B, "Праздник Новороссийского военно-морского района"},
    {10, 8, B, "День командира корабля"},
    {10, 30, B, "День моряка-надводника"},
    {11, 4, R, "День народного единства"},
    {11, 15, B, "День Каспийской флотилии"},
    {11, 19, B, "День ракетчика и артиллериста"},
    {11, 27, B, "День Морской пехоты"},
    {12, 9, B, "День Каспийского высшего военно-морского училища"},
};

}  // namespace

// Fourteen years put every marked day on every weekday, in common and leap years.
TEST(Fill, EveryCellEndsWithTheColourAndTooltipOfItsDay) {
    for (int year = 2020; year <= 2033; ++year) {
        Harness h;
        h.clock.date = Date{year, 8, 15};  // August has no marks; its 15th is left out below
        h.load();
        h.fillAll();
        for (int m = 1; m <= 12; ++m) {
            std::map<int, std::pair<Colour, std::string>> want;  // cell → colour and tooltip
            for (const Mark& mark : kMarks)
                if (mark.month == m) want[cellOfDay(year, m, mark.day)] = {mark.colour, mark.toolTip};
            if (m == 4) want[13] = {R, "День селёдки"};
            if (m == 7) {
                const std::pair<int, const char*> ranges[] = {
                    {1, "День морского и речного флота"}, {8, "День рыбака"}, {25, "День Военно-Морского Флота"}};
                for (const auto& [from, text] : ranges)
                    for (int d = from; d < from + 7; ++d)
                        if (isoWeekday(year, 7, d) == 7) want[cellOfDay(year, 7, d)] = {B, text};
            }
            for (int i = 0; i < 37; ++i) {
                if (m == 8 && i == cellOfDay(year, 8, 15)) continue;
                const Label& cell = h.cells(m)[i];
                const auto it = want.find(i);
                const Colour colour = isWeekendCell(i) ? kRed : it != want.end() ? it->second.first : designCellColour(m);
                EXPECT_EQ(cell.foreColour(), colour) << year << "-" << m << " cell " << i;
                EXPECT_EQ(cell.toolTip(), it != want.end() ? it->second.second : "") << year << "-" << m << " cell " << i;
                EXPECT_EQ(cell.borderStyle(), BorderStyle::None) << year << "-" << m << " cell " << i;
            }
        }
    }
}

TEST(Fill, FebruaryWritesTodaysDateAndTheOtherMonthsDoNot) {
    Harness h;
    h.clock.date = Date{2026, 12, 6};
    h.load();
    for (int m = 1; m <= 12; ++m)
        if (m != 2) fillMonth(h, m);
    EXPECT_EQ(h.form.Label114.caption(), "");
    h.form.timerTick(2);
    EXPECT_EQ(h.form.Label114.caption(), "06.12.2026");
}
