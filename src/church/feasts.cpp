// The feast line: today's movable feast, named once at start-up, and the fixed great feasts, looked up
// on every tick of Timer14.

#include "church/easter.h"
#include "church/fixed_feasts.h"
#include "screen/form.h"
#include "services/skip_on_failure.h"

namespace ladoslov {

// Once, at start-up: past midnight the previous day's movable feast stays (kept, as the saints and today's cell).
void Form1::NameMovableFeast() {
    const std::string_view feast = movableFeastOf(services_.clock.today());
    if (!feast.empty()) Label115.setCaption(feast);
}

void Form1::Timer14_Timer() {
    skipOnFailure([&] {
        // Kept: a day of no feast clears nothing, so a feast's name stays past its midnight.
        if (const FixedFeast* f = fixedFeastOf(services_.clock.today())) {
            Label115.setCaption(f->caption);
            if (f->fontSize) Label115.setFontSize(f->fontSize);
        }
    });
    skipOnFailure([&] { centreFeastLine(); });
}

void Form1::centreFeastLine() { Label115.setLeft(services_.screen.width() / 2.0f - Label115.width() / 2.0f); }

}  // namespace ladoslov
