#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/fake_services.h"
#include "screen/monitors.h"
#include "screen/session.h"

using namespace ladoslov;
using namespace ladoslov::testing;

namespace {

std::vector<int> running(const std::vector<TimerRequest>& requests, bool run) {
    std::vector<int> numbers;
    for (const TimerRequest& r : requests)
        if (r.run == run) numbers.push_back(r.number);
    return numbers;
}

class RecordingFrontEnd final : public FrontEnd {
public:
    explicit RecordingFrontEnd(Form1& form) : form_(form) {}
    std::vector<std::string> calls;
    bool shows = true;
    void createWindows() override { calls.push_back(form_.backgroundPainted() ? "create after load" : "create"); }
    bool showWindows() override {
        calls.push_back("show");
        return shows;
    }
    void startTimers() override { calls.push_back("timers"); }
    int runEventLoop() override {
        calls.push_back("run");
        return 7;
    }

private:
    Form1& form_;
};

}  // namespace

TEST(FormSession, TimersRunOnceStartedAtTheirIntervalsAndStopWithTheirWork) {
    Harness h;
    h.load();
    DrawnScreen screen(h.measurer);
    FormSession s(h.form, screen, 16);
    EXPECT_TRUE(s.update().timers.empty());
    s.startTimers();
    const std::vector<TimerRequest> started = s.update().timers;
    ASSERT_EQ(running(started, true).size(), 14u);
    EXPECT_EQ(started.front(), (TimerRequest{1, true, 16}));
    EXPECT_EQ(started[12], (TimerRequest{13, true, 1000}));
    EXPECT_TRUE(s.update().timers.empty());

    while (h.form.filling())
        for (int m = 1; m <= 12; ++m) s.tick(m);
    EXPECT_EQ(running(s.update().timers, false), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    s.keyPress(U'a');
    EXPECT_EQ(running(s.update().timers, false), (std::vector<int>{13, 14}));
}

TEST(FormSession, InputAfterTheEndIsDropped) {
    Harness h;
    h.files.addFile("muz/ladoslov.mid", "MThd");
    h.load();
    DrawnScreen screen(h.measurer);
    FormSession s(h.form, screen, 0);
    s.keyPress(U'x');
    ASSERT_TRUE(h.form.ended());
    const std::size_t commands = h.multimedia.commands.size();
    s.keyDown(kKeyF10, 0);
    s.keyPress(U'y');
    s.press(kLeftButton, 0, 60, 4000);
    s.release(kLeftButton, 0, 60, 4000);
    EXPECT_EQ(h.multimedia.commands.size(), commands);
    EXPECT_EQ(h.form.Label113.caption().find("(имя)"), std::string::npos);
}

TEST(FormSession, DragFeedbackAndTheRestingCursorAreInTheUpdate) {
    Harness h;
    h.load();
    h.fillAll();
    DrawnScreen screen(h.measurer);
    FormSession s(h.form, screen, 0);
    s.update();
    Image& boat = h.form.Image2;
    const Twips x = boat.left() + 100, y = boat.top() + 100;
    EXPECT_EQ(s.cursorAt(x, y), Cursor::A);
    s.press(kLeftButton, 0, x, y);
    s.update();
    s.move(x - 3000, y - 2000, 60);
    const FormSession::Update dragged = s.update();
    const TwipsRect feedback{boat.left() - 3000, boat.top() - 2000, boat.width(), boat.height()};
    EXPECT_NE(std::find(dragged.areas.begin(), dragged.areas.end(), feedback), dragged.areas.end());
    s.release(kLeftButton, 0, x - 3000, y - 2000);
    s.update();

    // The music picture goes from under the resting pointer: the cursor there becomes the arrow.
    Image& music = h.form.Image1;
    EXPECT_EQ(s.cursorAt(music.left() + 10, music.top() + 10), Cursor::B);
    music.setVisible(false);
    EXPECT_EQ(s.update().cursor, Cursor::Arrow);
    EXPECT_FALSE(s.update().cursor);
    EXPECT_EQ(s.toolTipAt(boat.left() + 100, boat.top() + 100).text, boat.toolTip());
    EXPECT_EQ(s.toolTipAt(60, 4000).control, nullptr);
}

TEST(FormSession, PixelsOfTwips) {
    // Drawn at the nearest pixel edge; repainted over every pixel touched.
    EXPECT_EQ(drawnPixels(TwipsRect{7.5f, 22, 15, 1}, 15), (PixelRect{1, 1, 2, 2}));
    EXPECT_EQ(pixelsToRepaint(TwipsRect{7.5f, 22, 15, 1}, 15), (PixelRect{0, 1, 2, 2}));
    EXPECT_EQ(drawnPixels(TwipsRect{100, 50, 20, 10}, 48), (PixelRect{2, 1, 3, 1}));
    EXPECT_EQ(pixelsToRepaint(TwipsRect{100, 50, 20, 10}, 48), (PixelRect{2, 1, 3, 2}));
}

TEST(RunScreensaver, StartsUpInOrderAndStopsWhereTheProgramEnds) {
    {
        Harness h;
        RecordingFrontEnd fe(h.form);
        EXPECT_EQ(runScreensaver(h.form, fe), 7);
        EXPECT_EQ(fe.calls, (std::vector<std::string>{"create", "show", "timers", "run"}));
    }
    {
        Harness h;
        h.services.commandLine = "/c";
        RecordingFrontEnd fe(h.form);
        EXPECT_EQ(runScreensaver(h.form, fe), 0);
        EXPECT_TRUE(fe.calls.empty());
        EXPECT_EQ(h.messageBox.shown.size(), 1u);
    }
    {
        Harness h;
        h.instance.another = true;
        RecordingFrontEnd fe(h.form);
        EXPECT_EQ(runScreensaver(h.form, fe), 0);
        EXPECT_EQ(fe.calls, std::vector<std::string>{"create"});
    }
    {
        Harness h;
        RecordingFrontEnd fe(h.form);
        fe.shows = false;
        EXPECT_EQ(runScreensaver(h.form, fe), 1);
        EXPECT_EQ(fe.calls, (std::vector<std::string>{"create", "show"}));
    }
}

TEST(DrawnScreen, TheDesignFitsEveryWindowAndKeepsItsScaleWhereItFits) {
    struct Case {
        int width, height;
        double dpi, tpp;
    } cases[] = {
        {1024, 768, 96, 15},  {1920, 1080, 96, 15},  {1920, 1080, 144, 11520.0 / 1080}, {1280, 720, 96, 16},
        {800, 600, 96, 19.2}, {320, 240, 96, 48},     {400, 200, 96, 57.6},              {0, 0, 120, 12},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(fittedTwipsPerPixel(c.width, c.height, c.dpi), c.tpp) << c.width << "x" << c.height << " at " << c.dpi;
        if (c.width == 0) continue;
        // The whole design stands on the screen, centred.
        FakeMeasurer measurer;
        DrawnScreen screen(measurer);
        screen.reshape(c.width, c.height, c.dpi);
        EXPECT_GE(screen.width(), kDesignScreenWidth - 1);
        EXPECT_GE(screen.height(), kDesignScreenHeight - 1);
    }
}

// A form beside the primary's, on a second monitor of its own size.
struct TwoMonitors {
    Harness h;
    MonitorForm second{h.services, std::make_unique<FakeMeasurer>(), std::make_unique<RecordingTopMost>()};
    DrawnScreen primaryScreen{h.measurer};
    FormSession primary{h.form, primaryScreen, 0};
    FormSession other{second.form(), second.screen(), 0};
    SessionGroup group;
    TwoMonitors() {
        h.files.addFile("muz/ladoslov.mid", "MThd");
        group.join(primary);
        group.join(other);
        other.reshape(1280, 720, 96);
        h.load();
        second.form().Form_Load();
    }
};

TEST(SessionGroup, KeysReachEveryMonitorAndOneEndEndsAll) {
    TwoMonitors m;
    // Only the primary's start-up plays the tune.
    ASSERT_EQ(m.h.multimedia.commands.size(), 1u);
    const std::string play = m.h.multimedia.commands[0];
    m.other.keyDown(kKeyF10, 0);
    EXPECT_NE(m.h.form.Label113.caption(), m.h.form.TodayNamesLine);
    EXPECT_EQ(m.second.form().Label113.caption(), m.h.form.Label113.caption());
    m.primary.keyUp(kKeyF10, 0);
    EXPECT_EQ(m.second.form().Label113.caption(), m.second.form().TodayNamesLine);

    // A click on the second monitor's bare window, left of the centred design, ends both and stops the tune.
    const Twips y = m.second.form().height() / 2 + 1000;
    m.other.press(kLeftButton, 0, 60, y);
    m.other.release(kLeftButton, 0, 60, y);
    m.other.settle();
    EXPECT_TRUE(m.second.form().ended());
    EXPECT_TRUE(m.h.form.ended());
    EXPECT_EQ(std::count(m.h.multimedia.commands.begin(), m.h.multimedia.commands.end(), play), 1);
    EXPECT_EQ(m.h.multimedia.commands.back(), "stop" + play.substr(4));
}

TEST(FormSession, ReshapeLaysTheFormOutForTheNewWindow) {
    TwoMonitors m;
    Form1& f = m.second.form();
    // 1280 × 720 is drawn smaller: nothing stands above or left of the window.
    EXPECT_DOUBLE_EQ(m.other.twipsPerPixel(), 16);
    EXPECT_GE(f.Label1.top(), 0);
    EXPECT_GE(f.label(11).left(), 0);
    EXPECT_FLOAT_EQ(f.width(), 1280 * 16);
    m.other.reshape(1920, 1080, 144);
    EXPECT_NEAR(f.Label112.left() + f.Label112.width() / 2, 1920 * 11520.0 / 1080 / 2, 1);
    EXPECT_NEAR(f.Image2.left() + f.Image2.width(), f.width(), 1);
}

TEST(FormSession, InsideAHostNoInputCountsAndThePreviewRuns) {
    Harness h;
    h.services.insideHost = true;
    h.services.commandLine = "/p 4242";
    h.form.CheckCommandLine();
    EXPECT_FALSE(h.form.ended());
    h.load();
    DrawnScreen screen(h.measurer);
    FormSession s(h.form, screen, 0);
    s.keyPress(U'x');
    s.press(kLeftButton, 0, 60, 60);
    s.release(kLeftButton, 0, 60, 60);
    EXPECT_FALSE(h.form.ended());
    s.close();
    EXPECT_TRUE(h.form.ended());
}

TEST(FormSession, DrawListIsTheVisibleControlsInStackingOrderThenTheFadedDragFeedback) {
    Harness h;
    DrawnScreen screen(h.measurer);
    FormSession s(h.form, screen, 0);
    EXPECT_FALSE(s.backgroundPicture());  // the button face until the form is loaded
    h.load();
    h.fillAll();
    h.form.Image1.setVisible(false);
    h.form.PctFon.setVisible(true);  // still never drawn: the background stands for it
    const std::vector<Control*>& stacking = h.form.inventory().stackingOrder();
    auto depth = [&](const Drawing& d) {
        const Control* c = d.label ? static_cast<const Control*>(d.label) : d.image;
        return std::find(stacking.begin(), stacking.end(), c) - stacking.begin();
    };
    const std::vector<Drawing> still = s.drawList();
    const auto shown = std::count_if(stacking.begin(), stacking.end(), [&](const Control* c) {
        return c->visible() && c != &h.form.PctFon;
    });
    ASSERT_EQ(static_cast<long>(still.size()), shown);
    int borders = 0;
    for (std::size_t i = 0; i < still.size(); ++i) {
        const Drawing& d = still[i];
        EXPECT_NE(d.image, &h.form.Image1);
        if (i > 0) {
            EXPECT_LT(depth(still[i - 1]), depth(d));
        }
        EXPECT_EQ(d.at, drawnPixels(d.bounds, s.twipsPerPixel()));
        EXPECT_EQ(d.frame, d.image == &h.form.Image4 ? kSunkenFramePixels : 0);
        EXPECT_EQ(d.opacity, 1.0);
        borders += d.border;
    }
    EXPECT_EQ(borders, 1);  // today's cell

    // Dragged, the boat is drawn once more, last and faded, where the pointer has it.
    Image& boat = h.form.Image2;
    const Twips x = boat.left() + 100, y = boat.top() + 100;
    s.press(kLeftButton, 0, x, y);
    s.move(x - 3000, y - 2000, 60);
    const std::vector<Drawing> dragged = s.drawList();
    ASSERT_EQ(dragged.size(), still.size() + 1);
    EXPECT_EQ(dragged.back().image, &boat);
    EXPECT_EQ(dragged.back().opacity, kDragFeedbackOpacity);
    EXPECT_EQ(dragged.back().bounds, (TwipsRect{boat.left() - 3000, boat.top() - 2000, boat.width(), boat.height()}));
    EXPECT_EQ(s.backgroundPicture(), std::optional<std::string>(h.form.PctFon.picture()));
}
