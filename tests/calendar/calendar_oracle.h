#pragma once
// What the calendar should show, worked out with the standard library's calendar rather than the
// program's own date arithmetic, and a few helpers for driving one month's fill.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_services.h"

namespace ladoslov::testing {

inline std::chrono::sys_days civilDay(int y, int m, int d) {
    using namespace std::chrono;
    return sys_days(year{y} / month{static_cast<unsigned>(m)} / day{static_cast<unsigned>(d)});
}

// 1 = Monday … 7 = Sunday.
inline int isoWeekday(int y, int m, int d) {
    return static_cast<int>(std::chrono::weekday(civilDay(y, m, d)).iso_encoding());
}

inline int monthLength(int y, int m) {
    using namespace std::chrono;
    return static_cast<int>(static_cast<unsigned>((year{y} / month{static_cast<unsigned>(m)} / last).day()));
}

inline bool isLeap(int y) { return std::chrono::year{y}.is_leap(); }

// Cell index of day d: weeks since the Monday of the week that holds the 1st, times 7, plus the
// weekday row (Monday = 0).
inline int cellOfDay(int y, int m, int d) {
    const auto mondayOfFirstWeek = civilDay(y, m, 1) - std::chrono::days{isoWeekday(y, m, 1) - 1};
    const auto column = (civilDay(y, m, d) - mondayOfFirstWeek).count() / 7;
    return static_cast<int>(column) * 7 + isoWeekday(y, m, d) - 1;
}

// The 37 captions of a filled month: day numbers in their cells, the rest blank.
inline std::vector<std::string> expectedCaptions(int y, int m) {
    std::vector<std::string> out(37);
    for (int d = 1; d <= monthLength(y, m); ++d) out.at(static_cast<std::size_t>(cellOfDay(y, m, d))) = std::to_string(d);
    return out;
}

inline bool isWeekendCell(int cellIndex) { return cellIndex < 35 && cellIndex % 7 >= 5; }

// A year from 1901 on whose month m begins on the given weekday (and, if asked, is or is not a leap year).
inline int yearWhereFirstIs(int m, int isoWeekdayOfFirst, std::optional<bool> leap = std::nullopt) {
    for (int y = 1901; y < 2200; ++y)
        if (isoWeekday(y, m, 1) == isoWeekdayOfFirst && (!leap || isLeap(y) == *leap)) return y;
    return 0;
}

// The colour a cell of month m has before anything paints it.
inline Colour designCellColour(int m) { return m == 1 || m >= 9 ? Colour{0x000000} : kSystemText; }

// Ticks the month's FillTimer as the view would, until it stops; the number of ticks delivered.
inline int fillMonth(Harness& h, int m) {
    int ticks = 0;
    while (h.form.timer(m).enabled() && ticks < 1000) {
        h.form.timerTick(m);
        ++ticks;
    }
    return ticks;
}

inline std::vector<std::string> captionsOf(Harness& h, int m) {
    std::vector<std::string> out;
    for (int i = 0; i < 37; ++i) out.push_back(h.cells(m)[i].caption());
    return out;
}

}  // namespace ladoslov::testing
