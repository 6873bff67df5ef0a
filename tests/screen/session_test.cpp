#include <gtest/gtest.h>

#include "fakes/fake_services.h"
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
    void createWindow() override { calls.push_back(form_.backgroundPainted() ? "create after load" : "create"); }
    bool showWindow() override {
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
    FormSession s(h.form, 16);
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
    FormSession s(h.form, 0);
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
    FormSession s(h.form, 0);
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
