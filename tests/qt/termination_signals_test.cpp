#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <csignal>

#include "fakes/fake_services.h"
#include "qt/termination_signals.h"

using namespace ladoslov;
using namespace ladoslov::testing;

// What a screensaver host sends to end the program runs the window's Unload on the event loop: the tune
// is stopped and the program ends with 0, as when the window is closed.
TEST(TerminationSignals, SigtermAndSigintRunTheUnload) {
    for (int signal : {SIGTERM, SIGINT}) {
        Harness h;
        h.files.addFile("muz/ladoslov.mid", "tune");
        h.load();
        h.multimedia.commands.clear();
        TerminationSignals termination([&h] { h.form.Form_Unload(); });
        ASSERT_EQ(std::raise(signal), 0);
        EXPECT_TRUE(h.process.ends.empty()) << "the handler itself runs nothing";
        const QDeadlineTimer deadline(5000);
        while (h.process.ends.empty() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        EXPECT_EQ(h.process.ends, std::vector<int>{0}) << "signal " << signal;
        EXPECT_EQ(h.multimedia.commands, std::vector<std::string>{"stop \"muz/ladoslov.mid\""});
        EXPECT_TRUE(h.form.ended());
    }
}
