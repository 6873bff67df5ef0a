#include "namedays/name_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fakes/fake_services.h"

namespace ladoslov::namedays {
namespace {

std::optional<std::string> find(const std::string& file, const Date& today) {
    std::istringstream in(file);
    return findTodayLine(in, today);
}

// Code points in valid UTF-8.
std::size_t codePoints(std::string_view s) {
    std::size_t n = 0;
    for (const char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// "06.12" … for day k of 2028 (a leap year), k = 0 … 365.
std::string dayText(int k) { return dayMonthText(civilFromDays(daysFromCivil({2028, 1, 1}) + k)); }

const Date kDec6{2026, 12, 6};
const std::string kIvan = "\xC8\xE2\xE0\xED";  // "Иван" in Windows-1251

TEST(FindTodayLine, PicksTheLastOfTheFirst366LinesForToday) {
    struct Case {
        const char* label;
        std::string file;
        Date today;
        std::optional<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"CRLF", "05.12 A\r\n06.12 B\r\n07.12 C\r\n", kDec6, "06.12 B"},
        {"second line for today wins", "06.12 first\r\n06.12 second\r\n", kDec6, "06.12 second"},
        {"other year, same day", "06.12 B\r\n", {1999, 12, 6}, "06.12 B"},
        {"LF only", "05.12 A\n06.12 B\n07.12 C\n", kDec6, "06.12 B"},
        {"no final line break", "05.12 A\r\n06.12 B", kDec6, "06.12 B"},
        {"mixed endings, last wins", "06.12 A\n06.12 B\r\n", kDec6, "06.12 B"},
        {"only one CR is stripped", "06.12 B\r\r\n", kDec6, "06.12 B\r"},
        {"CR inside a line is kept", "06.12 B\rC\n", kDec6, "06.12 B\rC"},
        {"exactly 5 characters", "06.12\r\n", kDec6, "06.12"},
        {"exactly 6 characters", "06.12 \r\n", kDec6, "06.12 "},
        {"any separator", "06.12-B\n", kDec6, "06.12-B"},
        {"29.02 in a leap year", "28.02 A\r\n29.02 B\r\n01.03 C\r\n", {2028, 2, 29}, "29.02 B"},
        {"29.02 never matches 01.03", "29.02 B\r\n", {2026, 3, 1}, std::nullopt},
        {"01.03 after a common February", "29.02 B\r\n01.03 C\r\n", {2026, 3, 1}, "01.03 C"},
        {"no line for today", "05.12 A\r\n07.12 C\r\n", kDec6, std::nullopt},
        {"decoded from Windows-1251", "06.12 " + kIvan + "\r\n", kDec6, "06.12 Иван"},
        {"today's date later in the line", "05.12 06.12\r\n", kDec6, std::nullopt},
        {"date must open the line", " 06.12 B\r\n", kDec6, std::nullopt},
        {"4 characters", "06.1\r\n", kDec6, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(find(c.file, c.today), c.expected) << c.label;
}

TEST(FindTodayLine, ReadsNoMoreThan366Lines) {
    // Today's line alone at line `at` of a 400-line file.
    const auto fileWithTodayAt = [](int at) {
        std::string file;
        for (int n = 1; n <= 400; ++n) file += (n == at ? std::string("06.12 here") : "05.12 x") + "\r\n";
        return file;
    };
    EXPECT_EQ(find(fileWithTodayAt(1), kDec6), "06.12 here");
    EXPECT_EQ(find(fileWithTodayAt(366), kDec6), "06.12 here");
    EXPECT_EQ(find(fileWithTodayAt(367), kDec6), std::nullopt);
    EXPECT_EQ(find(fileWithTodayAt(380), kDec6), std::nullopt);

    // Empty lines count too.
    EXPECT_EQ(find(std::string(365, '\n') + "06.12 B\n", kDec6), "06.12 B");
    EXPECT_EQ(find(std::string(366, '\n') + "06.12 B\n", kDec6), std::nullopt);
}

TEST(FindTodayLine, OverlongLineIsOneLineAndIsCut) {
    const std::string huge(1024 * 1024, 'x');
    EXPECT_EQ(find(huge + "\r\n06.12 next\r\n", kDec6), "06.12 next");
    EXPECT_EQ(find("05.12 " + huge + "\n06.12 next\n", kDec6), "06.12 next");

    // The long line still counts as one: today's line is line 366, then line 367.
    std::string file = huge + "\n";
    for (int n = 2; n <= 365; ++n) file += "05.12 x\n";
    EXPECT_EQ(find(file + "06.12 B\n", kDec6), "06.12 B");
    EXPECT_EQ(find(file + "05.12 x\n06.12 B\n", kDec6), std::nullopt);

    // Today's own overlong line: its first 64 KiB are kept, a CR at its far end is not looked for.
    const auto line = find("06.12 " + huge + "\r\n", kDec6);
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->size(), 64u * 1024u);
    EXPECT_EQ(line->substr(0, 7), "06.12 x");
    EXPECT_EQ(find("06.12 " + std::string(64 * 1024 - 6, 'x') + "\r\n", kDec6)->size(), 64u * 1024u);
    EXPECT_EQ(find("06.12 " + std::string(64 * 1024 - 7, 'x') + "\r\n", kDec6)->size(), 64u * 1024u - 1);
}

// A file past all 366 lines at their longest is not read on: a line after it is never found.
TEST(FindTodayLine, ReadingStopsAfter366LongestLines) {
    struct Endless : std::streambuf {
        std::size_t given = 0;
        int_type underflow() override {
            static char x[4096];
            std::fill(std::begin(x), std::end(x), 'x');
            if (given > (1u << 30)) return traits_type::eof();
            given += sizeof x;
            setg(x, x, x + sizeof x);
            return 'x';
        }
    } endless;
    std::istream in(&endless);
    EXPECT_EQ(findTodayLine(in, kDec6), std::nullopt);
    EXPECT_LE(endless.given, 366u * 64u * 1024u + 4096u);

    const std::string longest(64 * 1024, 'x');
    std::string file;
    for (int n = 1; n <= 366; ++n) file += longest;
    EXPECT_EQ(find(file + "\n06.12 A\n", kDec6), std::nullopt);
    EXPECT_EQ(find(file.substr(0, file.size() - 64 * 1024) + "\n06.12 A\n", kDec6), "06.12 A");
}

TEST(FindTodayLine, GarbageNamesNoOne) {
    const std::vector<std::string> files = {
        "",
        "\r\n\r\n",
        std::string(1000, '\0'),
        std::string("06.\0" "12 B\n", 9),
        "31.02 B\n", "00.12 B\n", "06.00 B\n", "06.13 B\n", "32.12 B\n", "1.1.1 B\n", "6.12 B\n",
        "06,12 B\n", "ab.cd B\n", "06.1a B\n", "\xEF\xBB\xBF" "06.12 B\n", "\xB0\x36.12 B\n",
        std::string("\xFF\xFE" "0\0" "6\0" ".\0" "1\0" "2\0", 12),  // UTF-16
    };
    for (const auto& f : files) EXPECT_EQ(find(f, kDec6), std::nullopt) << '"' << f << '"';
    EXPECT_EQ(find("31.02 B\n", {2026, 3, 3}), std::nullopt);  // no rollover to March
}

TEST(FindTodayLine, NulAndBinaryAfterTheDateAreKept) {
    const std::string names("\0\x98\xFF", 3);
    const auto line = find("06.12 " + names + "\n", kDec6);
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(*line, std::string("06.12 \0\xEF\xBF\xBD\xD1\x8F", 12));
}

TEST(FindTodayLine, ThrowingStreamNamesNoOne) {
    struct ThrowingBuf : std::streambuf {
        int underflow() override { throw std::ios_base::failure("read error"); }
    } buf;
    std::istream in(&buf);
    testing::ExpectSkippedFailures readError;
    EXPECT_EQ(findTodayLine(in, kDec6), std::nullopt);
    EXPECT_EQ(readError.count(), 1);
    std::istream none(nullptr);
    EXPECT_EQ(findTodayLine(none, kDec6), std::nullopt);
}

TEST(NamesOfLine, CodePointsFromTheSeventh) {
    struct Case {
        std::string line;
        std::size_t max;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"06.12 Иван, Пётр", 1500, "Иван, Пётр"},
        {"06.12 Иван, Пётр", 4, "Иван"},
        {"06.12 Иван", 0, ""},
        {"06.12", 1500, ""},
        {"06.12 ", 1500, ""},
        {"", 1500, ""},
        {"06.12ЖИван", 1500, "Иван"},  // a multi-byte separator is one character
        {"ЁЁЁЁЁЁжж", 1, "ж"},
        {"06.12 €€", 1, "€"},
        {"06.12 a\xD0", 5, "a\xD0"},            // a cut-off sequence is one character
        {"06.12 \x80\x80z", 2, "\x80\x80"},     // stray continuation bytes count one each
        {"06.12 \xF0\x9F\x98\x80!", 1, "\xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) EXPECT_EQ(namesOfLine(c.line, c.max), c.expected) << c.line;
}

std::string repeat(const std::string& s, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += s;
    return out;
}

TEST(NamesOfLine, ShowsAtMost1500OfA2000CharacterNamesText) {
    const auto line = find("06.12 " + std::string(2000, '\xC6') + "\r\n", kDec6);  // 2000 × "Ж"
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(namesOfLine(*line, 1500), repeat("Ж", 1500));
    // Code points, not bytes: "€" takes three bytes, "я" two.
    EXPECT_EQ(namesOfLine("06.12 " + repeat("€я", 1000), 1500), repeat("€я", 750));
}

TEST(DecodeWindows1251, AllBytesAgainstReference) {
    // Python's cp1251 codec on bytes 0x80 … 0xFF (errors="replace" for the unassigned 0x98), as UTF-8.
    const std::string reference =
        "\xD0\x82\xD0\x83\xE2\x80\x9A\xD1\x93\xE2\x80\x9E\xE2\x80\xA6\xE2\x80\xA0\xE2\x80\xA1\xE2\x82\xAC\xE2\x80\xB0\xD0\x89\xE2\x80\xB9\xD0\x8A\xD0\x8C\xD0\x8B\xD0\x8F"  // 80
        "\xD1\x92\xE2\x80\x98\xE2\x80\x99\xE2\x80\x9C\xE2\x80\x9D\xE2\x80\xA2\xE2\x80\x93\xE2\x80\x94\xEF\xBF\xBD\xE2\x84\xA2\xD1\x99\xE2\x80\xBA\xD1\x9A\xD1\x9C\xD1\x9B\xD1\x9F"  // 90
        "\xC2\xA0\xD0\x8E\xD1\x9E\xD0\x88\xC2\xA4\xD2\x90\xC2\xA6\xC2\xA7\xD0\x81\xC2\xA9\xD0\x84\xC2\xAB\xC2\xAC\xC2\xAD\xC2\xAE\xD0\x87"  // A0
        "\xC2\xB0\xC2\xB1\xD0\x86\xD1\x96\xD2\x91\xC2\xB5\xC2\xB6\xC2\xB7\xD1\x91\xE2\x84\x96\xD1\x94\xC2\xBB\xD1\x98\xD0\x85\xD1\x95\xD1\x97"  // B0
        "\xD0\x90\xD0\x91\xD0\x92\xD0\x93\xD0\x94\xD0\x95\xD0\x96\xD0\x97\xD0\x98\xD0\x99\xD0\x9A\xD0\x9B\xD0\x9C\xD0\x9D\xD0\x9E\xD0\x9F"  // C0
        "\xD0\xA0\xD0\xA1\xD0\xA2\xD0\xA3\xD0\xA4\xD0\xA5\xD0\xA6\xD0\xA7\xD0\xA8\xD0\xA9\xD0\xAA\xD0\xAB\xD0\xAC\xD0\xAD\xD0\xAE\xD0\xAF"  // D0
        "\xD0\xB0\xD0\xB1\xD0\xB2\xD0\xB3\xD0\xB4\xD0\xB5\xD0\xB6\xD0\xB7\xD0\xB8\xD0\xB9\xD0\xBA\xD0\xBB\xD0\xBC\xD0\xBD\xD0\xBE\xD0\xBF"  // E0
        "\xD1\x80\xD1\x81\xD1\x82\xD1\x83\xD1\x84\xD1\x85\xD1\x86\xD1\x87\xD1\x88\xD1\x89\xD1\x8A\xD1\x8B\xD1\x8C\xD1\x8D\xD1\x8E\xD1\x8F";  // F0
    std::string high;
    for (int b = 0x80; b <= 0xFF; ++b) high.push_back(static_cast<char>(b));
    EXPECT_EQ(decodeWindows1251(high), reference);

    std::string low;
    for (int b = 0x00; b < 0x80; ++b) low.push_back(static_cast<char>(b));
    EXPECT_EQ(decodeWindows1251(low), low);

    // Byte by byte: one code point each, in order.
    std::string all = low + high;
    std::string joined;
    for (const char c : all) {
        const auto one = decodeWindows1251(std::string_view(&c, 1));
        EXPECT_EQ(codePoints(one), 1u) << static_cast<int>(static_cast<unsigned char>(c));
        joined += one;
    }
    EXPECT_EQ(joined, low + reference);
}

TEST(DecodeWindows1251, SpotBytes) {
    const std::vector<std::pair<unsigned char, std::string>> cases = {
        {0x80, "Ђ"}, {0x88, "€"}, {0x96, "–"}, {0x98, "\xEF\xBF\xBD"}, {0x99, "™"}, {0xA0, "\xC2\xA0"},
        {0xA5, "Ґ"}, {0xA8, "Ё"}, {0xAD, "\xC2\xAD"}, {0xB4, "ґ"}, {0xB8, "ё"}, {0xB9, "№"},
        {0xC0, "А"}, {0xFF, "я"},
    };
    for (const auto& [byte, utf8] : cases)
        EXPECT_EQ(decodeWindows1251(std::string(1, static_cast<char>(byte))), utf8) << int{byte};
}

TEST(DecodeWindows1251, CyrillicRoundTrip) {
    const std::string alphabet = "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя";
    std::string bytes;
    for (int b = 0xC0; b <= 0xFF; ++b) bytes.push_back(static_cast<char>(b));
    EXPECT_EQ(decodeWindows1251(bytes), alphabet);
    EXPECT_EQ(decodeWindows1251("\xA8\xB8\xB9"), "Ёё№");
    EXPECT_EQ(decodeWindows1251(std::string_view("\0", 1)), std::string(1, '\0'));
}

TEST(ShippedNameFile, NamesTheKnownDays) {
    std::ifstream in(LADOSLOV_SOURCE_DIR "/Data/name.txt", std::ios::binary);
    ASSERT_TRUE(in.is_open());
    const auto dec6 = findTodayLine(in, {2026, 12, 6});
    ASSERT_TRUE(dec6.has_value());
    const auto names = namesOfLine(*dec6, 1500);
    EXPECT_NE(names.find("Александр"), std::string::npos) << names;
    EXPECT_NE(names.find("Митрофан"), std::string::npos) << names;

    // Every day of a leap year has its line, and the Nativity names no one.
    for (int k = 0; k < 366; ++k) {
        in.clear();
        in.seekg(0);
        const std::string text = dayText(k);
        const auto line = findTodayLine(in, *dateFromDayMonthText(text, 2028));
        ASSERT_TRUE(line.has_value()) << text;
        EXPECT_EQ(line->substr(0, 6), text + " ");
        EXPECT_EQ(namesOfLine(*line, 1500).empty(), text == "07.01") << text;
    }
}

}  // namespace
}  // namespace ladoslov::namedays
