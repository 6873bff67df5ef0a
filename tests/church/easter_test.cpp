// Orthodox Easter against an oracle written here from scratch, and the movable feast that start-up writes
// into the feast line.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "church/easter.h"
#include "fakes/fake_services.h"

using namespace ladoslov;
using namespace ladoslov::testing;

namespace {

// ---- the oracle: Meeus' Julian Easter and Meeus' Julian-day conversions, integers only ----------------

struct Ymd {
    int y, m, d;
    friend bool operator==(const Ymd&, const Ymd&) = default;
};

Ymd julianEasterMeeus(int year) {
    const int a = year % 4, b = year % 7, c = year % 19;
    const int d = (19 * c + 15) % 30;
    const int e = (2 * a + 4 * b - d + 34) % 7;
    const int f = d + e + 114;
    return {year, f / 31, f % 31 + 1};
}

// Julian day number (the day beginning at midnight) of a date; gregorian selects the calendar.
long long julianDayNumber(Ymd date, bool gregorian) {
    long long y = date.y, m = date.m;
    if (m <= 2) {
        y -= 1;
        m += 12;
    }
    const long long century = y / 100;
    const long long b = gregorian ? 2 - century + century / 4 : 0;
    return (1461 * (y + 4716)) / 4 + (306001 * (m + 1)) / 10000 + date.d + b - 1524;
}

Ymd gregorianFromJulianDayNumber(long long z) {
    const long long alpha = (4 * z - 7468865) / 146097;
    const long long a = z + 1 + alpha - alpha / 4;
    const long long b = a + 1524;
    const long long c = (20 * b - 2442) / 7305;
    const long long d = (1461 * c) / 4;
    const long long e = (10000 * (b - d)) / 306001;
    const int day = static_cast<int>(b - d - (306001 * e) / 10000);
    const int month = static_cast<int>(e < 14 ? e - 1 : e - 13);
    const int year = static_cast<int>(month > 2 ? c - 4716 : c - 4715);
    return {year, month, day};
}

Ymd referenceOrthodoxEaster(int year) {
    return gregorianFromJulianDayNumber(julianDayNumber(julianEasterMeeus(year), false));
}

bool isSunday(Ymd gregorianDate) { return (julianDayNumber(gregorianDate, true) + 1) % 7 == 0; }

Ymd ymd(const Date& d) { return {d.year, d.month, d.day}; }

std::string show(Ymd d) {
    return std::to_string(d.y) + "-" + std::to_string(d.m) + "-" + std::to_string(d.d);
}

}  // namespace

TEST(EasterOracle, AgreesWithKnownDates) {
    // The oracle itself must be right before it judges anything: Julian 5 October 1582 was Gregorian
    // 15 October, JDN 2299161; 1 January 2000 is JDN 2451545, a Saturday.
    EXPECT_EQ(julianDayNumber({1582, 10, 5}, false), 2299161);
    EXPECT_EQ(julianDayNumber({1582, 10, 15}, true), 2299161);
    EXPECT_EQ(julianDayNumber({2000, 1, 1}, true), 2451545);
    EXPECT_EQ(gregorianFromJulianDayNumber(2451545), (Ymd{2000, 1, 1}));
    EXPECT_TRUE(isSunday({2000, 1, 2}));
    EXPECT_FALSE(isSunday({2000, 1, 1}));
    EXPECT_EQ(referenceOrthodoxEaster(2010), (Ymd{2010, 4, 4}));
}

TEST(OrthodoxEaster, EqualsTheOracleAndIsASundayFrom1583To4099) {
    for (int year = 1583; year <= 4099; ++year) {
        const Ymd expected = referenceOrthodoxEaster(year);
        const Ymd got = ymd(orthodoxEaster(year));
        ASSERT_EQ(got, expected) << year << ": got " << show(got) << ", expected " << show(expected);
        ASSERT_TRUE(isSunday(got)) << year << ": " << show(got);
        ASSERT_EQ(weekdaySundayFirst(orthodoxEaster(year)), 1) << year;
    }
}

