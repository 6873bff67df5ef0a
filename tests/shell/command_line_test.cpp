#include <gtest/gtest.h>

#include "fakes/fake_services.h"
#include "shell/command_line.h"

using namespace ladoslov;
using namespace ladoslov::testing;

TEST(CommandLine, SwitchesOfTheHost) {
    struct Case {
        const char* commandLine;
        HostSwitch expected;
    } cases[] = {
        {"", HostSwitch::Run},           {"   ", HostSwitch::Run},        {"/s", HostSwitch::Run},
        {"/S", HostSwitch::Run},         {"  /s  ", HostSwitch::Run},     {"/c", HostSwitch::Configure},
        {"  /C  ", HostSwitch::Configure}, {"/c:1234", HostSwitch::Run},  {"/c 1", HostSwitch::Run},
        {"/p 1234", HostSwitch::Preview}, {"/P1234", HostSwitch::Preview}, {"/p", HostSwitch::Preview},
        {"/a", HostSwitch::Run},         {"/sp", HostSwitch::Run},
    };
    for (const Case& c : cases) EXPECT_EQ(classifyCommandLine(c.commandLine), c.expected) << '"' << c.commandLine << '"';
}

TEST(CommandLine, ConfigureShowsTheMessageUnderTheProgramTitleThenEnds) {
    Harness h;
    h.services.commandLine = " /c ";
    h.form.CheckCommandLine();
    ASSERT_EQ(h.messageBox.shown.size(), 1u);
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
