// The animated fill of the twelve month blocks, one cell per tick of the month's FillTimer.

#include "calendar/memorial_days.h"
#include "screen/form.h"
#include "services/skip_on_failure.h"

namespace ladoslov {

void Form1::FillTimer(int month) {
    const MonthDesign& m = kMonthBlocks.at(static_cast<std::size_t>(month - 1));
    FillCounters& counters = fillCounters.at(static_cast<std::size_t>(month - 1));
    LabelArray& cells = labelArray(m.cellArray);
    const int stopNumber = month == 2 ? 36 : 37;  // kept: February's last tick handles cell 35, never a day
    const int c = counters.cellIndex;
    const Date today = services_.clock.today();

    skipOnFailure([&] {
        if (counters.dayNumber == stopNumber) timer(m.fillTimer).setEnabled(false);
    });
    // The grid's rows run Monday first, so w counts from Monday whatever the regional first day.
    const int w = weekdayMondayFirst(Date{today.year, month, 1});
    skipOnFailure([&] { cells[c].setCaption(std::to_string(c - w + 2)); });
    skipOnFailure([&] {
        for (int i = 0; i <= w - 2; ++i) cells[i].setCaption("");
    });
    skipOnFailure([&] {
        const int length = month == 2 ? (LeapYear(leapYearVariable) ? 29 : 28) : daysInMonth(today.year, month);
        for (int i = length + w - 1; i <= 36; ++i) cells[i].setCaption("");
    });
    // Kept: the weekend rows are repainted red on every tick, so a weekend today or memorial day ends red.
    skipOnFailure([&] {
        for (int i : kWeekendCells) {
            cells[i].setForeColour(kRed);
            if (i % 7 != 6) continue;  // the Sunday row's cells carry the rules by position
            for (const MemorialRule& rule : memorialRules(month))
                if (rule.match == MemorialRule::Match::Cell && rule.first == i) cells[i].setToolTip(rule.toolTip);
        }
    });
    skipOnFailure([&] {
        // Kept: the fill runs once, so past midnight the mark stays on the start day's cell.
        if (month == today.month && cells[c].caption() == std::to_string(today.day)) {
            cells[c].setBorderStyle(BorderStyle::FixedSingle);
            cells[c].setForeColour(kYellow);
            cells[c].setToolTip("Сегодня " + services_.regional.shortDate(today));
        }
    });
    skipOnFailure([&] {
        for (const MemorialRule& rule : memorialRules(month)) {
            if (rule.match == MemorialRule::Match::Cell || !matchesCell(rule, cells[c].caption(), c)) continue;
            if (rule.colour) cells[c].setForeColour(*rule.colour);
            cells[c].setToolTip(rule.toolTip);
        }
    });
    ++counters.cellIndex;
    ++counters.dayNumber;
}

}  // namespace ladoslov
