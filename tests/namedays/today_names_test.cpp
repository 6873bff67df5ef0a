// Today's saints at start-up (Label113, TodayNamesLine) and the prayer while F10 is held, on the whole
// window: the file beside the executable, the key handlers, the label's font and size.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "calendar/date.h"
#include "fakes/fake_services.h"
#include "namedays/name_file.h"
#include "namedays/prayer.h"

using namespace ladoslov;
using namespace ladoslov::testing;

namespace {

// UTF-16 Cyrillic and ASCII to Windows-1251 bytes, as the file holds them.
std::string cp1251(std::u16string_view text) {
    std::string out;
    for (const char16_t c : text) {
        if (c < 0x80) out.push_back(static_cast<char>(c));
        else if (c >= 0x410 && c <= 0x44F) out.push_back(static_cast<char>(0xC0 + (c - 0x410)));
        else if (c == u'Ё') out.push_back('\xA8');
        else if (c == u'ё') out.push_back('\xB8');
        else ADD_FAILURE() << "no Windows-1251 byte for U+" << std::hex << static_cast<int>(c);
    }
    return out;
}

std::size_t codePoints(std::string_view s) { return FakeMeasurer::characters(s); }

std::string firstCodePoints(std::string_view s, std::size_t n) {
    std::size_t at = 0;
    for (std::size_t taken = 0; taken < n && at < s.size(); ++taken)
        do ++at;
        while (at < s.size() && (static_cast<unsigned char>(s[at]) & 0xC0) == 0x80);
    return std::string(s.substr(0, at));
}

const std::filesystem::path kNameFile = "/opt/ladoslov/Data/name.txt";

void putNameFile(Harness& h, std::string bytes) { h.files.addFile(h.files.exeDir / "Data/name.txt", std::move(bytes)); }

// `count` lines of other days (31.01, 30.01, …), with `line` as line number `at` (1-based).
std::string fileWithLineAt(int count, int at, const std::string& line) {
    std::string file;
    for (int n = 1; n <= count; ++n)
        file += n == at ? line + "\r\n" : dayMonthText({2026, 1, 31 - (n % 31)}) + " x\r\n";
    return file;
}

// A names text of `n` Cyrillic letters in a cycle, so a shifted or cut copy shows.
std::string cyclingNames(std::size_t n) {
    std::u16string text;
    for (std::size_t i = 0; i < n; ++i) text.push_back(static_cast<char16_t>(u'а' + i % 32));
    return cp1251(text);
}

const std::string kPrayer =
    "Моли Бога о мне, святой угодниче Божий (имя), яко аз\r\n"
    " усердно к тебе прибегаю, скорому помощнику и молитвеннику о душе моей";

}  // namespace

// ---- start-up ---------------------------------------------------------------------------------------

struct StartupCase {
    const char* what;
    Date today;
    std::string file;  // Windows-1251 bytes
    std::string names;  // Label113, UTF-8
    std::string line;   // TodayNamesLine, UTF-8
};

class TodaysLineCases : public ::testing::TestWithParam<StartupCase> {};

