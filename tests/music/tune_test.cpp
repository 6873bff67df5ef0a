#include <gtest/gtest.h>

#include <cctype>

#include "fakes/fake_services.h"
#include "music/tune.h"

using namespace ladoslov;
using namespace ladoslov::testing;

namespace {

using Commands = std::vector<std::string>;

struct SelectionCase {
    const char* what;
    std::vector<std::string> files;       // added in this order: the directory listing's order
    std::vector<std::string> emptyDirs;   // folders that exist without a tune
    std::string tunePath;
    Commands atStart;
};

class TuneSelection : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(TuneSelection, FirstNameOfTheListingDecides) {
    const SelectionCase& c = GetParam();
    Harness h;
    for (const std::string& f : c.files) h.files.addFile(f, "tune");
    for (const std::string& d : c.emptyDirs) h.files.directories.insert(d);
    h.load();
    EXPECT_EQ(std::filesystem::path(h.form.TunePath).generic_string(), c.tunePath);
    EXPECT_EQ(h.multimedia.commands, c.atStart);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TuneSelection,
    ::testing::Values(
        SelectionCase{"only the WAV", {"muz/ladoslov.wav"}, {}, "muz/ladoslov.wav", {"play \"muz/ladoslov.wav\""}},
        SelectionCase{"only the MIDI", {"muz/ladoslov.mid"}, {}, "muz/ladoslov.mid", {"play \"muz/ladoslov.mid\""}},
        SelectionCase{"only the MP3", {"muz/ladoslov.mp3"}, {}, "muz/ladoslov.mp3", {"play \"muz/ladoslov.mp3\""}},
        SelectionCase{"MIDI in capitals", {"muz/LADOSLOV.MID"}, {}, "", {}},
        SelectionCase{"extension in capitals", {"muz/ladoslov.Wav"}, {}, "", {}},
        SelectionCase{"no folder", {}, {}, "", {}},
        SelectionCase{"empty folder", {}, {"muz"}, "", {}},
        SelectionCase{"another extension first", {"muz/ladoslov.txt", "muz/ladoslov.mid"}, {}, "", {}},
        SelectionCase{"longer name first", {"muz/ladoslov.mid.bak", "muz/ladoslov.mid"}, {}, "", {}},
        SelectionCase{"listing order, MP3 first", {"muz/ladoslov.mp3", "muz/ladoslov.mid"}, {}, "muz/ladoslov.mp3",
                      {"play \"muz/ladoslov.mp3\""}},
        SelectionCase{"other names are not looked at", {"muz/march.mid", "muz/ladoslov.wav"}, {}, "muz/ladoslov.wav",
                      {"play \"muz/ladoslov.wav\""}},
        SelectionCase{"beside the executable", {"/opt/ladoslov/muz/ladoslov.mid"}, {}, "/opt/ladoslov/muz/ladoslov.mid",
                      {"play \"/opt/ladoslov/muz/ladoslov.mid\""}},
        SelectionCase{"working directory first", {"/opt/ladoslov/muz/ladoslov.mid", "muz/ladoslov.wav"}, {},
                      "muz/ladoslov.wav", {"play \"muz/ladoslov.wav\""}},
        // A folder in the working directory is the one searched, tune or not.
        SelectionCase{"empty working folder hides the one beside", {"/opt/ladoslov/muz/ladoslov.mid"}, {"muz"}, "", {}}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST(TuneFileOf, ComparesWithLetterCase) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"ladoslov.mid", "ladoslov.mid"}, {"ladoslov.mp3", "ladoslov.mp3"}, {"ladoslov.wav", "ladoslov.wav"},
        {"LADOSLOV.MID", ""},             {"ladoslov.MP3", ""},             {"Ladoslov.wav", ""},
        {"ladoslov.midi", ""},            {"ladoslov.mi", ""},              {" ladoslov.mid", ""},
        {"", ""},
    };
    for (const auto& [name, want] : cases) EXPECT_EQ(tuneFileOf(name), want) << '"' << name << '"';
}

TEST(TuneCommand, QuotesTheTrimmedPath) {
    const struct {
        std::string_view verb, path, want;
    } cases[] = {
        {"play", "muz/ladoslov.mid", "play \"muz/ladoslov.mid\""},
        {"play", "  muz/ladoslov.mid  ", "play \"muz/ladoslov.mid\""},
        {"stop", " muz/ladoslov.wav", "stop \"muz/ladoslov.wav\""},
        {"stop", "/home/user/my tunes/muz/ladoslov.mp3 ", "stop \"/home/user/my tunes/muz/ladoslov.mp3\""},
        // Only spaces are trimmed.
        {"play", "\tmuz/ladoslov.mid", "play \"\tmuz/ladoslov.mid\""},
        {"play", "   ", "play \"\""},
    };
    for (const auto& c : cases) EXPECT_EQ(tuneCommand(c.verb, c.path), c.want) << '"' << c.path << '"';
}

TEST(Tune, Image1PlaysAgainAndAKeyStopsTwice) {
    Harness h;
    h.files.addFile("muz/ladoslov.mid", "tune");
    h.load();
    const std::string play = "play \"muz/ladoslov.mid\"", stop = "stop \"muz/ladoslov.mid\"";
    ASSERT_EQ(h.multimedia.commands, Commands{play});
    h.form.click(h.form.Image1);
    h.form.click(h.form.Image1);
    EXPECT_EQ(h.multimedia.commands, (Commands{play, play, play}));
    h.form.Form_KeyPress(U'a');
    EXPECT_EQ(h.multimedia.commands, (Commands{play, play, play, stop, stop}));
    EXPECT_EQ(h.process.ends, std::vector<int>{0});
}

TEST(Tune, AFailingPlayKeepsThePathSoTheStopIsStillSent) {
    Harness h;
    h.multimedia.result = false;
    h.files.addFile("muz/ladoslov.wav", "not a tune");
    h.load();
    EXPECT_EQ(std::filesystem::path(h.form.TunePath).generic_string(), "muz/ladoslov.wav");
    h.form.Form_Click();
    EXPECT_EQ(h.multimedia.commands,
              (Commands{"play \"muz/ladoslov.wav\"", "stop \"muz/ladoslov.wav\"", "stop \"muz/ladoslov.wav\""}));
}

TEST(Tune, WithoutATuneNothingIsEverSent) {
    Harness h;
    h.files.addFile("muz/readme.txt", "");
    h.load();
    h.form.click(h.form.Image1);
    h.form.dblClick(h.form.Image1);
    h.form.Form_KeyPress(U' ');
    EXPECT_TRUE(h.multimedia.commands.empty());
    EXPECT_FALSE(h.form.Image1.visible());
    EXPECT_EQ(h.process.ends, std::vector<int>{0});
}

}  // namespace
