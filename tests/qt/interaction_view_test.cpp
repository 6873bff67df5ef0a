// Input through the real view, as the window system delivers it: mouse and key events go to the
// window, which hands them to the core.

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <algorithm>

#include "fakes/fake_services.h"
#include "qt/qt_services.h"
#include "qt/form_window.h"
#include "qt/view_support.h"

using namespace ladoslov;
using namespace ladoslov::testing;

namespace {

struct InputHarness : Harness {
    FontMeasurer realMeasurer;
    DrawnScreen drawn{realMeasurer};
    std::unique_ptr<FormWindow> view;

    InputHarness() {
        files.addFile("muz/ladoslov.wav", "tune");
        form.inventory().setMeasurer(&realMeasurer);
        view = std::make_unique<FormWindow>(form, drawn);
        load();
        view->sync();
        view->show();
        view->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }
    QWindow* window() { return view->windowHandle(); }
    QRect rectOf(const Control& c) { return view->rectOf(c); }
    // What the window shows: its pending repaints done, as flushed to the screen.
    QImage shown() {
        QCoreApplication::processEvents();
        return view->screen()->grabWindow(view->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    }

    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mousePress(window(), b, {}, p); }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseRelease(window(), b, {}, p); }
    void click(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseClick(window(), b, {}, p); }
    void doubleClick(QPoint p) { QTest::mouseDClick(window(), Qt::LeftButton, {}, p); }
    // The pointer moved in steps with the button held, as a hand drags.
    void moveHeld(QPoint from, QPoint to) {
        for (int i = 1; i <= 8; ++i) QTest::mouseMove(window(), from + (to - from) * i / 8);
    }
    void drag(QPoint from, QPoint to, Qt::MouseButton b = Qt::LeftButton) {
        press(from, b);
        moveHeld(from, to);
        release(to, b);
    }
    int stops() const {
        return static_cast<int>(std::count_if(multimedia.commands.begin(), multimedia.commands.end(),
                                              [](const std::string& c) { return c.starts_with("stop "); }));
    }
};

}  // namespace

TEST(InputView, ADropOverAControlLeavesTheBoatWhereItWas) {
    InputHarness h;
    Image& boat = h.form.Image2;
    const QRect before = h.rectOf(boat);
    const Twips left = boat.left(), top = boat.top();
    for (const Control* target : {static_cast<const Control*>(&h.form.Label112),
                                  static_cast<const Control*>(&h.form.labelArray(111)[10]),
                                  static_cast<const Control*>(&h.form.Image4)}) {
        h.drag(before.center(), h.rectOf(*target).center());
        EXPECT_EQ(boat.left(), left) << target->displayName();
        EXPECT_EQ(boat.top(), top) << target->displayName();
        EXPECT_EQ(h.rectOf(boat), before);
        EXPECT_TRUE(boat.visible());
    }
    // It went to the back all the same, and the drag feedback is gone.
    EXPECT_EQ(h.form.inventory().stackingOrder().front(), &boat);
    EXPECT_EQ(h.view->controlAt(h.rectOf(h.form.Label112).center()), &h.form.Label112);
    EXPECT_FALSE(h.view->dragGhostRect());
    EXPECT_FALSE(h.form.ended());
}

TEST(InputView, ADropOnTheBareWindowPutsTheGrabbedPointUnderThePointerBeneathTheLabels) {
    InputHarness h;
    Image& boat = h.form.Image2;
    Label& title = h.form.Label112;
    title.setForeColour(0xFF00FF);
    h.view->sync();
    const QRect titleRect = h.rectOf(title);
    // Just left of the title, with the boat grabbed near its left edge: the hull then covers the
    // title's first letters.
    const QPoint drop(titleRect.left() - 4, titleRect.center().y());
    ASSERT_EQ(h.view->controlAt(drop), nullptr);
    const QPoint grab(6, 45);
    const QRect overlap = QRect(drop - grab, QSize(91, 71)).intersected(titleRect);
    ASSERT_GT(overlap.width() * overlap.height(), 800);
    const int visibleBefore = countPixels(h.view->grab().toImage(), overlap, QColor(0xFF, 0x00, 0xFF));
    ASSERT_GT(visibleBefore, 40);

    h.drag(h.rectOf(boat).topLeft() + grab, drop);
    EXPECT_EQ(h.rectOf(boat).topLeft(), drop - grab);
    EXPECT_EQ(boat.left(), static_cast<Twips>((drop.x() - grab.x()) * 15));
    EXPECT_EQ(boat.top(), static_cast<Twips>((drop.y() - grab.y()) * 15));
    EXPECT_EQ(h.form.GrabX, static_cast<Twips>(grab.x() * 15));
    EXPECT_EQ(h.form.GrabY, static_cast<Twips>(grab.y() * 15));
    EXPECT_FALSE(h.form.ended());
    EXPECT_EQ(countPixels(h.view->grab().toImage(), overlap, QColor(0xFF, 0x00, 0xFF)), visibleBefore);
    EXPECT_EQ(h.view->controlAt(overlap.center()), &title);

}

