#include <cstdio>

#include "screen/form.h"

namespace ladoslov {

// Kept: February's fill asks on every tick, so today's date in Label114 is written 36 times.
bool Form1::LeapYear(std::int16_t& year) {
    const Date today = services_.clock.today();
    year = static_cast<std::int16_t>(today.year);
    const bool leap = isGregorianLeapYear(year);
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%d", today.day, today.month, static_cast<int>(year));
    Label114.setCaption(text);
    return leap;
}

}  // namespace ladoslov
