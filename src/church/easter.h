#pragma once
// Orthodox Easter and the feasts that move with it.

#include <array>
#include <string_view>

#include "calendar/date.h"

namespace ladoslov {

struct EasterDayMonth {
    int day;
    int month;  // 4 or 5
};

// Gauss's rule with the Julian constants, moved into the civil calendar by 13 days: right for 1900–2099.
EasterDayMonth easterByThirteenDayRule(int year);

// Julian Easter of the year converted to the civil calendar with that year's real difference between the
// calendars. Equals the thirteen-day rule for 1900–2099.
Date orthodoxEaster(int year);

// Julian calendar date → civil (Gregorian) date.
Date civilFromJulian(int year, int month, int day);

struct MovableFeast {
    int daysFromEaster;
    std::string_view caption;
};

// In the order in which today is tested against them; Easter first.
inline constexpr std::array<MovableFeast, 7> kMovableFeastTable = {{
    {0, "Пасха"},
    {-49, "Прощеное воскресенье"},
    {-7, "Вербное воскресенье"},
    {-48, "Начало Великого Поста"},
    {49, "Троица. Пятидесятница"},
    {39, "Вознесение Господне"},
    {57, "Начало Петрова Поста"},
}};

// The caption of today's movable feast, or an empty view.
std::string_view movableFeastOf(const Date& today);

}  // namespace ladoslov