// Image1 stood beneath the boat in the design; once the boat went to the back, Image1 covers it.
TEST(InputView, ADroppedBoatIsDrawnBeneathAPictureThatStoodBelowIt) {
    InputHarness h;
    Image& boat = h.form.Image2;
    const QRect music = h.rectOf(h.form.Image1);
    const QPoint beside(music.right() + 3, music.top() + 20);
    ASSERT_EQ(h.view->controlAt(beside), nullptr);
    const QPoint rightGrab(85, 30);
    h.drag(h.rectOf(boat).topLeft() + rightGrab, beside);
    ASSERT_EQ(h.rectOf(boat).topLeft(), beside - rightGrab);
    const QRect covered = QRect(beside - rightGrab, QSize(91, 71)).intersected(music);
    ASSERT_GT(covered.width() * covered.height(), 1500);
    const auto [same, opaque] = pictureShown(h.view->grab().toImage(), music.topLeft(),
                                             QImage(QStringLiteral(":/pictures/image1.gif")), covered);
    EXPECT_EQ(same, opaque);
}

// The feedback shows once the pointer has moved past the drag distance, half transparent, the grabbed
// point under the pointer; what it covered is repainted as it moves on and when it is dropped.
TEST(InputView, TheDragFeedbackFollowsThePointer) {
    InputHarness h;
    const QRect boat = h.rectOf(h.form.Image2);
    const QPoint grab(30, 20), from = boat.topLeft() + grab;
    const QImage before = h.shown();
    h.press(from);
    QTest::mouseMove(h.window(), from + QPoint(QApplication::startDragDistance() - 1, 0));
    EXPECT_FALSE(h.view->dragGhostRect());
    const QPoint to(300, 420), later(340, 440);
    h.moveHeld(from, to);
    ASSERT_EQ(h.view->dragGhostRect(), QRect(to - grab, boat.size()));
    const QImage picture(QStringLiteral(":/pictures/image2.gif"));
    const QRect ghost(to - grab, boat.size());
    const auto [same, opaque] = pictureShown(h.shown(), to - grab, picture, ghost);
    EXPECT_GT(opaque, 1000);
    EXPECT_LT(same, opaque / 10) << "the feedback is not drawn half transparent";
    EXPECT_NE(h.shown().copy(ghost), before.copy(ghost));
    h.moveHeld(to, later);
    const QRect left(ghost.topLeft(), QSize(later.x() - to.x(), ghost.height()));
    EXPECT_EQ(h.shown().copy(left), before.copy(left));
    h.release(later);
    EXPECT_FALSE(h.view->dragGhostRect());
    EXPECT_EQ(h.rectOf(h.form.Image2).topLeft(), later - grab);
}

TEST(InputView, APressAndReleaseWithoutMovingIsAClickThatHidesTheBoat) {
    InputHarness h;
    const QPoint p = h.rectOf(h.form.Image2).center();
    h.click(p);
    EXPECT_FALSE(h.form.Image2.visible());
    EXPECT_FALSE(h.form.ended());
    // Where it stood is bare window now.
    h.click(p);
    EXPECT_TRUE(h.form.ended());
    EXPECT_EQ(h.stops(), 2);
    EXPECT_EQ(h.process.ends, std::vector<int>{0});
}

TEST(InputView, ADoubleClickOnImage1PlaysThenHidesAndTheSpotThenEnds) {
    InputHarness h;
    const QPoint p = h.rectOf(h.form.Image1).center();
    h.multimedia.commands.clear();
    h.doubleClick(p);
    EXPECT_FALSE(h.form.Image1.visible());
    EXPECT_EQ(h.multimedia.commands, std::vector<std::string>{"play \"muz/ladoslov.wav\""});
    EXPECT_FALSE(h.form.ended());
    ASSERT_EQ(h.view->controlAt(p), nullptr);
    h.click(p);
    EXPECT_TRUE(h.form.ended());
    EXPECT_EQ(h.stops(), 2);
}

