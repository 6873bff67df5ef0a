#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <stdexcept>

#include "fakes/fake_services.h"
#include "namedays/prayer.h"
#include "services/skip_on_failure.h"

using namespace ladoslov;
using namespace ladoslov::testing;

namespace {

using Commands = std::vector<std::string>;

// Sets a variable of the environment, or removes it (nullptr).
void setEnvironment(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value ? value : "");
#else
    if (value) ::setenv(name, value, 1);
    else ::unsetenv(name);
#endif
}
const std::string kStop = "stop \"muz/ladoslov.wav\"";

// KeyPress ends whatever the character: which keys give one is the view's to tell (tests/qt).
TEST(Exit, AClickOrAKeyPressStopsTwiceAndEndsWithZeroOnce) {
    const std::pair<const char*, std::function<void(Form1&)>> endings[] = {
        {"Click", [](Form1& f) { f.Form_Click(); }},
        {"KeyPress", [](Form1& f) { f.Form_KeyPress(U'ж'); }},
    };
    for (const auto& [what, act] : endings) {
        SCOPED_TRACE(what);
        Harness h;
        h.files.addFile("muz/ladoslov.wav", "tune");
        h.load();
        h.multimedia.commands.clear();
        act(h.form);
        EXPECT_TRUE(h.form.ended());
        EXPECT_EQ(h.form.exitCode(), 0);
        EXPECT_EQ(h.process.ends, std::vector<int>{0});
        EXPECT_EQ(h.multimedia.commands, (Commands{kStop, kStop}));
        for (int t = 1; t <= 14; ++t) EXPECT_FALSE(h.form.timer(t).enabled()) << "Timer" << t;
    }
}

TEST(Exit, UnloadFromElsewhereStopsOnceAndEnds) {
    Harness h;
    h.files.addFile("muz/ladoslov.wav", "tune");
    h.load();
    h.multimedia.commands.clear();
    h.form.Form_Unload();
    EXPECT_EQ(h.multimedia.commands, Commands{kStop});
    EXPECT_EQ(h.process.ends, std::vector<int>{0});
    // Whatever comes after the end changes nothing.
    h.form.Form_Unload();
    h.form.click(h.form.Image1);
    h.form.timerTick(13);
    EXPECT_EQ(h.multimedia.commands, Commands{kStop});
    EXPECT_EQ(h.process.ends, std::vector<int>{0});
    EXPECT_EQ(h.form.Label12.caption(), "");
}

TEST(Exit, AClickDuringTheFillEnds) {
    Harness h;
    h.load();
    for (int i = 0; i < 5; ++i)
        for (int m = 1; m <= 12; ++m) h.form.timerTick(m);
    ASSERT_TRUE(h.form.timer(1).enabled());
    Label& nextCell = h.cells(1)[10];
    const std::string before = nextCell.caption();
    h.form.Form_Click();
    EXPECT_EQ(h.process.ends, std::vector<int>{0});
    for (int i = 0; i < 40; ++i) h.form.timerTick(1);
    EXPECT_EQ(nextCell.caption(), before);
    EXPECT_EQ(h.form.fillCounters[0].cellIndex, 5);
}

// A platform failure inside the stop command must not keep the program alive.
class ThrowingMultimedia final : public MultimediaCommands {
public:
    int calls = 0;
    bool execute(std::string_view) override {
        ++calls;
        throw std::runtime_error("no audio device");
    }
};

TEST(Exit, AFailingStopStillEnds) {
    Harness h;
    ThrowingMultimedia broken;
    Services& services = h.services;
    Services withBrokenSound{services.clock,   services.regional,   services.random,     services.screen,
                             services.measurer, services.instance,  services.topMost,    broken,
                             services.files,   services.pictures,  services.messageBox, services.process,
                             services.commandLine};
    Form1 form(withBrokenSound);
    form.TunePath = "muz/ladoslov.mid";
    ExpectSkippedFailures failing;
    form.Form_KeyPress(U'q');
    EXPECT_EQ(broken.calls, 2);
    EXPECT_EQ(failing.count(), 2);
    EXPECT_TRUE(form.ended());
    EXPECT_EQ(h.process.ends, std::vector<int>{0});
}

// Asked for, the failure is written to the error output with the step it stopped.
TEST(Exit, AFailingStopIsTracedOnlyWhenAsked) {
    Harness h;
    ThrowingMultimedia broken;
    Services& s = h.services;
    Services withBrokenSound{s.clock, s.regional, s.random,   s.screen,     s.measurer, s.instance,   s.topMost,
                             broken,  s.files,    s.pictures, s.messageBox, s.process,  s.commandLine};
    const SkippedFailureListener tests = setSkippedFailureListener(nullptr);
    std::string traced[2];
    for (const bool asked : {false, true}) {
        setEnvironment("LADOSLOV_TRACE_FAILURES", asked ? "1" : nullptr);
        traceSkippedFailuresIfAsked();
        Form1 form(withBrokenSound);
        form.TunePath = "muz/ladoslov.mid";
        ::testing::internal::CaptureStderr();
        form.Form_Click();
        traced[asked] = ::testing::internal::GetCapturedStderr();
    }
    setEnvironment("LADOSLOV_TRACE_FAILURES", nullptr);
    setSkippedFailureListener(tests);
    EXPECT_EQ(traced[0], "");
    EXPECT_NE(traced[1].find("Form_Click"), std::string::npos) << traced[1];
    EXPECT_NE(traced[1].find("Form_Unload"), std::string::npos) << traced[1];
    EXPECT_NE(traced[1].find("exit.cpp:"), std::string::npos) << traced[1];
    EXPECT_NE(traced[1].find(": no audio device\n"), std::string::npos) << traced[1];
}

TEST(Exit, KeysWithoutACharacterOnlyShowThePrayerOnF10) {
    Harness h;
    h.files.addFile("muz/ladoslov.wav", "tune");
    h.files.addFile("/opt/ladoslov/Data/name.txt", "06.12 Nikolai, Ivan\r\n");
    h.load();
    h.multimedia.commands.clear();
    const std::string names = h.form.Label113.caption();
    ASSERT_EQ(names, "Nikolai, Ivan");
    // Escape going down is a key code, not yet a character: KeyPress ends, KeyDown does not.
    for (int key : {27, 13, 32, 37, 38, 112, 116, 120, 122, 16, 17, 18, 46, 45, 36}) {
        h.form.Form_KeyDown(key, 0);
        h.form.Form_KeyUp(key, 0);
        EXPECT_EQ(h.form.Label113.caption(), names) << key;
    }
    h.form.Form_KeyDown(kKeyF10, 0);
    EXPECT_EQ(h.form.Label113.caption(), prayerText());
    h.form.Form_KeyDown(kKeyF10, 0);  // held: the key repeats
    EXPECT_EQ(h.form.Label113.caption(), prayerText());
    h.form.Form_KeyUp(kKeyF10, 0);
    EXPECT_EQ(h.form.Label113.caption(), names);
    EXPECT_FALSE(h.form.ended());
    EXPECT_TRUE(h.process.ends.empty());
    EXPECT_TRUE(h.multimedia.commands.empty());
}

TEST(Exit, ClicksOnControlsDoNotEnd) {
    Harness h;
    h.load();
    h.fillAll();
    Form1& f = h.form;
    for (Control* c : f.inventory().controls()) f.click(*c);
    for (Control* c : f.inventory().controls()) f.dblClick(*c);
    EXPECT_FALSE(f.ended());
    EXPECT_TRUE(h.process.ends.empty());
}

}  // namespace
