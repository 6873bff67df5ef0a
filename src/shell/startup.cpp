// Start-up of the window: the command-line switch, one instance, the full-screen top-most window over
// the background picture, the layout centred on the screen, and the start-up work of the subsystems.

#include <filesystem>

#include "screen/form.h"
#include "services/skip_on_failure.h"
#include "shell/command_line.h"

namespace ladoslov {

void Form1::CheckCommandLine() {
    const HostRequest request = hostRequestOf(services_.commandLine);
    switch (request.kind) {
        case HostSwitch::Run:
            return;
        case HostSwitch::Configure:
            services_.messageBox.show(kProgramTitle, "Конфигурации не требуется!", request.window);
            endProgram(0);
            return;
        case HostSwitch::Preview:
            // The preview runs in the host's window; without one there is nothing to draw into.
            if (!services_.insideHost) endProgram(0);
            return;
    }
}

void Form1::Form_Load() {
    if (services_.instance.anotherInstanceRunning()) {
        endProgram(0);
        return;
    }
    const ScreenInfo& screen = services_.screen;
    skipOnFailure([&] { setWindowState(WindowState::Normal); });
    skipOnFailure([&] {
        // A screensaver host starts the program in another folder, so the picture in the program's own
        // folders serves when the working directory has none.
        for (const std::filesystem::path& p : searchPaths(services_.files, std::filesystem::path("Data") / "ladoslov.jpg")) {
            if (services_.pictures.isLoadableJpeg(p)) {
                PctFon.loadPicture(p.string());
                return;
            }
        }
    });
    skipOnFailure([&] { placePictures(); });
    skipOnFailure([&] {
        setWindowSize(screen.width(), screen.height());
        moveWindow(0, 0);
    });
    skipOnFailure([&] { services_.topMost.makeTopMost(); });
    skipOnFailure([&] { paintBackground(); });
    skipOnFailure([&] { recentreLayout(); });
    skipOnFailure([&] {
        moveWindow(0, 0);
        setWindowSize(screen.width(), screen.height());
    });
    skipOnFailure([&] { services_.random.seed(services_.clock.timerSeed()); });
    skipOnFailure([&] { fillCounters.fill(FillCounters{}); });
    skipOnFailure([&] { NameMovableFeast(); });
    skipOnFailure([&] { StartTune(); });
    skipOnFailure([&] { ShowTodayNames(); });
    loaded_ = true;
}

void Form1::Form_Resize() {
    if (ended_ || !loaded_) return;
    const ScreenInfo& screen = services_.screen;
    // A picture the user dropped keeps its place in the centred layout; the others stand against the
    // screen's edges again.
    const float oldDx = (width_ - kDesignScreenWidth) / 2.0f, oldDy = (height_ - kDesignScreenHeight) / 2.0f;
    const float dropX = Image2.left() - oldDx, dropY = Image2.top() - oldDy;
    // The view may now draw at another scale: auto-size labels are measured anew.
    skipOnFailure([&] { inventory_.setMeasurer(&services_.measurer); });
    skipOnFailure([&] { placePictures(); });
    skipOnFailure([&] {
        for (Control* c : inventory_.controls())
            if (c->isLabel()) c->move(c->designLeft(), c->designTop());
        recentreLayout();
    });
    skipOnFailure([&] {
        moveWindow(0, 0);
        setWindowSize(screen.width(), screen.height());
    });
    if (image2Dropped_)
        Image2.move(dropX + (screen.width() - kDesignScreenWidth) / 2.0f, dropY + (screen.height() - kDesignScreenHeight) / 2.0f);
    // The feast line's timer keeps it centred across the screen; it is centred on the new one at once.
    skipOnFailure([&] { centreFeastLine(); });
}

void Form1::placePictures() {
    const ScreenInfo& screen = services_.screen;
    Image1.setTop(0);
    Image1.setLeft(0);
    Image2.setTop(screen.height() - Image2.height());
    Image2.setLeft(screen.width() - Image2.width());
    Image4.setTop(screen.height() / 10);
    Image4.setLeft(screen.width() / 2 - Image4.width() / 2);
    Image3.setLeft(screen.width() - Image3.width());
    Image3.setTop(0);
}

void Form1::recentreLayout() {
    const ScreenInfo& screen = services_.screen;
    const float dx = (screen.width() - kDesignScreenWidth) / 2.0f;
    const float dy = (screen.height() - kDesignScreenHeight) / 2.0f;
    for (Control* c : inventory_.controls())
        if (c->isLabel()) c->move(c->left() + dx, c->top() + dy);

    auto centreHorizontally = [&](Label& l) { l.setLeft(screen.width() / 2 - l.width() / 2); };
    centreHorizontally(Label1);
    centreHorizontally(Label2);
    centreHorizontally(Label112);
    centreHorizontally(Label12);  // kept: Label12 and Label114 are still empty, so centred by design widths
    Label12.setTop(label(82).top());  // the clock stands on the line of September's Tuesday row
    centreHorizontally(Label114);
    Label115.setTop(screen.height() / 2 - Label115.height() / 2);
    Label114.setTop(label(79).top());  // today's date on the line of September's Friday row
    Label113.setTop(Label112.top() + 650);
    inventory_.bringToFront(Label115);
    if (screen.width() > kDesignScreenWidth) Image4.setTop(label(21).top());
}

}  // namespace ladoslov