TEST_P(TodaysLineCases, ShowsTheNamesOfTodaysLine) {
    const StartupCase& c = GetParam();
    Harness h;
    h.clock.date = c.today;
    putNameFile(h, c.file);
    h.load();
    EXPECT_EQ(h.form.Label113.caption(), c.names);
    EXPECT_EQ(h.form.TodayNamesLine, c.line);
    EXPECT_TRUE(h.messageBox.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, TodaysLineCases,
    ::testing::Values(
        StartupCase{"TodaysLine", {2026, 12, 6}, cp1251(u"05.12 Сава\r\n06.12 Иван, Пётр\r\n07.12 Ада\r\n"),
                    "Иван, Пётр", "06.12 Иван, Пётр"},
        StartupCase{"SecondOfTwoWins", {2026, 12, 6}, cp1251(u"06.12 Иван\r\n01.01 Ада\r\n06.12 Пётр\r\n"), "Пётр",
                    "06.12 Пётр"},
        StartupCase{"LeapDayIn2028", {2028, 2, 29}, cp1251(u"28.02 Ада\r\n29.02 Касьян\r\n01.03 Ева\r\n"), "Касьян",
                    "29.02 Касьян"},
        StartupCase{"Line366IsRead", {2026, 12, 6}, fileWithLineAt(400, 366, cp1251(u"06.12 Иван")), "Иван",
                    "06.12 Иван"},
        StartupCase{"Line380IsNot", {2026, 12, 6}, fileWithLineAt(400, 380, cp1251(u"06.12 Иван")), "", ""},
        // The last line for today wins even when it names no one.
        StartupCase{"FiveCharacters", {2026, 12, 6}, cp1251(u"06.12 Иван\r\n06.12\r\n"), "", "06.12"},
        StartupCase{"SixCharacters", {2026, 12, 6}, cp1251(u"06.12 Иван\r\n06.12 \r\n"), "", "06.12 "},
        StartupCase{"SevenCharacters", {2026, 12, 6}, cp1251(u"06.12 Я\r\n"), "Я", "06.12 Я"},
        StartupCase{"LastLineWithoutLineEnd", {2026, 12, 6}, cp1251(u"01.01 Ада\r\n06.12 Иван"), "Иван",
                    "06.12 Иван"},
        StartupCase{"NoLineForToday", {2026, 12, 6}, cp1251(u"05.12 Сава\r\n07.12 Ада\r\n"), "", ""},
        StartupCase{"EmptyFile", {2026, 12, 6}, "", "", ""}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(TodayNamesAtStartup, LeapDayLineNamesNoOneIn2026) {
    const std::string file = cp1251(u"29.02 Касьян\r\n");
    for (Date d{2026, 1, 1}; d.year == 2026; d = civilFromDays(daysFromCivil(d) + 1)) {
        Harness h;
        h.clock.date = d;
        putNameFile(h, file);
        h.load();
        ASSERT_EQ(h.form.Label113.caption(), "") << dayMonthText(d);
        ASSERT_EQ(h.form.TodayNamesLine, "") << dayMonthText(d);
    }
}

TEST(TodayNamesAtStartup, ShowsAtMost1500CharactersAndKeepsTheWholeLine) {
    Harness h;
    const std::string names = cyclingNames(2000);
    putNameFile(h, "06.12 " + names + "\r\n");
    h.load();
    const std::string whole = "06.12 " + namedays::decodeWindows1251(names);
    EXPECT_EQ(h.form.TodayNamesLine, whole);
    EXPECT_EQ(codePoints(h.form.TodayNamesLine), 2006u);
    EXPECT_EQ(h.form.Label113.caption(), firstCodePoints(whole.substr(6), 1500));
    EXPECT_EQ(codePoints(h.form.Label113.caption()), 1500u);
    // The label keeps its width and grows downwards to hold the text.
    EXPECT_EQ(h.form.Label113.width(), 7680);
    EXPECT_EQ(h.form.Label113.top(), 4490);
    EXPECT_GT(h.form.Label113.height(), 330 * 10);
}

TEST(TodayNamesAtStartup, ReadsTheFileBesideTheExecutableOnly) {
    Harness h;
    h.files.exeDir = "/srv/saver";
    h.files.addFile("/opt/ladoslov/Data/name.txt", cp1251(u"06.12 Не тот\r\n"));
    h.files.addFile("Data/name.txt", cp1251(u"06.12 Не тот\r\n"));
    h.files.addFile("/srv/saver/Data/name.txt", cp1251(u"06.12 Иван\r\n"));
    h.load();
    EXPECT_EQ(h.form.Label113.caption(), "Иван");
}

// Everything start-up leaves on the window, but the names label.
void expectSameStartupApartFromNames(Harness& a, Harness& b) {
    const auto& ca = a.form.inventory().controls();
    const auto& cb = b.form.inventory().controls();
    ASSERT_EQ(ca.size(), cb.size());
    for (std::size_t i = 0; i < ca.size(); ++i) {
        const Control& x = *ca[i];
        const Control& y = *cb[i];
        if (&x == &a.form.Label113) continue;
        SCOPED_TRACE(x.displayName());
        EXPECT_EQ(x.left(), y.left());
        EXPECT_EQ(x.top(), y.top());
        EXPECT_EQ(x.width(), y.width());
        EXPECT_EQ(x.height(), y.height());
        EXPECT_EQ(x.visible(), y.visible());
        if (x.isLabel()) {
            EXPECT_EQ(static_cast<const Label&>(x).caption(), static_cast<const Label&>(y).caption());
            EXPECT_EQ(static_cast<const Label&>(x).foreColour(), static_cast<const Label&>(y).foreColour());
        }
    }
    for (int t = 1; t <= 14; ++t) EXPECT_EQ(a.form.timer(t).enabled(), b.form.timer(t).enabled()) << t;
    EXPECT_EQ(a.form.Label113.left(), b.form.Label113.left());
    EXPECT_EQ(a.form.Label113.top(), b.form.Label113.top());
    EXPECT_EQ(a.form.width(), b.form.width());
    EXPECT_EQ(a.form.backgroundPainted(), b.form.backgroundPainted());
    EXPECT_EQ(a.topMost.calls, b.topMost.calls);
    EXPECT_EQ(a.multimedia.commands, b.multimedia.commands);
    EXPECT_EQ(a.random.seeds, b.random.seeds);
    EXPECT_FALSE(a.form.ended());
    EXPECT_TRUE(a.process.ends.empty());
    EXPECT_TRUE(a.messageBox.shown.empty());
}

TEST(TodayNamesAtStartup, NoFileOrNoDataFolderShowsNothingAndStartupGoesOn) {
    Harness withFile;
    putNameFile(withFile, cp1251(u"06.12 Иван\r\n"));
    withFile.files.addFile("muz/ladoslov.mid", "MThd");
    withFile.load();
    ASSERT_EQ(withFile.form.Label113.caption(), "Иван");

    Harness noFile;  // Data exists, name.txt does not
    noFile.files.directories.insert("/opt/ladoslov/Data");
    noFile.files.addFile("muz/ladoslov.mid", "MThd");
    noFile.load();
    EXPECT_EQ(noFile.form.Label113.caption(), "");
    EXPECT_EQ(noFile.form.TodayNamesLine, "");
    EXPECT_EQ(noFile.form.Label113.font().size, 14.25);
    expectSameStartupApartFromNames(noFile, withFile);

    Harness noFolder;
    noFolder.files.addFile("muz/ladoslov.mid", "MThd");
    noFolder.load();
    EXPECT_EQ(noFolder.form.Label113.caption(), "");
    EXPECT_EQ(noFolder.form.TodayNamesLine, "");
    expectSameStartupApartFromNames(noFolder, withFile);
}

// ---- a name file that opens but cannot be read --------------------------------------------------------

// Hands out `chunk` bytes, then fails the way a read error does.
class FailingBuf final : public std::streambuf {
public:
    FailingBuf(std::string chunk, bool throws) : chunk_(std::move(chunk)), throws_(throws) {
        setg(chunk_.data(), chunk_.data(), chunk_.data() + chunk_.size());
    }

protected:
    int_type underflow() override {
        if (throws_) throw std::ios_base::failure("read error");
        return traits_type::eof();
    }

private:
    std::string chunk_;
    bool throws_;
};

class FailingStream final : public std::istream {
public:
    FailingStream(std::string chunk, bool throws) : std::istream(nullptr), buf_(std::move(chunk), throws) {
        rdbuf(&buf_);
    }

private:
    FailingBuf buf_;
};

// The fake file system, but the name file opens as the stream `open` makes.
class OddNameFile final : public FileSystem {
public:
    OddNameFile(FakeFileSystem& rest, std::function<std::unique_ptr<std::istream>()> open)
        : rest_(rest), open_(std::move(open)) {}
    std::filesystem::path executableDir() const override { return rest_.executableDir(); }
    bool isDirectory(const std::filesystem::path& p) const override { return rest_.isDirectory(p); }
    std::unique_ptr<std::istream> openForReading(const std::filesystem::path& p) const override {
        if (p.generic_string() == kNameFile.generic_string()) return open_();
        return rest_.openForReading(p);
    }
    std::string findFirstFile(const std::filesystem::path& dir, std::string_view pattern) const override {
        return rest_.findFirstFile(dir, pattern);
    }

private:
    FakeFileSystem& rest_;
    std::function<std::unique_ptr<std::istream>()> open_;
};

// A window on the harness's fakes but with the odd name file.
struct OddHarness {
    Harness h;
    OddNameFile files;
    Services services;
    Form1 form;
    explicit OddHarness(std::function<std::unique_ptr<std::istream>()> open)
        : files(h.files, std::move(open)),
          services{h.clock,       h.regional, h.random, h.screen,     h.measurer, h.instance, h.topMost,
                   h.multimedia, files,      h.pictures, h.messageBox, h.process, ""},
          form(services) {}
};

TEST(TodayNamesAtStartup, UnreadableFileShowsNothingAndStartupGoesOn) {
    const std::string todays = cp1251(u"06.12 Иван, Пётр\r\n");
    const auto dir = std::filesystem::temp_directory_path() / ("ladoslov_names_dir_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    struct Case {
        const char* what;
        std::function<std::unique_ptr<std::istream>()> open;
    };
    const std::vector<Case> cases = {
        {"a directory opened as a file", [&] { return std::make_unique<std::ifstream>(dir, std::ios::binary); }},
        {"a file that failed to open", [&] { return std::make_unique<std::ifstream>(dir / "none", std::ios::binary); }},
        {"no stream buffer", [] { return std::make_unique<std::istream>(nullptr); }},
        {"read error at once", [] { return std::make_unique<FailingStream>("", true); }},
        {"read error inside today's line", [&] { return std::make_unique<FailingStream>(todays.substr(0, 9), true); }},
        {"end inside the date", [] { return std::make_unique<FailingStream>("06.1", false); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExpectSkippedFailures readErrors;
        OddHarness o(c.open);
        o.form.Form_Load();
        EXPECT_EQ(o.form.Label113.caption(), "");
        EXPECT_EQ(o.form.TodayNamesLine, "");
        EXPECT_FALSE(o.form.ended());
        EXPECT_TRUE(o.h.messageBox.shown.empty());
        EXPECT_TRUE(o.h.process.ends.empty());
        EXPECT_TRUE(o.form.timer(14).enabled());
        EXPECT_EQ(o.form.Label113.top(), 4490);
        // The window still answers F10.
        o.form.Form_KeyDown(kKeyF10, 0);
        EXPECT_EQ(o.form.Label113.caption(), kPrayer);
        o.form.Form_KeyUp(kKeyF10, 0);
        EXPECT_EQ(o.form.Label113.caption(), "");
    }
    // The same odd window with a good stream does show the names.
    OddHarness good([&] { return std::make_unique<std::istringstream>(todays); });
    good.form.Form_Load();
    EXPECT_EQ(good.form.Label113.caption(), "Иван, Пётр");
    std::filesystem::remove_all(dir);
}

// ---- the prayer -------------------------------------------------------------------------------------

TEST(Prayer, IsTheFixedTwoLineText) {
    const std::string& p = prayerText();
    EXPECT_EQ(p, kPrayer);
    EXPECT_EQ(codePoints(p), 124u);
    const auto breakAt = p.find("\r\n");
    ASSERT_NE(breakAt, std::string::npos);
    EXPECT_EQ(p.find_first_of("\r\n", breakAt + 2), std::string::npos);  // one line break only
    const std::string first = p.substr(0, breakAt), second = p.substr(breakAt + 2);
    EXPECT_EQ(codePoints(first), 52u);
    EXPECT_EQ(codePoints(second), 70u);
    EXPECT_TRUE(first.ends_with("яко аз"));
    EXPECT_TRUE(second.starts_with(" усердно"));
    EXPECT_TRUE(second.ends_with("о душе моей"));  // no full stop
    EXPECT_NE(first.find("(имя)"), std::string::npos);
}

class PrayerOnF10 : public ::testing::Test {
protected:
    void start(const std::string& fileBytes) {
        putNameFile(h, fileBytes);
        h.load();
        h.fillAll();
    }
    Label& names() { return h.form.Label113; }
    void down(int shift = 0) { h.form.Form_KeyDown(kKeyF10, shift); }
    void up(int shift = 0) { h.form.Form_KeyUp(kKeyF10, shift); }
    Harness h;
};

TEST_F(PrayerOnF10, HoldShowsThePrayerReleaseBringsTheNamesBack) {
    start(cp1251(u"06.12 Александр, Митрофан\r\n"));
    EXPECT_EQ(names().caption(), "Александр, Митрофан");
    EXPECT_EQ(names().font().size, 14.25);
    const Twips oneLine = names().height();

    down();
    EXPECT_EQ(names().caption(), kPrayer);
    EXPECT_EQ(names().font().size, 14.0);
    EXPECT_EQ(names().font().name, "Times New Roman");
    EXPECT_TRUE(names().font().bold);
    // Two lines at least: the label keeps its place and width and grows downwards.
    EXPECT_EQ(names().width(), 7680);
    EXPECT_EQ(names().left(), 2880);
    EXPECT_EQ(names().top(), 4490);
    const Twips line14 = h.measurer.measure("Моли", names().font(), names().width()).height;
    EXPECT_GE(names().height(), 2 * line14);

    // The key repeats while held; only the last release counts.
    for (int i = 0; i < 5; ++i) down();
    EXPECT_EQ(names().caption(), kPrayer);
    EXPECT_EQ(names().font().size, 14.0);

    up();
    EXPECT_EQ(names().caption(), "Александр, Митрофан");
    EXPECT_EQ(names().font().size, 16.0);
    EXPECT_EQ(names().width(), 7680);
    EXPECT_EQ(names().top(), 4490);
    EXPECT_LT(names().height(), 2 * oneLine);

    // Again: 14 while held, 16 after; the design's 14.25 never comes back.
    down();
    EXPECT_EQ(names().font().size, 14.0);
    up();
    EXPECT_EQ(names().font().size, 16.0);
    EXPECT_EQ(names().caption(), "Александр, Митрофан");
    EXPECT_FALSE(h.form.ended());
    EXPECT_TRUE(h.process.ends.empty());
}

TEST_F(PrayerOnF10, AnyShiftStateOnlyF10) {
    start(cp1251(u"06.12 Иван\r\n"));
    for (int key : {120, 122, 27, 13}) {
        h.form.Form_KeyDown(key, 0);
        EXPECT_EQ(names().caption(), "Иван") << key;
    }
    for (int shift : {1, 2, 4, 7}) {
        down(shift);
        EXPECT_EQ(names().caption(), kPrayer) << shift;
        h.form.Form_KeyUp(122, shift);  // F11 up leaves the prayer
        EXPECT_EQ(names().caption(), kPrayer) << shift;
        up(shift);
        EXPECT_EQ(names().caption(), "Иван") << shift;
    }
}

TEST_F(PrayerOnF10, ReleaseChangesNothingUnlessThePrayerShows) {
    start(cp1251(u"06.12 Иван\r\n"));
    // A release whose press came before the start.
    up();
    EXPECT_EQ(names().caption(), "Иван");
    EXPECT_EQ(names().font().size, 14.25);

    // The prayer replaced by something else before the release.
    down();
    for (const std::string& other : {std::string("Иван"), kPrayer.substr(0, kPrayer.size() - 1), kPrayer + " ",
                                    std::string("")}) {
        names().setCaption(other);
        names().setFontSize(14);
        up();
        EXPECT_EQ(names().caption(), other);
        EXPECT_EQ(names().font().size, 14.0);
    }

    // A second release after the names came back.
    down();
    up();
    names().setFontSize(15);
    up();
    EXPECT_EQ(names().caption(), "Иван");
    EXPECT_EQ(names().font().size, 15.0);
}

TEST_F(PrayerOnF10, NoLineForTodayEmptyPrayerEmpty) {
    start(cp1251(u"05.12 Сава\r\n"));
    EXPECT_EQ(names().caption(), "");
    down();
    EXPECT_EQ(names().caption(), kPrayer);
    up();
    EXPECT_EQ(names().caption(), "");
    EXPECT_EQ(names().font().size, 16.0);
}

TEST_F(PrayerOnF10, TodaysLineWithoutNamesRestoresEmpty) {
    start(cp1251(u"06.12 Иван\r\n06.12\r\n"));
    down();
    up();
    EXPECT_EQ(names().caption(), "");
    EXPECT_EQ(h.form.TodayNamesLine, "06.12");
}

TEST_F(PrayerOnF10, ReleaseRestoresTheTextStartupShowed) {
    start("06.12 " + cyclingNames(2000) + "\r\n");
    const std::string shown = names().caption();
    ASSERT_EQ(codePoints(shown), 1500u);
    const Twips shownHeight = names().height();
    down();
    up();
    EXPECT_EQ(names().caption(), shown);
    EXPECT_EQ(codePoints(h.form.TodayNamesLine), 2006u);
    // 16 points take more room than 14.25.
    EXPECT_GT(names().height(), shownHeight);
    EXPECT_EQ(names().width(), 7680);
}
