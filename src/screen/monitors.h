#pragma once
// Every monitor covered. The primary monitor shows the form that start-up, the one-instance check and
// the tune know; each other monitor shows a form of its own, laid out for its own size and dpi, that
// shares the primary's services but for its screen, its text measure and its top-most.

#include <memory>

#include "screen/drawn_screen.h"
#include "screen/form.h"
#include "services/fixed_services.h"

namespace ladoslov {

// A monitor as the platform reports it: its place on the desktop and its size in pixels, its dpi.
struct Monitor {
    int left = 0, top = 0, width = 0, height = 0;
    double dpi = 96;
};

// The tune's commands of a form beside the primary's: the first play at start-up is the primary's alone;
// after that its music button and its end send their commands as the primary's do.
class AfterStartupMultimedia final : public MultimediaCommands {
public:
    AfterStartupMultimedia(MultimediaCommands& real, const Form1& form) : real_(real), form_(form) {}
    bool execute(std::string_view command) override { return form_.loaded() && real_.execute(command); }

private:
    MultimediaCommands& real_;
    const Form1& form_;
};

class MonitorForm {
public:
    MonitorForm(const Services& primary, std::unique_ptr<TextMeasurer> measurer, std::unique_ptr<TopMost> topMost);
    MonitorForm(const MonitorForm&) = delete;
    MonitorForm& operator=(const MonitorForm&) = delete;

    Form1& form() { return form_; }
    DrawnScreen& screen() { return screen_; }
    TopMost& topMost() { return *topMost_; }

private:
    std::unique_ptr<TextMeasurer> measurer_;
    std::unique_ptr<TopMost> topMost_;
    DrawnScreen screen_;
    NoOtherInstance instance_;
    AfterStartupMultimedia multimedia_;
    Services services_;
    Form1 form_;
};

}  // namespace ladoslov
