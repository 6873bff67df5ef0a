// The input that ends the screensaver, and shut-down.

#include "screen/form.h"
#include "services/skip_on_failure.h"

namespace ladoslov {

// Kept: a click or key sends "stop" here and again in Form_Unload, which every other close runs alone.
void Form1::Form_Click() {
    skipOnFailure([&] {
        if (!TunePath.empty()) SendTuneCommand("stop");
    });
    closeWindow();
}

void Form1::Form_KeyPress(char32_t) { Form_Click(); }

void Form1::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    skipOnFailure([&] {
        if (!TunePath.empty()) SendTuneCommand("stop");
    });
    endProgram(0);
}

void Form1::Form_KeyDown(int keyCode, int) {
    if (keyCode == kKeyF10) ShowPrayer();
}

void Form1::Form_KeyUp(int keyCode, int) {
    if (keyCode == kKeyF10) RestoreTodayNames();
}

}  // namespace ladoslov
