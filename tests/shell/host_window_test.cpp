#include <gtest/gtest.h>

#include "fakes/fake_services.h"
#include "shell/host_window.h"

using namespace ladoslov;
using namespace ladoslov::testing;

namespace {

using Kind = HostWindow::Kind;
using Args = std::vector<std::string>;

struct HostCase {
    const char* what;
    Args args;
    const char* env;
    Kind kind;
    std::uint64_t id;
    Args rest;
};

class HostWindowOf : public ::testing::TestWithParam<HostCase> {};

TEST_P(HostWindowOf, NamesTheWindowAndLeavesTheHostSwitch) {
    const HostCase& c = GetParam();
    const HostWindow h = hostWindowOf(c.args, c.env);
    EXPECT_EQ(h.kind, c.kind);
    EXPECT_EQ(h.id, c.id);
    EXPECT_EQ(h.rest, c.rest);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostWindowOf,
    ::testing::Values(HostCase{"Nothing", {}, nullptr, Kind::None, 0, {}},
                      HostCase{"Run", {"/s"}, nullptr, Kind::None, 0, {"/s"}},
                      HostCase{"Root", {"--root"}, nullptr, Kind::Root, 0, {}},
                      // The host runs a program configured with --root inside its own window.
                      HostCase{"RootInTheHostsWindow", {"-root"}, "0x1a00007", Kind::Window, 0x1a00007, {}},
                      HostCase{"RootWithAGarbledHostWindow", {"-root"}, "not a window", Kind::Root, 0, {}},
                      HostCase{"HostWindowAlone", {}, "4194311", Kind::Window, 4194311, {}},
                      HostCase{"EmptyHostWindow", {}, "", Kind::None, 0, {}},
                      HostCase{"ExplicitIdWins", {"-window-id", "0x2C", "/p"}, "99", Kind::Window, 0x2c, {"/p"}},
                      HostCase{"IdAfterASwitch", {"/s", "--window-id", "77"}, nullptr, Kind::Window, 77, {"/s"}},
                      HostCase{"IdWithEqualsSign", {"--window-id=0X1f", "--root"}, nullptr, Kind::Window, 31, {}},
                      // Asked for a window that is no number, or none: no window, rather than the screen.
                      HostCase{"IdNoNumber", {"-window-id", "12abc"}, "5", Kind::Window, 0, {}},
                      HostCase{"IdMissing", {"--window-id"}, nullptr, Kind::Window, 0, {}}),
    [](const ::testing::TestParamInfo<HostCase>& info) { return std::string(info.param.what); });

// Two copies in the host's windows, one per monitor: both draw, only the lock holder plays and stops.
// Windows joins paths with its own separator.
std::string generic(const std::string& p) { return std::filesystem::path(p).generic_string(); }

TEST(SharedInstance, EveryCopyRunsAndOnlyTheLockHolderSoundsTheTune) {
    for (bool otherCopyFirst : {false, true}) {
        Harness h;
        h.instance.another = otherCopyFirst;
        SharedInstance shared(h.instance);
        LockHolderMultimedia tune(h.multimedia, shared);
        Services services{h.clock, h.regional, h.random, h.screen, h.measurer, shared, h.topMost,
                          tune,    h.files,    h.pictures, h.messageBox, h.process, ""};
        h.files.addFile("muz/ladoslov.mid", "tune");
        Form1 form(services);
        form.Form_Load();
        EXPECT_FALSE(form.ended());
        EXPECT_EQ(generic(form.TunePath), "muz/ladoslov.mid");
        EXPECT_EQ(shared.holdsLock(), !otherCopyFirst);
        form.Form_Unload();
        EXPECT_EQ(h.process.ends, std::vector<int>{0});
        const std::vector<std::string> sounded =
            otherCopyFirst ? std::vector<std::string>{}
                           : std::vector<std::string>{"play \"muz/ladoslov.mid\"", "stop \"muz/ladoslov.mid\""};
        EXPECT_EQ(h.multimedia.commands, sounded) << "other copy first: " << otherCopyFirst;
    }
}

// An installed program keeps its data in share/ladoslov; a folder beside the executable, and the working
// directory for the picture and the tune, come first.
TEST(ProgramFolders, TheInstalledDataServesWhereNothingStandsBesideTheExecutable) {
    const std::string names = "06.12 Installed\r\n";  // ASCII reads the same in Windows-1251
    for (bool besideToo : {false, true}) {
        Harness h;
        h.files.installedDir = "/usr/share/ladoslov";
        h.files.addFile("/usr/share/ladoslov/Data/name.txt", names);
        h.files.addFile("/usr/share/ladoslov/muz/ladoslov.mp3", "tune");
        h.pictures.loadable.insert("/usr/share/ladoslov/Data/ladoslov.jpg");
        if (besideToo) {
            h.files.addFile("/opt/ladoslov/Data/name.txt", "06.12 Beside\r\n");
            h.files.addFile("/opt/ladoslov/muz/ladoslov.wav", "tune");
            h.pictures.loadable.insert("/opt/ladoslov/Data/ladoslov.jpg");
        }
        h.load();
        EXPECT_EQ(h.form.Label113.caption(), besideToo ? "Beside" : "Installed");
        EXPECT_EQ(generic(h.form.TunePath), besideToo ? "/opt/ladoslov/muz/ladoslov.wav" : "/usr/share/ladoslov/muz/ladoslov.mp3");
        EXPECT_EQ(generic(h.form.PctFon.picture()),
                  besideToo ? "/opt/ladoslov/Data/ladoslov.jpg" : "/usr/share/ladoslov/Data/ladoslov.jpg");
    }
    Harness cwd;
    cwd.files.installedDir = "/usr/share/ladoslov";
    cwd.files.addFile("muz/ladoslov.mid", "tune");
    cwd.files.addFile("/usr/share/ladoslov/muz/ladoslov.mp3", "tune");
    cwd.load();
    EXPECT_EQ(generic(cwd.form.TunePath), "muz/ladoslov.mid");
}

}  // namespace
