#pragma once
// The desktop's real services for text, pictures and files, with the clock and the screen fixed and no
// sound, other copies or message box: for rendering the screen headless and for the benchmarks.

#include "qt/qt_services.h"
#include "services/fixed_services.h"

namespace ladoslov {

struct HeadlessDesktop {
    HeadlessDesktop(Date today, TimeOfDay time, int widthPx, int heightPx, double tpp)
        : clock(today, time), screen(static_cast<Twips>(widthPx * tpp), static_cast<Twips>(heightPx * tpp)) {}

    FixedClock clock;
    LocaleFormats regional;
    MersenneRandom random;
    FixedScreen screen;
    FontMeasurer measurer;
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
