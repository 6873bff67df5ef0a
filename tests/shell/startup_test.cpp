#include <gtest/gtest.h>

#include "fakes/fake_services.h"

using namespace ladoslov;
using namespace ladoslov::testing;

namespace {

struct Screen {
    int widthPx, heightPx;
};

class StartupOnScreens : public ::testing::TestWithParam<Screen> {};

}  // namespace

TEST_P(StartupOnScreens, CentresTheLayoutAndPlacesCaptionsAndPictures) {
    const Screen s = GetParam();
    Harness h;
    h.screen.w = static_cast<Twips>(s.widthPx * 15);
    h.screen.h = static_cast<Twips>(s.heightPx * 15);
    const Twips dx = (h.screen.w - 15360) / 2, dy = (h.screen.h - 11520) / 2;
    h.load();
    Form1& f = h.form;

    EXPECT_EQ(f.left(), 0);
    EXPECT_EQ(f.top(), 0);
    EXPECT_EQ(f.width(), h.screen.w);
    EXPECT_EQ(f.height(), h.screen.h);
    EXPECT_EQ(f.windowState(), WindowState::Normal);
    EXPECT_TRUE(f.backgroundPainted());
    EXPECT_EQ(h.topMost.calls, 1);

    // Month blocks keep their shape, moved by the one shift.
    EXPECT_EQ(f.label(11).left(), 1080 + dx);
    EXPECT_EQ(f.label(11).top(), 1200 + dy);
    EXPECT_EQ(f.labelArray(111)[36].left(), 13560 + 360 * 4 + dx);
    EXPECT_EQ(f.labelArray(111)[36].top(), 8760 + 240 + dy);
    EXPECT_EQ(f.label(104).top(), 8760 + dy);

    const Twips centre = h.screen.w / 2;
    for (Label* l : {&f.Label1, &f.Label2, &f.Label112, &f.Label12, &f.Label114})
        EXPECT_FLOAT_EQ(l->left() + l->width() / 2, centre) << l->name();
    EXPECT_EQ(f.Label12.top(), 9000 + dy);
    EXPECT_EQ(f.Label114.top(), 9720 + dy);
    EXPECT_EQ(f.Label113.top(), 3840 + dy + 650);
    EXPECT_EQ(f.Label113.left(), 2880 + dx);
    EXPECT_FLOAT_EQ(f.Label115.top() + f.Label115.height() / 2, h.screen.h / 2);
    EXPECT_EQ(f.inventory().stackingOrder().back(), &f.Label115);

    EXPECT_EQ(f.Image1.left(), 0);
    EXPECT_EQ(f.Image1.top(), 0);
    EXPECT_EQ(f.Image2.left(), h.screen.w - 1365);
    EXPECT_EQ(f.Image2.top(), h.screen.h - 1065);
    EXPECT_EQ(f.Image3.left(), h.screen.w - 915);
    EXPECT_EQ(f.Image3.top(), 0);
    EXPECT_EQ(f.Image4.left(), centre - 1530 / 2);
    EXPECT_EQ(f.Image4.top(), h.screen.w > 15360 ? 1200 + dy : h.screen.h / 10);
}

INSTANTIATE_TEST_SUITE_P(Screens, StartupOnScreens,
                         ::testing::Values(Screen{1024, 768}, Screen{1280, 1024}, Screen{800, 600},
                                           Screen{1024, 1024}, Screen{1920, 1080}));

TEST(Startup, WorkedFiguresOfTheUsualScreens) {
    Harness design;
    design.load();
    EXPECT_EQ(design.form.Label12.top(), 9000);
    EXPECT_EQ(design.form.Label114.top(), 9720);
    EXPECT_EQ(design.form.Label113.top(), 4490);
    EXPECT_EQ(design.form.Image4.top(), 1152);

    Harness big;
    big.screen.w = 1280 * 15;
    big.screen.h = 1024 * 15;
    big.load();
    EXPECT_EQ(big.form.label(11).left(), 3000);
    EXPECT_EQ(big.form.label(11).top(), 3120);
    EXPECT_EQ(big.form.Image4.top(), 3120);

    Harness small;
    small.screen.w = 12000;
    small.screen.h = 9000;
    small.load();
    EXPECT_EQ(small.form.labelArray(10)[0].left(), 720 - 1680);
    EXPECT_EQ(small.form.labelArray(10)[0].top(), 1560 - 1260);
    EXPECT_EQ(small.form.Image4.top(), 900);
}

