#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QPaintEvent>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

#include "fakes/fake_services.h"
#include "qt/qt_services.h"
#include "qt/form_window.h"
#include "qt/view_support.h"

using namespace ladoslov;
using namespace ladoslov::testing;

namespace {

// A window on fakes, mirrored by the real view at 15 twips per pixel, 1024 × 768.
struct ViewHarness : Harness {
    FontMeasurer realMeasurer;
    DrawnScreen drawn{realMeasurer};
    std::unique_ptr<FormWindow> view;
    ViewHarness() {
        form.inventory().setMeasurer(&realMeasurer);
        view = std::make_unique<FormWindow>(form, drawn);
        load();
        view->sync();
    }
    QRect rectOf(const Control& c) { return view->rectOf(c); }
    QPoint centreOf(const Control& c) { return rectOf(c).center(); }
    // A click as the window system delivers it.
    void clickAt(QPoint windowPos, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(view.get(), button, {}, windowPos);
        view->sync();
    }
};

// The intervals of the view's timers that are running, shortest first.
std::vector<int> runningIntervals(const FormWindow& view) {
    std::vector<int> ms;
    for (const QTimer* t : view.findChildren<QTimer*>())
        if (t->isActive()) ms.push_back(t->interval());
    std::sort(ms.begin(), ms.end());
    return ms;
}

// What the window repaints.
class PaintRecorder final : public QObject {
public:
    explicit PaintRecorder(QWidget* window) { window->installEventFilter(this); }
    QRegion area;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) area += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

}  // namespace

// Once the months are filled the screensaver only shows the time: nothing may keep a frame-rate timer
// running or repaint more than the labels that changed, or it costs CPU for as long as it runs.
TEST(FormWindow, AfterTheFillOnlyTheClockAndFeastTimersRunAndATickRepaintsItsLabel) {
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
    const QRect clock = h.rectOf(h.form.Label12);
    EXPECT_TRUE(paints.area.contains(clock));
    // The clock's label and the pixel of rounding around it, nothing more.
    EXPECT_TRUE((paints.area - clock.adjusted(-2, -2, 2, 2)).isEmpty()) << "a tick repainted more than the clock";
}

TEST(FormWindow, ControlsStandAtTheirTwipsInPixels) {
    ViewHarness h;
    EXPECT_EQ(h.view->geometry().size(), QSize(1024, 768));
    const Label& january = h.form.label(11);
    EXPECT_EQ(h.rectOf(january).topLeft(), QPoint(72, 80));
    EXPECT_EQ(h.rectOf(h.form.labelArray(10)[36]).topLeft(), QPoint(160, 120));
    EXPECT_EQ(h.rectOf(h.form.Image4).size(), QSize(102, 124));
    EXPECT_EQ(h.rectOf(h.form.Image1).size(), QSize(61, 50));
    // The hidden picture box is never under the pointer, wherever it stands.
    EXPECT_NE(h.view->controlAt(h.centreOf(h.form.PctFon)), &h.form.PctFon);
}

TEST(FormWindow, RealFontsGrowADayCellFromOneDigitToTwo) {
    ViewHarness h;
    Label& cell = h.form.labelArray(10)[0];
    const Twips one = cell.width();
    const Twips left = cell.left();
    cell.setCaption("28");
    EXPECT_GT(cell.width(), one * 1.5f);
    EXPECT_EQ(cell.left(), left);
    h.view->sync();
    EXPECT_EQ(h.rectOf(cell).width(), h.view->toPixels(cell.width()));
}

TEST(FormWindow, EveryChangeOfTheCoreShowsOnScreen) {
    ViewHarness h;
    Label& title = h.form.Label112;
    const QRect r = h.rectOf(title);
    EXPECT_EQ(countPixels(h.view->grab().toImage(), r, QColor(0xFF, 0x00, 0xFF)), 0);
    title.setForeColour(0xFF00FF);
    h.view->sync();
    EXPECT_GT(countPixels(h.view->grab().toImage(), r, QColor(0xFF, 0x00, 0xFF)), 50);

    const QRect image3 = h.rectOf(h.form.Image3);
    const QImage boat(QStringLiteral(":/pictures/image2.gif")), music(QStringLiteral(":/pictures/image3.gif"));
    const auto [shownBefore, opaque3] = pictureShown(h.view->grab().toImage(), image3.topLeft(), music, image3);
    ASSERT_GT(opaque3, 1000);
    EXPECT_EQ(shownBefore, opaque3);
    h.form.Image2.move(0, 0);
    h.form.Image3.setVisible(false);
    h.view->sync();
    const auto [same, opaque] = pictureShown(h.view->grab().toImage(), QPoint(0, 0), boat, QRect(0, 0, 91, 71));
    EXPECT_EQ(same, opaque);
    EXPECT_LT(pictureShown(h.view->grab().toImage(), image3.topLeft(), music, image3).first, opaque3 / 2);
    EXPECT_EQ(h.view->controlAt(image3.center()), nullptr);
}