TEST(EasterByThirteenDayRule, EqualsTheOracleFrom1900To2099) {
    for (int year = 1900; year <= 2099; ++year) {
        const Ymd expected = referenceOrthodoxEaster(year);
        const EasterDayMonth e = easterByThirteenDayRule(year);
        ASSERT_EQ((Ymd{year, e.month, e.day}), expected) << year << ": expected " << show(expected);
    }
}

TEST(EasterByThirteenDayRule, WorkedFigures) {
    struct Case {
        int year, day, month;
    };
    for (const Case c : {Case{2010, 4, 4}, Case{2024, 5, 5}, Case{2026, 12, 4}, Case{2000, 30, 4},
                         Case{1905, 30, 4}, Case{1967, 30, 4}, Case{1978, 30, 4}, Case{1989, 30, 4},
                         Case{2062, 30, 4}, Case{2073, 30, 4}, Case{2084, 30, 4}}) {
        const EasterDayMonth e = easterByThirteenDayRule(c.year);
        EXPECT_EQ(e.day, c.day) << c.year;
        EXPECT_EQ(e.month, c.month) << c.year;
    }
}

TEST(OrthodoxEaster, Year2100IsMendedToTheSunday) {
    // The thirteen-day difference ends on 28 February 2100; kept, it would put Easter on Saturday 1 May.
    const EasterDayMonth rule = easterByThirteenDayRule(2100);
    EXPECT_EQ(rule.day, 1);
    EXPECT_EQ(rule.month, 5);
    EXPECT_EQ(orthodoxEaster(2100), (Date{2100, 5, 2}));
}

TEST(CivilFromJulian, CarriesTheRealDifferenceOfEachCentury) {
    struct Case {
        Ymd julian, civil;
    };
    for (const Case& c : std::vector<Case>{
             {{1582, 10, 5}, {1582, 10, 15}},
             {{1700, 2, 18}, {1700, 2, 28}},  // 10 days up to the Julian leap day of 1700
             {{1700, 2, 29}, {1700, 3, 11}},  // 11 from it
             {{1900, 2, 28}, {1900, 3, 12}},
             {{1900, 2, 29}, {1900, 3, 13}},
             {{1900, 3, 1}, {1900, 3, 14}},
             {{2010, 3, 22}, {2010, 4, 4}},
             {{2100, 2, 28}, {2100, 3, 13}},
             {{2100, 2, 29}, {2100, 3, 14}},
             {{2100, 4, 18}, {2100, 5, 2}},
             {{4099, 4, 5}, {4099, 5, 3}},
         }) {
        EXPECT_EQ(ymd(civilFromJulian(c.julian.y, c.julian.m, c.julian.d)), c.civil) << show(c.julian);
    }
}

// ---- the movable feast written at start-up --------------------------------------------------------------

namespace {

std::string feastLineAtStartup(Date today) {
    Harness h;
    h.clock.date = today;
    h.load();
    return h.form.Label115.caption();
}

struct DayCaption {
    Date day;
    const char* caption;  // "" when the feast line stays empty
};

void PrintTo(const DayCaption& c, std::ostream* os) {
    *os << c.day.year << "-" << c.day.month << "-" << c.day.day;
}

class MovableFeastAtStartup : public ::testing::TestWithParam<DayCaption> {};

}  // namespace

