#include <gtest/gtest.h>

#include "fakes/fake_services.h"
#include "shell/command_line.h"

using namespace ladoslov;
using namespace ladoslov::testing;

TEST(CommandLine, SwitchesOfTheHost) {
    struct Case {
        const char* commandLine;
        HostSwitch expected;
        std::uint64_t window;
    } cases[] = {
        {"", HostSwitch::Run, 0},           {"   ", HostSwitch::Run, 0},          {"/s", HostSwitch::Run, 0},
        {"/S", HostSwitch::Run, 0},         {"  /s  ", HostSwitch::Run, 0},       {"/c", HostSwitch::Configure, 0},
        {"  /C  ", HostSwitch::Configure, 0}, {"/c:1234", HostSwitch::Configure, 1234}, {"/C 99", HostSwitch::Configure, 99},
        {"/c:x", HostSwitch::Configure, 0}, {"/cx", HostSwitch::Run, 0},          {"/p 1234", HostSwitch::Preview, 1234},
        {"/P1234", HostSwitch::Preview, 1234}, {"/p", HostSwitch::Preview, 0},   {"/p 12ab", HostSwitch::Preview, 0},
        {"/a", HostSwitch::Run, 0},         {"/sp", HostSwitch::Run, 0},
    };
    for (const Case& c : cases) {
        const HostRequest r = hostRequestOf(c.commandLine);
        EXPECT_EQ(r.kind, c.expected) << '"' << c.commandLine << '"';
        EXPECT_EQ(r.window, c.window) << '"' << c.commandLine << '"';
    }
}

TEST(CommandLine, ConfigureShowsTheMessageUnderTheProgramTitleThenEnds) {
    Harness h;
    h.services.commandLine = " /c:5678 ";
    h.form.CheckCommandLine();
    ASSERT_EQ(h.messageBox.shown.size(), 1u);
    EXPECT_EQ(h.messageBox.owners, std::vector<std::uint64_t>{5678});
    EXPECT_EQ(h.messageBox.shown[0].first, "Ладослов");
    EXPECT_EQ(h.messageBox.shown[0].second, "Конфигурации не требуется!");
    EXPECT_EQ(h.process.ends, std::vector<int>{0});
    EXPECT_TRUE(h.form.ended());
}

TEST(CommandLine, PreviewEndsSilentlyAndRunGoesOn) {
    Harness h;
    h.services.commandLine = "/p 1234";
    h.form.CheckCommandLine();
    EXPECT_TRUE(h.messageBox.shown.empty());
    EXPECT_EQ(h.process.ends, std::vector<int>{0});

    Harness run;
    run.services.commandLine = "/s";
    run.form.CheckCommandLine();
    EXPECT_FALSE(run.form.ended());
    EXPECT_TRUE(run.process.ends.empty());
}