TEST(InputView, ARightButtonOnTheBoatNeitherHidesNorDragsIt) {
    InputHarness h;
    Image& boat = h.form.Image2;
    const QRect before = h.rectOf(boat);
    h.click(before.center(), Qt::RightButton);
    h.drag(before.center(), QPoint(300, 400), Qt::RightButton);
    EXPECT_TRUE(boat.visible());
    EXPECT_EQ(h.rectOf(boat), before);
    EXPECT_EQ(h.form.GrabX, 0);
    EXPECT_EQ(h.form.GrabY, 0);
    EXPECT_FALSE(h.form.ended());
}

TEST(InputView, ALabelDoubleClickRecoloursOnce) {
    InputHarness h;
    h.random.values = {0.0f, 0.5f, 0.99f};
    h.doubleClick(h.rectOf(h.form.Label112).center());
    EXPECT_EQ(h.form.Label112.foreColour(), kPalette[0]);
    EXPECT_EQ(h.random.values.size(), 2u);
}

TEST(InputView, MovingTheMouseDoesNothing) {
    InputHarness h;
    const auto before = h.form.Image2.revision();
    for (QPoint p : {QPoint(5, 5), h.rectOf(h.form.Image2).center(), h.rectOf(h.form.Label112).center(),
                     QPoint(1000, 700), QPoint(500, 380)})
        QTest::mouseMove(h.window(), p);
    EXPECT_FALSE(h.form.ended());
    EXPECT_EQ(h.form.Image2.revision(), before);
    EXPECT_EQ(h.multimedia.commands.size(), 1u);
}

struct KeyCase {
    Qt::Key key;
    bool ends;
};

class KeysToTheWindow : public ::testing::TestWithParam<KeyCase> {};

// Keys go to the window as the window system sends them, not to a chosen widget.
TEST_P(KeysToTheWindow, OnlyAKeyWithACharacterEnds) {
    InputHarness h;
    const KeyCase c = GetParam();
    QTest::keyClick(h.window(), c.key);
    EXPECT_EQ(h.form.ended(), c.ends);
    EXPECT_EQ(h.stops(), c.ends ? 2 : 0);
    EXPECT_EQ(h.process.ends, c.ends ? std::vector<int>{0} : std::vector<int>{});
}

INSTANTIATE_TEST_SUITE_P(Keys, KeysToTheWindow,
                         ::testing::Values(KeyCase{Qt::Key_A, true}, KeyCase{Qt::Key_Escape, true},
                                           KeyCase{Qt::Key_Return, true}, KeyCase{Qt::Key_Enter, true},
                                           KeyCase{Qt::Key_Space, true}, KeyCase{Qt::Key_Backspace, true},
                                           KeyCase{Qt::Key_7, true}, KeyCase{Qt::Key_Tab, true}, KeyCase{Qt::Key_F10, false},
                                           KeyCase{Qt::Key_Left, false}, KeyCase{Qt::Key_F5, false},
                                           KeyCase{Qt::Key_Shift, false}, KeyCase{Qt::Key_Control, false},
                                           KeyCase{Qt::Key_Alt, false}, KeyCase{Qt::Key_Delete, false},
                                           KeyCase{Qt::Key_Home, false}, KeyCase{Qt::Key_PageDown, false}));

TEST(InputView, F10HeldShowsThePrayerAndReleasedPutsTheNamesBack) {
    InputHarness h;
    const std::string names = h.form.Label113.caption();
    QTest::keyPress(h.window(), Qt::Key_F10);
    EXPECT_NE(h.form.Label113.caption(), names);
    QTest::keyRelease(h.window(), Qt::Key_F10);
    EXPECT_EQ(h.form.Label113.caption(), names);
    EXPECT_FALSE(h.form.ended());
}

TEST(InputView, ClosingTheWindowStopsOnceAndEnds) {
    InputHarness h;
    h.view->close();
    EXPECT_EQ(h.stops(), 1);
    EXPECT_EQ(h.process.ends, std::vector<int>{0});
}

TEST(InputView, NothingReachesTheWindowAfterTheEnd) {
    InputHarness h;
    QTest::keyClick(h.window(), Qt::Key_A);
    QTest::keyClick(h.window(), Qt::Key_B);
    h.click(QPoint(500, 740));
    EXPECT_EQ(h.stops(), 2);
    EXPECT_EQ(h.process.ends, std::vector<int>{0});
}
