// Every month of every year from 1900 to 2100, filled and checked against the standard library's calendar.

#include <gtest/gtest.h>

#include "calendar/calendar_oracle.h"

using namespace ladoslov;
using namespace ladoslov::testing;

TEST(WholeCalendar, EveryDayStandsInItsWeekdayRowFrom1900To2100) {
    for (int year = 1900; year <= 2100; ++year) {
        Harness h;
        h.clock.date = Date{year, 6, 15};
        // No load(): the counters and timers start as start-up leaves them, and the fill reads only the clock.
        h.fillAll();
        for (int m = 1; m <= 12; ++m) ASSERT_EQ(captionsOf(h, m), expectedCaptions(year, m)) << year << "-" << m;
        // February's fill asked LeapYear, which writes today's date with the whole year.
        ASSERT_EQ(h.form.Label114.caption(), "15.06." + std::to_string(year));
    }
}
