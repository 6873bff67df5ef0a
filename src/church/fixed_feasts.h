#pragma once
#include <array>
#include <string_view>

#include "calendar/date.h"

namespace ladoslov {

struct FixedFeast {
    std::string_view key;  // dd.mm, day first
    std::string_view caption;
    double fontSize = 0;   // points the feast line takes, or 0 to keep its size
};

inline constexpr std::array<FixedFeast, 14> kFixedFeasts = {{
    {"07.01", "Рождество Христово"},
    {"14.01", "Обрезание Господне"},
    {"19.01", "Крещение Господне"},
    {"15.02", "Сретение Господне"},
    {"07.04", "Благовещение Пресвятой Богородицы"},
    {"07.07", "Рождество Иоанна Предтечи"},
    // Kept: the longest name takes 20 points to fit, and nothing sets the line's size back.
    {"12.07", "Святых первоверховных апостолов Петра и Павла", 20},
    {"19.08", "Преображение Господне (Спас)"},
    {"28.08", "Успение Пресвятой Богородицы"},
    {"11.09", "Усекновение главы Иоанна Предтечи"},
    {"21.09", "Рождество Пресвятой Богородицы"},
    {"27.09", "Воздвижение Креста Господня"},
    {"14.10", "Покров Пресвятой Богородицы"},
    {"04.12", "Введение во храм Пресвятой Богородицы"},
}};

// The first entry whose key names today in today's year, or nullptr.
inline const FixedFeast* fixedFeastOf(const Date& today) {
    for (const FixedFeast& f : kFixedFeasts)
        if (dateFromDayMonthText(f.key, today.year) == today) return &f;
    return nullptr;
}

}  // namespace ladoslov
