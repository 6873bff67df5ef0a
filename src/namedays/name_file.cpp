#include "namedays/name_file.h"

#include <exception>
#include <streambuf>

#include "services/skip_on_failure.h"

namespace ladoslov::namedays {

namespace {

constexpr std::size_t kMaxLines = 366;
constexpr std::size_t kMaxKeptLineBytes = 64 * 1024;
// Room for every line at its longest; past it the file is not read on, so a huge file without line
// breaks cannot hold up the start.
constexpr std::size_t kMaxReadBytes = kMaxLines * kMaxKeptLineBytes;
constexpr std::size_t kDateChars = 5;
constexpr std::size_t kNamesStart = 6;  // the date, then one separator character

// Code points of the bytes 0x80 … 0xFF.
constexpr char16_t kHighHalf[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

// Every table entry lies in the Basic Multilingual Plane, so at most three bytes.
void appendUtf8(std::string& out, char16_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

bool namesDay(std::string_view rawLine, const Date& today) {
    if (rawLine.size() < kDateChars) return false;
    const auto date = dateFromDayMonthText(rawLine.substr(0, kDateChars), today.year);
    return date && *date == today;
}

// Bytes in the UTF-8 sequence that starts at text[at]: its lead byte and as many of the continuation
// bytes it announces as are there. A stray or invalid byte is a sequence of its own.
std::size_t sequenceLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t expected = 1;
    if (lead >= 0xC2 && lead <= 0xDF) expected = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) expected = 3;
    else if (lead >= 0xF0 && lead <= 0xF4) expected = 4;
    std::size_t length = 1;
    while (length < expected && at + length < text.size() &&
           (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80)
        ++length;
    return length;
}

}  // namespace

std::string decodeWindows1251(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) out.push_back(c);
        else appendUtf8(out, kHighHalf[b - 0x80]);
    }
    return out;
}

std::optional<std::string> findTodayLine(std::istream& in, const Date& today) {
    std::streambuf* const buf = in.rdbuf();
    if (buf == nullptr) return std::nullopt;
    std::string line;
    std::string match;
    bool matched = false;
    std::size_t read = 0;
    try {
        for (std::size_t n = 0; n < kMaxLines; ++n) {
            line.clear();
            bool any = false;
            bool cut = false;
            bool endOfInput = false;
            for (;;) {
                const int c = read < kMaxReadBytes ? buf->sbumpc() : std::char_traits<char>::eof();
                ++read;
                if (c == std::char_traits<char>::eof()) {
                    endOfInput = true;
                    break;
                }
                any = true;
                if (c == '\n') break;
                if (line.size() < kMaxKeptLineBytes) line.push_back(static_cast<char>(c));
                else cut = true;  // the rest of an overlong line is read and dropped
            }
            if (!any) break;  // nothing after the last line break
            if (!cut && !line.empty() && line.back() == '\r') line.pop_back();
            if (namesDay(line, today)) {  // kept: reading goes on, so the last of today's lines wins
                match.swap(line);
                matched = true;
            }
            if (endOfInput) break;
        }
    } catch (const std::exception& e) {
        // A stream that throws is read as far as it went; the reader reports nothing.
        reportSkippedFailure(FailurePlace(__builtin_FUNCTION(), __builtin_FILE(), __builtin_LINE()), e.what());
    } catch (...) {
        reportSkippedFailure(FailurePlace(__builtin_FUNCTION(), __builtin_FILE(), __builtin_LINE()), "");
    }
    if (!matched) return std::nullopt;
    return decodeWindows1251(match);
}

std::string namesOfLine(std::string_view line, std::size_t maxChars) {
    std::size_t at = 0;
    for (std::size_t skipped = 0; skipped < kNamesStart && at < line.size(); ++skipped)
        at += sequenceLength(line, at);
    const std::size_t begin = at;
    for (std::size_t taken = 0; taken < maxChars && at < line.size(); ++taken) at += sequenceLength(line, at);
    return std::string(line.substr(begin, at - begin));
}

}  // namespace ladoslov::namedays