// The cursor and the tooltip follow the control under the pointer; a control that goes from under a
// resting pointer takes its cursor with it.
TEST(FormWindow, CursorsAndTooltipsFollowTheControlUnderThePointer) {
    ViewHarness h;
    h.view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(h.view.get()));
    const QImage a = QPixmap(QStringLiteral(":/cursors/cursor_a.png")).toImage();
    const QImage b = QPixmap(QStringLiteral(":/cursors/cursor_b.png")).toImage();
    struct Case {
        const Control& control;
        const QImage* cursor;  // nullptr: the arrow
        const char* tip;
    };
    const Case cases[] = {
        {h.form.label(11), &a, "Все названия месяцев: щелчок мышки - выбор цвета шрифта дней месяца"},
        {h.form.Image1, &b, "Включить музыку!"},
        {h.form.Label113, &a, "Выбор шрифта - щелчком мышки"},
        {h.form.labelArray(10)[3], nullptr, ""},
        {h.form.Label1, nullptr, nullptr},
        {h.form.Image4, nullptr, "Спас Нерукотворный"},
        {h.form.Image2, &a, "Отбуксируй меня на глубоководье!"},
    };
    for (const Case& c : cases) {
        const QPoint p = h.centreOf(c.control);
        QTest::mouseMove(h.view.get(), p);
        if (c.cursor) {
            EXPECT_EQ(h.view->cursor().shape(), Qt::BitmapCursor) << c.control.displayName();
            EXPECT_EQ(h.view->cursor().pixmap().toImage(), *c.cursor) << c.control.displayName();
        } else {
            EXPECT_EQ(h.view->cursor().shape(), Qt::ArrowCursor) << c.control.displayName();
        }
        if (!c.tip) continue;
        QHelpEvent help(QEvent::ToolTip, p, h.view->mapToGlobal(p));
        QCoreApplication::sendEvent(h.view.get(), &help);
        if (*c.tip)
            EXPECT_EQ(QToolTip::text().toStdString(), c.tip) << c.control.displayName();
        else
            EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); })) << c.control.displayName();
    }
    // The boat hidden by a click leaves the bare window and its arrow under the pointer.
    h.clickAt(h.centreOf(h.form.Image2));
    ASSERT_FALSE(h.form.Image2.visible());
    EXPECT_EQ(h.view->cursor().shape(), Qt::ArrowCursor);
}

TEST(FormWindow, AClickOnAControlWithoutHandlerIsNotAClickOnTheWindow) {
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

// A window at a coarser scale (a small preview of the screen) shows the whole design smaller, its text
// and pictures too: the title looks as the full-size screen shrunk to half.
TEST(FormWindow, ACoarserScaleShrinksTheWholeDesign) {
    ViewHarness h;
    h.form.Label112.setForeColour(0xFF00FF);
    h.view->sync();
    DrawnScreen halfScreen(h.realMeasurer);
    halfScreen.reshape(512, 384, 48);
    FormWindow half(h.form, halfScreen);
    EXPECT_EQ(half.size(), QSize(512, 384));
    EXPECT_EQ(half.rectOf(h.form.Image1).size(), QSize(31, 25));
    const QImage big = h.view->grab().toImage().scaled(512, 384, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage small = half.grab().toImage();
    const auto magenta = [](QRgb c) { return qRed(c) > 150 && qBlue(c) > 150 && qGreen(c) < 110; };
    int both = 0, either = 0;
    QRect ba, bb;  // where the text stands in each
    const QRect title = half.rectOf(h.form.Label112).adjusted(-4, -4, 4, 4);
    for (int y = title.top(); y <= title.bottom(); ++y)
        for (int x = title.left(); x <= title.right(); ++x) {
            const bool a = magenta(big.pixel(x, y)), b = magenta(small.pixel(x, y));
            if (a) ba |= QRect(x, y, 1, 1);
            if (b) bb |= QRect(x, y, 1, 1);
            both += a && b;
            either += a || b;
        }
    ASSERT_GT(either, 100);
    // Hinting differs between the sizes, so the strokes overlap only in part; unscaled text overlaps
    // in a sixth.
    EXPECT_GT(both, either * 3 / 10) << both << " of " << either;
    for (const auto& [from, to] : {std::pair(ba.topLeft(), bb.topLeft()), std::pair(ba.bottomRight(), bb.bottomRight())})
        EXPECT_LE((from - to).manhattanLength(), 2) << "the title's text stands elsewhere";
    const QRect music = half.rectOf(h.form.Image1);
    long long difference = 0;
    for (int y = music.top(); y <= music.bottom(); ++y)
        for (int x = music.left(); x <= music.right(); ++x) {
            const QRgb a = big.pixel(x, y), b = small.pixel(x, y);
            difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    EXPECT_LT(difference / (music.width() * music.height()), 20) << "the music picture is not shrunk";
}

TEST(FormWindow, KeyCodesAndCharacters) {
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
