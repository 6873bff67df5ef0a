#include "screen/form.h"

namespace ladoslov {

Form1::Form1(Services& services) : services_(services) { inventory_.setMeasurer(&services_.measurer); }

void Form1::moveWindow(Twips left, Twips top) {
    left_ = left;
    top_ = top;
    ++windowRevision_;
}

void Form1::setWindowSize(Twips width, Twips height) {
    width_ = width;
    height_ = height;
    ++windowRevision_;
}

void Form1::setWindowState(WindowState s) {
    windowState_ = s;
    ++windowRevision_;
}

void Form1::paintBackground() {
    backgroundPainted_ = true;
    ++windowRevision_;
}

void Form1::endProgram(int exitCode) {
    if (ended_) return;
    ended_ = true;
    exitCode_ = exitCode;
    for (int i = 1; i <= kTimerCount; ++i) timer(i).setEnabled(false);
    services_.process.end(exitCode);
}

void Form1::closeWindow() { Form_Unload(); }

int Form1::monthOfTitle(const Control& c) const {
    for (const MonthDesign& m : kMonthBlocks)
        if (&c == &inventory_.label(m.titleLabel)) return m.month;
    return 0;
}

void Form1::click(Control& c) {
    if (ended_) return;
    if (int month = monthOfTitle(c)) return MonthTitle_Click(month);
    if (&c == &Label12) return Label12_Click();
    if (&c == &Label112) return Label112_Click();
    if (&c == &Label113) return Label113_Click();
    if (&c == &Label114) return Label114_Click();
    if (&c == &Label115) return Label115_Click();
    if (&c == &Image1) return Image1_Click();
    if (&c == &Image2) return Image2_Click();
    if (&c == &Image3) return Image3_Click();
}

void Form1::dblClick(Control& c) {
    if (ended_) return;
    if (&c == &Image1) Image1_DblClick();
}

void Form1::mouseDown(Control& c, int button, int shift, Twips x, Twips y) {
    if (ended_) return;
    if (&c == &Image2) Image2_MouseDown(button, shift, x, y);
}

bool Form1::reactsToClick(const Control& c) const {
    return monthOfTitle(c) != 0 || &c == &Label12 || &c == &Label112 || &c == &Label113 || &c == &Label114 ||
           &c == &Label115 || &c == &Image1 || &c == &Image2 || &c == &Image3;
}

bool Form1::filling() const {
    for (int month = 1; month <= 12; ++month)
        if (inventory_.timer(month).enabled()) return true;
    return false;
}

void Form1::timerTick(int number) {
    if (ended_ || !timer(number).enabled()) return;
    if (number <= 12) return FillTimer(number);
    if (number == 13) return Timer13_Timer();
    if (number == 14) return Timer14_Timer();
}

}  // namespace ladoslov