TEST_P(MovableFeastAtStartup, WritesTheFeastLine) {
    EXPECT_EQ(feastLineAtStartup(GetParam().day), GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedYears, MovableFeastAtStartup,
    ::testing::Values(
        // 2010: Easter in April by the March branch.
        DayCaption{{2010, 4, 4}, "Пасха"}, DayCaption{{2010, 2, 14}, "Прощеное воскресенье"},
        DayCaption{{2010, 2, 15}, "Начало Великого Поста"}, DayCaption{{2010, 3, 28}, "Вербное воскресенье"},
        DayCaption{{2010, 5, 13}, "Вознесение Господне"}, DayCaption{{2010, 5, 23}, "Троица. Пятидесятница"},
        DayCaption{{2010, 5, 31}, "Начало Петрова Поста"}, DayCaption{{2010, 4, 5}, ""},
        DayCaption{{2010, 4, 3}, ""}, DayCaption{{2010, 4, 11}, ""},
        // Easter's day number on a Sunday of another month is not Easter (4 July 2010, 12 July 2026).
        DayCaption{{2010, 7, 4}, ""}, DayCaption{{2026, 7, 12}, ""},
        // A May day that is none of the seven: Easter's day number in May, and a Sunday.
        DayCaption{{2010, 5, 4}, ""}, DayCaption{{2010, 5, 16}, ""},
        // 2024: the May branch, and feasts in the months before and after Easter's.
        DayCaption{{2024, 5, 5}, "Пасха"}, DayCaption{{2024, 3, 17}, "Прощеное воскресенье"},
        DayCaption{{2024, 3, 18}, "Начало Великого Поста"}, DayCaption{{2024, 4, 28}, "Вербное воскресенье"},
        DayCaption{{2024, 6, 13}, "Вознесение Господне"}, DayCaption{{2024, 6, 23}, "Троица. Пятидесятница"},
        DayCaption{{2024, 7, 1}, "Начало Петрова Поста"}, DayCaption{{2024, 4, 5}, ""},
        DayCaption{{2024, 5, 6}, ""},
        // 2026.
        DayCaption{{2026, 4, 12}, "Пасха"}, DayCaption{{2026, 4, 5}, "Вербное воскресенье"},
        DayCaption{{2026, 5, 12}, ""},
        // Forgiveness Sunday and the first day of Lent on a leap day.
        DayCaption{{2088, 2, 29}, "Прощеное воскресенье"}, DayCaption{{1960, 2, 29}, "Начало Великого Поста"},
        // 2100: the Sunday after the thirteen-day rule's Saturday.
        DayCaption{{2100, 5, 2}, "Пасха"}, DayCaption{{2100, 5, 1}, ""},
        DayCaption{{2100, 6, 20}, "Троица. Пятидесятница"}, DayCaption{{2100, 6, 19}, ""}));

TEST(MovableFeastLine, ThirtyAprilStaysInApril) {
    for (int year : {1905, 1967, 1978, 1989, 2000, 2062, 2073, 2084}) {
        SCOPED_TRACE(year);
        EXPECT_EQ(feastLineAtStartup({year, 4, 30}), "Пасха");
        EXPECT_EQ(feastLineAtStartup({year, 5, 30}), "");
        EXPECT_EQ(feastLineAtStartup({year, 6, 18}), "Троица. Пятидесятница");
        EXPECT_EQ(feastLineAtStartup({year, 6, 8}), "Вознесение Господне");
        EXPECT_EQ(feastLineAtStartup({year, 6, 26}), "Начало Петрова Поста");
        EXPECT_EQ(feastLineAtStartup({year, 4, 23}), "Вербное воскресенье");
    }
}

// Every day of a few years: exactly the seven days carry a caption, each the one its distance from the
// oracle's Easter names.
TEST(MovableFeastLine, EveryDayOfTheYear) {
    const std::map<int, std::string> byDistance = {
        {0, "Пасха"},
        {-49, "Прощеное воскресенье"},
        {-7, "Вербное воскресенье"},
        {-48, "Начало Великого Поста"},
        {49, "Троица. Пятидесятница"},
        {39, "Вознесение Господне"},
        {57, "Начало Петрова Поста"},
    };
    for (int year : {2010, 2024, 2000, 2100, 1600}) {
        const long long easter = julianDayNumber(referenceOrthodoxEaster(year), true);
        int named = 0;
        for (long long jdn = julianDayNumber({year, 1, 1}, true); jdn < julianDayNumber({year + 1, 1, 1}, true);
             ++jdn) {
            const Ymd day = gregorianFromJulianDayNumber(jdn);
            const auto it = byDistance.find(static_cast<int>(jdn - easter));
            const std::string expected = it == byDistance.end() ? "" : it->second;
            const std::string got = feastLineAtStartup({day.y, day.m, day.d});
            ASSERT_EQ(got, expected) << show(day);
            named += !got.empty();
        }
        EXPECT_EQ(named, 7) << year;
    }
}
