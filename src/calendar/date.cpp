#include "calendar/date.h"

#include <cstdio>

namespace ladoslov {

bool isGregorianLeapYear(int year) {
    return year % 4 == 0 && (year % 400 == 0 || year % 100 != 0);
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isGregorianLeapYear(year) ? 29 : kDays[month - 1];
}

bool isValidDate(const Date& d) {
    return d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= daysInMonth(d.year, d.month);
}

// Howard Hinnant's days-from-civil algorithm, valid for every int year.
long long daysFromCivil(const Date& d) {
    const long long y = static_cast<long long>(d.year) - (d.month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long mp = (d.month + 9) % 12;
    const long long doy = (153 * mp + 2) / 5 + d.day - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Date civilFromDays(long long z) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const long long year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    return Date{static_cast<int>(year), month, day};
}

Date dateWithRollover(int year, int month, int day) {
    // Normalise the month first, then count the day from the 1st of it.
    int m0 = month - 1;
    int y = year + (m0 >= 0 ? m0 / 12 : -((11 - m0) / 12));
    m0 -= (y - year) * 12;
    return civilFromDays(daysFromCivil(Date{y, m0 + 1, 1}) + (day - 1));
}

int weekdaySundayFirst(const Date& d) {
    const long long days = daysFromCivil(d);  // 1970-01-01 was a Thursday
    return static_cast<int>(((days + 4) % 7 + 7) % 7) + 1;
}

int weekdayMondayFirst(const Date& d) {
    return (weekdaySundayFirst(d) + 5) % 7 + 1;
}

std::optional<Date> dateFromDayMonthText(std::string_view text, int year) {
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (text.size() != 5 || !digit(text[0]) || !digit(text[1]) || text[2] != '.' || !digit(text[3]) ||
        !digit(text[4]))
        return std::nullopt;
    const Date d{year, (text[3] - '0') * 10 + (text[4] - '0'), (text[0] - '0') * 10 + (text[1] - '0')};
    if (!isValidDate(d)) return std::nullopt;
    return d;
}

std::string dayMonthText(const Date& d) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d.%02d", d.day % 100, d.month % 100);
    return buf;
}

}  // namespace ladoslov
