#pragma once
// The desktop's real services for text, pictures and files, with the clock and the screen fixed and no
// sound, other copies or message box: for rendering the screen headless and for the benchmarks.

#include "qt/qt_services.h"
#include "screen/drawn_screen.h"
#include "services/fixed_services.h"

namespace ladoslov {

struct HeadlessDesktop {
    // A screen of widthPx × heightPx at dpi, laid out as the program lays a window of that size out.
    HeadlessDesktop(Date today, TimeOfDay time, int widthPx, int heightPx, double dpi = 96) : clock(today, time) {
        screen.reshape(widthPx, heightPx, dpi);
    }

    FixedClock clock;
    LocaleFormats regional;
    MersenneRandom random;
    FontMeasurer measurer;
    DrawnScreen screen{measurer};
    NoOtherInstance instance;
    NoTopMost topMost;
    SilentMultimedia multimedia;
    DiskFileSystem files;
    JpegPictureLoader pictures;
    NoMessageBox messageBox;
    RecordedEnd process;
    Services services{clock, regional, random, screen, measurer, instance, topMost, multimedia, files, pictures,
                      messageBox, process, ""};
};

}  // namespace ladoslov