TEST(Startup, SecondCopyEndsBeforeAnythingElse) {
    Harness h;
    h.instance.another = true;
    h.files.addFile("muz/ladoslov.mid", "MThd");
    h.load();
    EXPECT_EQ(h.process.ends, std::vector<int>{0});
    EXPECT_TRUE(h.form.ended());
    EXPECT_EQ(h.topMost.calls, 0);
    EXPECT_FALSE(h.form.backgroundPainted());
    EXPECT_EQ(h.form.width(), 20910);
    EXPECT_TRUE(h.random.seeds.empty());
    EXPECT_TRUE(h.multimedia.commands.empty());
    EXPECT_TRUE(h.pictures.asked.empty());
}

TEST(Startup, BackgroundFromWorkingDirectoryThenBesideTheProgramElseBuiltIn) {
    {
        Harness h;
        h.load();
        EXPECT_EQ(h.form.PctFon.picture(), kPictureBackground);
        EXPECT_EQ(h.pictures.asked, (std::vector<std::string>{"Data/ladoslov.jpg", "/opt/ladoslov/Data/ladoslov.jpg"}));
    }
    {
        Harness h;
        h.pictures.loadable = {"Data/ladoslov.jpg", "/opt/ladoslov/Data/ladoslov.jpg"};
        h.load();
        EXPECT_EQ(std::filesystem::path(h.form.PctFon.picture()).generic_string(), "Data/ladoslov.jpg");
    }
    {
        Harness h;
        h.pictures.loadable = {"/opt/ladoslov/Data/ladoslov.jpg"};
        h.load();
        EXPECT_EQ(std::filesystem::path(h.form.PctFon.picture()).generic_string(), "/opt/ladoslov/Data/ladoslov.jpg");
        EXPECT_TRUE(h.form.backgroundPainted());
    }
}

TEST(Startup, SeedsTheGeneratorAndResetsTheFillCounters) {
    Harness h;
    for (FillCounters& c : h.form.fillCounters) c = FillCounters{17, -3};
    h.load();
    EXPECT_EQ(h.random.seeds, std::vector<std::uint32_t>{42});
    for (const FillCounters& c : h.form.fillCounters) {
        EXPECT_EQ(c.cellIndex, 0);
        EXPECT_EQ(c.dayNumber, 1);
    }
    for (int i = 1; i <= 14; ++i) EXPECT_TRUE(h.form.timer(i).enabled());
    EXPECT_FALSE(h.form.ended());
}

// A window whose screen changes size (a host's preview that grows) is laid out as one started on the new
// screen: every control in the same place and size, measured at the new scale; a dropped picture keeps
// its place in the layout.
TEST(Startup, ResizedWindowIsLaidOutAsOneStartedOnTheNewScreen) {
    struct Case {
        TwipsSize from, to;
        double scale;  // the measurer's at the new size
    };
    for (const Case& c : {Case{{48, 48}, {18432, 11520}, 0.9}, Case{{12288, 11520}, {24576, 15360}, 1.0},
                          Case{{15360, 11520}, {12000, 9000}, 1.1}}) {
        auto started = [](Harness& h, TwipsSize s) {
            h.screen.w = s.width;
            h.screen.h = s.height;
            h.load();
            h.fillAll();
            h.form.timerTick(14);
        };
        Harness resized, fresh;
        started(resized, c.from);
        resized.screen.w = c.to.width;
        resized.screen.h = c.to.height;
        resized.measurer.scale = fresh.measurer.scale = c.scale;
        fresh.form.inventory().setMeasurer(&fresh.measurer);  // as a view at that scale measures from the start
        resized.form.Form_Resize();
        started(fresh, c.to);
        EXPECT_EQ(resized.form.width(), c.to.width);
        EXPECT_EQ(resized.form.height(), c.to.height);
        const auto& a = resized.form.inventory().controls();
        const auto& b = fresh.form.inventory().controls();
        for (std::size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i]->left(), b[i]->left()) << a[i]->displayName() << " at " << c.to.width;
            EXPECT_EQ(a[i]->top(), b[i]->top()) << a[i]->displayName() << " at " << c.to.width;
            EXPECT_EQ(a[i]->width(), b[i]->width()) << a[i]->displayName() << " at " << c.to.width;
            EXPECT_EQ(a[i]->height(), b[i]->height()) << a[i]->displayName() << " at " << c.to.width;
        }
    }

    Harness h;
    h.load();
    h.form.Form_DragDrop(h.form.Image2, 5000, 6000);
    h.screen.w = 19200;
    h.screen.h = 14400;
    h.form.Form_Resize();
    EXPECT_EQ(h.form.Image2.left(), 5000 + 1920);
    EXPECT_EQ(h.form.Image2.top(), 6000 + 1440);
    EXPECT_EQ(h.form.Image3.left(), 19200 - 915);
}
