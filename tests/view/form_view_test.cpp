#include <gtest/gtest.h>

#include <QPaintEvent>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <set>

#include "fakes/fake_services.h"
#include "platform/desktop_services.h"
#include "view/form_view.h"
#include "view/view_support.h"

using namespace ladoslov;
using namespace ladoslov::testing;

namespace {

// A window on fakes, mirrored by the real view at 15 twips per pixel, 1024 × 768.
struct ViewHarness : Harness {
    FontMeasurer realMeasurer;
    std::unique_ptr<FormView> view;
    ViewHarness() {
        form.inventory().setMeasurer(&realMeasurer);
        view = std::make_unique<FormView>(form, 15.0);
        load();
        view->sync();
    }
    QWidget* widget(const Control& c) { return view->widgetOf(c); }
    QPoint centreOf(const Control& c) { return widget(c)->geometry().center(); }
    // A click as the window system delivers it: to the widget under the pointer.
    void clickAt(QPoint windowPos, Qt::MouseButton button = Qt::LeftButton) {
        QWidget* target = view->childAt(windowPos);
        if (!target) target = view.get();
        QTest::mouseClick(target, button, {}, target->mapFrom(view.get(), windowPos));
        view->sync();
    }
};

// The intervals of the view's timers that are running, shortest first.
std::vector<int> runningIntervals(const FormView& view) {
    std::vector<int> ms;
    for (const QTimer* t : view.findChildren<QTimer*>())
        if (t->isActive()) ms.push_back(t->interval());
    std::sort(ms.begin(), ms.end());
    return ms;
}

// What the window repaints: the area of the window itself and which of its controls.
class PaintRecorder final : public QObject {
public:
    explicit PaintRecorder(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
    ~PaintRecorder() override { qApp->removeEventFilter(this); }
    QRegion windowArea;
    std::set<QObject*> controls;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::Paint) return false;
        if (o == window_)
            windowArea += static_cast<QPaintEvent*>(e)->region();
        else if (o->parent() == window_)
            controls.insert(o);
        return false;
    }

private:
    QWidget* window_;
};

}  // namespace

// Once the months are filled the screensaver only shows the time: nothing may keep a frame-rate timer
// running or repaint more than the labels that changed, or it costs CPU for as long as it runs.
TEST(FormView, AfterTheFillOnlyTheClockAndFeastTimersRunAndATickRepaintsItsLabel) {
    ViewHarness h;
    h.view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(h.view.get()));
    h.view->startTimers();
    EXPECT_EQ(runningIntervals(*h.view).size(), 14u);
    EXPECT_EQ(runningIntervals(*h.view).front(), 16);

    h.fillAll();
    h.view->sync();
    EXPECT_EQ(runningIntervals(*h.view), (std::vector<int>{1000, 1500}));
    QCoreApplication::processEvents();

    PaintRecorder paints(h.view.get());
    h.clock.time = TimeOfDay{9, 5, 8};
    h.form.timerTick(13);
    h.view->sync();
    h.form.timerTick(14);
    h.view->sync();
    QCoreApplication::processEvents();
    const QRect clock = h.widget(h.form.Label12)->geometry();
    EXPECT_TRUE(paints.controls.contains(h.widget(h.form.Label12)));
    EXPECT_LE(paints.controls.size(), 3u);
    long long area = 0;
    for (const QRect& r : paints.windowArea) area += static_cast<long long>(r.width()) * r.height();
    EXPECT_TRUE(paints.windowArea.intersects(clock));
    EXPECT_LT(area, 1024 * 768 / 20) << "a tick repainted " << area << " of the window's pixels";
}

