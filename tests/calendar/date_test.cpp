#include <gtest/gtest.h>

#include <chrono>

#include "calendar/date.h"
#include "fakes/fake_services.h"

using namespace ladoslov;
using namespace ladoslov::testing;

TEST(Dates, AgreeWithTheStandardCalendarOverFourCenturies) {
    using namespace std::chrono;
    for (int y = 1899; y <= 2301; ++y)
        for (int m = 1; m <= 12; ++m) {
            const year_month_day first{year{y}, month{static_cast<unsigned>(m)}, day{1}};
            const year_month_day last{year_month_day_last{year{y}, month_day_last{month{static_cast<unsigned>(m)}}}};
            ASSERT_EQ(daysInMonth(y, m), static_cast<int>(static_cast<unsigned>(last.day())));
            const Date d{y, m, 1};
            ASSERT_EQ(daysFromCivil(d), sys_days(first).time_since_epoch().count());
            ASSERT_EQ(civilFromDays(daysFromCivil(d)), d);
            const unsigned iso = weekday(sys_days(first)).iso_encoding();  // Monday = 1
            ASSERT_EQ(weekdayMondayFirst(d), static_cast<int>(iso));
            ASSERT_EQ(weekdaySundayFirst(d), static_cast<int>(iso % 7 + 1));
        }
}

TEST(Dates, DayRollsOverIntoNeighbouringMonths) {
    EXPECT_EQ(dateWithRollover(2010, 4, 0), (Date{2010, 3, 31}));
    EXPECT_EQ(dateWithRollover(2010, 4, -45), (Date{2010, 2, 14}));
    EXPECT_EQ(dateWithRollover(2024, 5, 57), (Date{2024, 6, 26}));
    EXPECT_EQ(dateWithRollover(2024, 12, 32), (Date{2025, 1, 1}));
    EXPECT_EQ(dateWithRollover(2024, 1, -30), (Date{2023, 12, 1}));
    EXPECT_EQ(dateWithRollover(2024, 14, 1), (Date{2025, 2, 1}));
    EXPECT_EQ(dateWithRollover(2024, 0, 1), (Date{2023, 12, 1}));
}

TEST(Dates, DayMonthTextNamesADayOfTheGivenYear) {
    EXPECT_EQ(dateFromDayMonthText("29.02", 2028), (Date{2028, 2, 29}));
    EXPECT_EQ(dateFromDayMonthText("01.03", 2024), (Date{2024, 3, 1}));
    EXPECT_EQ(weekdaySundayFirst(*dateFromDayMonthText("01.03", 2024)), 6);  // a Friday
    for (const char* bad : {"29.02", "31.04", "00.01", "01.00", "01.13", "1.1.1", "1.01", "01-01", "ab.cd", "01.01 ",
                            "", "32.01"})
        EXPECT_FALSE(dateFromDayMonthText(bad, 2026)) << bad;
    EXPECT_EQ(dayMonthText(Date{2026, 12, 6}), "06.12");
}

TEST(LeapYear, AnswersForTheCurrentYearAndWritesTodaysDate) {
    struct Case {
        int year;
        bool leap;
    } cases[] = {{2000, true}, {2024, true}, {2028, true}, {1900, false}, {2023, false}, {2026, false}, {2100, false}};
    for (const Case& c : cases) {
        Harness h;
        h.clock.date = Date{c.year, 1, 1};
        std::int16_t variable = 1999;
        EXPECT_EQ(h.form.LeapYear(variable), c.leap) << c.year;
        EXPECT_EQ(variable, c.year);
        EXPECT_EQ(h.form.Label114.caption(), "01.01." + std::to_string(c.year));
    }
    Harness h;
    EXPECT_EQ(h.form.Label114.caption(), "");
    h.clock.date = Date{2026, 12, 6};
    std::int16_t variable = 0;
    h.form.LeapYear(variable);
    EXPECT_EQ(h.form.Label114.caption(), "06.12.2026");
}
