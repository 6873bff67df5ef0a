// Arbitrary bytes as Data/name.txt: the reader must neither crash nor return a line that breaks its
// own promises.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "namedays/name_file.h"

namespace {

using namespace ladoslov;

bool validUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t n = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

std::size_t codePoints(std::string_view s) {
    std::size_t n = 0;
    for (const char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    const std::string decoded = namedays::decodeWindows1251(bytes);
    check(validUtf8(decoded) && codePoints(decoded) == bytes.size());

    for (const Date today : {Date{2026, 12, 6}, Date{2028, 2, 29}, Date{2026, 1, 1}, Date{2026, 3, 1}}) {
        std::istringstream in(bytes);
        const auto line = namedays::findTodayLine(in, today);
        if (!line) continue;
        check(validUtf8(*line) && codePoints(*line) <= 64 * 1024);
        check(line->compare(0, 5, dayMonthText(today)) == 0);
        const std::string names = namedays::namesOfLine(*line, 1500);
        check(validUtf8(names) && codePoints(names) <= 1500);
        check(codePoints(*line) <= 6 ? names.empty() : line->find(names) != std::string::npos);
    }

    // The names of raw, possibly malformed UTF-8 are a piece of it.
    const std::string raw = namedays::namesOfLine(bytes, 40);
    check(raw.size() <= bytes.size() && bytes.find(raw) != std::string::npos);
    return 0;
}