TEST(FormView, WidgetsStandAtTheirTwipsInPixels) {
    ViewHarness h;
    EXPECT_EQ(h.view->geometry().size(), QSize(1024, 768));
    const Label& january = h.form.label(11);
    EXPECT_EQ(h.widget(january)->pos(), QPoint(72, 80));
    EXPECT_EQ(h.widget(h.form.labelArray(10)[36])->pos(), QPoint(160, 120));
    EXPECT_EQ(h.widget(h.form.Image4)->size(), QSize(102, 124));
    EXPECT_EQ(h.widget(h.form.Image1)->size(), QSize(61, 50));
    EXPECT_EQ(h.widget(h.form.Label113)->toolTip().toStdString(), "Выбор шрифта - щелчком мышки");
    EXPECT_EQ(h.view->widgetOf(h.form.PctFon), nullptr);
}

TEST(FormView, RealFontsGrowADayCellFromOneDigitToTwo) {
    ViewHarness h;
    Label& cell = h.form.labelArray(10)[0];
    const Twips one = cell.width();
    const Twips left = cell.left();
    cell.setCaption("28");
    EXPECT_GT(cell.width(), one * 1.5f);
    EXPECT_EQ(cell.left(), left);
    h.view->sync();
    EXPECT_EQ(h.widget(cell)->width(), h.view->toPixels(cell.width()));
}

TEST(FormView, EveryChangeOfTheCoreShowsOnScreen) {
    ViewHarness h;
    Label& title = h.form.Label112;
    const QRect r = h.widget(title)->geometry();
    EXPECT_EQ(countPixels(h.view->grab().toImage(), r, QColor(0xFF, 0x00, 0xFF)), 0);
    title.setForeColour(0xFF00FF);
    h.view->sync();
    EXPECT_GT(countPixels(h.view->grab().toImage(), r, QColor(0xFF, 0x00, 0xFF)), 50);

    h.form.Image2.move(0, 0);
    h.form.Image3.setVisible(false);
    h.view->sync();
    EXPECT_EQ(h.widget(h.form.Image2)->pos(), QPoint(0, 0));
    EXPECT_FALSE(h.widget(h.form.Image3)->isVisible());
}

TEST(FormView, CursorsMarkTheClickableControls) {
    ViewHarness h;
    EXPECT_EQ(h.widget(h.form.label(11))->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(h.widget(h.form.Image1)->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(h.widget(h.form.labelArray(10)[3])->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(h.widget(h.form.Label1)->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(h.widget(h.form.Image4)->cursor().shape(), Qt::ArrowCursor);
}

TEST(FormView, AClickOnAControlWithoutHandlerIsNotAClickOnTheWindow) {
    ViewHarness h;
    h.view->show();
    for (const Control* c : {static_cast<const Control*>(&h.form.labelArray(10)[3]),
                             static_cast<const Control*>(&h.form.Label1), static_cast<const Control*>(&h.form.Image4),
                             static_cast<const Control*>(&h.form.label(3))})
        h.clickAt(h.centreOf(*c));
    EXPECT_FALSE(h.form.ended());
    h.clickAt(QPoint(500, 740));
    EXPECT_TRUE(h.form.ended());
    EXPECT_EQ(h.process.ends, std::vector<int>{0});
}

TEST(FormView, KeyCodesAndCharacters) {
    EXPECT_EQ(windowKeyCode(Qt::Key_F10), 121);
    EXPECT_EQ(windowKeyCode(Qt::Key_F1), 112);
    EXPECT_EQ(windowKeyCode(Qt::Key_A), 65);
    EXPECT_EQ(windowKeyCode(Qt::Key_Escape), 27);
    EXPECT_TRUE(producesCharacter(Qt::Key_A, "a"));
    EXPECT_TRUE(producesCharacter(Qt::Key_Escape, "\x1b"));
    EXPECT_TRUE(producesCharacter(Qt::Key_Return, "\r"));
    EXPECT_TRUE(producesCharacter(Qt::Key_Space, " "));
    EXPECT_FALSE(producesCharacter(Qt::Key_Delete, "\x7f"));
    EXPECT_FALSE(producesCharacter(Qt::Key_F10, ""));
    EXPECT_FALSE(producesCharacter(Qt::Key_Shift, ""));
}
