#include "church/easter.h"

namespace ladoslov {

namespace {

struct GaussTerms {
    int d;
    int e;
};

GaussTerms julianGauss(int year) {
    auto mod = [](int x, int k) { return ((x % k) + k) % k; };
    const int a = mod(year, 19);
    const int d = (19 * a + 15) % 30;
    const int b = mod(year, 4);
    const int c = mod(year, 7);
    const int e = (2 * b + 4 * c + 6 * d + 6) % 7;
    return {d, e};
}

long long julianDayNumberOfJulianDate(int year, int month, int day) {
    const long long a = (14 - month) / 12;
    const long long y = static_cast<long long>(year) + 4800 - a;
    const long long m = month + 12 * a - 3;
    return day + (153 * m + 2) / 5 + 365 * y + (y >= 0 ? y / 4 : (y - 3) / 4) - 32083;
}

constexpr long long kJulianDayNumberOf1970_01_01 = 2440588;

}  // namespace

EasterDayMonth easterByThirteenDayRule(int year) {
    const auto [d, e] = julianGauss(year);
    int easterDay;
    if (d + e > 10) {
        easterDay = (d + e - 9) + 13;
        if (easterDay > 30) easterDay -= 30;
    } else {
        easterDay = 22 + d + e + 13;
        if (easterDay > 31) easterDay -= 31;
    }
    const int easterMonth = (d + e - 9) + 13 <= 30 ? 4 : 5;
    return {easterDay, easterMonth};
}

Date civilFromJulian(int year, int month, int day) {
    return civilFromDays(julianDayNumberOfJulianDate(year, month, day) - kJulianDayNumberOf1970_01_01);
}

Date orthodoxEaster(int year) {
    if (year >= 1900 && year <= 2099) {
        const EasterDayMonth e = easterByThirteenDayRule(year);
        return Date{year, e.month, e.day};
    }
    const auto [d, e] = julianGauss(year);
    return d + e > 10 ? civilFromJulian(year, 4, d + e - 9) : civilFromJulian(year, 3, 22 + d + e);
}

std::string_view movableFeastOf(const Date& today) {
    const Date easter = orthodoxEaster(today.year);
    std::string_view caption;
    // Easter itself is recognised by its day, its month and its being a Sunday.
    if (today.day == easter.day && today.month == easter.month && weekdaySundayFirst(today) == 1)
        caption = kMovableFeastTable[0].caption;
    for (std::size_t row = 1; row < kMovableFeastTable.size(); ++row) {
        const MovableFeast& f = kMovableFeastTable[row];
        if (dateWithRollover(today.year, easter.month, easter.day + f.daysFromEaster) == today) caption = f.caption;
    }
    return caption;
}

}  // namespace ladoslov
