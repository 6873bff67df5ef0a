#pragma once
// Calendar dates of the proleptic Gregorian calendar and the dd.mm texts that name a day of the year.

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace ladoslov {

struct Date {
    int year = 1;
    int month = 1;  // 1 = January
    int day = 1;    // 1 … 31
    friend constexpr auto operator<=>(const Date&, const Date&) = default;
};

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend constexpr bool operator==(const TimeOfDay&, const TimeOfDay&) = default;
};

bool isGregorianLeapYear(int year);
int daysInMonth(int year, int month);
bool isValidDate(const Date& d);

// Days since 1970-01-01 for any Gregorian date, and back.
long long daysFromCivil(const Date& d);
Date civilFromDays(long long days);

// Year, month and a day that may lie outside the month: day 0 of April is 31 March.
Date dateWithRollover(int year, int month, int day);

// 1 = Sunday, 2 = Monday … 7 = Saturday.
int weekdaySundayFirst(const Date& d);
// 1 = Monday … 7 = Sunday.
int weekdayMondayFirst(const Date& d);

// "dd.mm" in the given year: exactly two digits, a full stop, two digits. A text that names no day of
// that year (29.02 in a common year, 31.04, 00.01, "1.1.1") gives nothing.
std::optional<Date> dateFromDayMonthText(std::string_view text, int year);

// "06.12" for 6 December.
std::string dayMonthText(const Date& d);

}  // namespace ladoslov
