#pragma once
// The name-day file Data/name.txt: Windows-1251 lines "dd.mm names…", one per day of the year.
// Reading never fails loudly: a file that is missing, short, overlong or garbage simply names no one.

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/date.h"

namespace ladoslov::namedays {

// Windows-1251 bytes to UTF-8, by a fixed 128-entry table (no locale, no iconv). 0x98 (unassigned)
// maps to U+FFFD.
std::string decodeWindows1251(std::string_view bytes);

// The whole decoded (UTF-8) line of the last of the first 366 lines whose date field is `today`, or
// nothing. A line ends at LF, one CR before it is dropped; only the first 64 KiB of a line are kept.
// Reads through in.rdbuf() and leaves the stream's state flags alone.
std::optional<std::string> findTodayLine(std::istream& in, const Date& today);

// The names part of a line: its code points from the 7th on, at most maxChars of them (UTF-8 in,
// UTF-8 out). A malformed byte counts as one code point and is copied as it is.
std::string namesOfLine(std::string_view line, std::size_t maxChars);

}  // namespace ladoslov::namedays
