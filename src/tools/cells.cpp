// Prints every day cell of the month blocks that shows a day, as the core leaves it once the fill is over
// on a given date and screen: where its caption starts in pixels, its colour and whether it is framed.
// Both front ends' screenshots are checked against this one list.
//
//   ladoslov-cells --date 2026-12-08 [--size 1024x768]
//   → "x y #rrggbb framed|plain day", one cell a line

#include <cmath>
#include <cstdio>
#include <cstring>
#include <istream>

#include "services/fixed_services.h"
#include "services/design_measurer.h"
#include "screen/drawn_screen.h"
#include "screen/form.h"

namespace {

using namespace ladoslov;

class PlainFormats final : public RegionalFormats {
public:
    std::string shortDate(const Date&) const override { return {}; }
    std::string longTime(const TimeOfDay&) const override { return {}; }
};

class FirstRandom final : public RandomSource {
public:
    void seed(std::uint32_t) override {}
    float next() override { return 0; }
};

class NoFiles final : public FileSystem {
public:
    std::filesystem::path executableDir() const override { return {}; }
    bool isDirectory(const std::filesystem::path&) const override { return false; }
    std::unique_ptr<std::istream> openForReading(const std::filesystem::path&) const override { return nullptr; }
    std::string findFirstFile(const std::filesystem::path&, std::string_view) const override { return {}; }
};

class NoPictures final : public PictureLoader {
public:
    bool isLoadableJpeg(const std::filesystem::path&) const override { return false; }
};

}  // namespace

int main(int argc, char** argv) {
    int year = 0, month = 0, day = 0, width = 1024, height = 768, dpi = 96;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--date")) std::sscanf(argv[i + 1], "%d-%d-%d", &year, &month, &day);
        if (!std::strcmp(argv[i], "--size")) std::sscanf(argv[i + 1], "%dx%d", &width, &height);
        if (!std::strcmp(argv[i], "--dpi")) std::sscanf(argv[i + 1], "%d", &dpi);
    }
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > 31 || width <= 0 || height <= 0 || dpi <= 0) {
        std::fprintf(stderr, "usage: ladoslov-cells --date YYYY-MM-DD [--size WIDTHxHEIGHT] [--dpi DPI]\n");
        return 2;
    }
    FixedClock clock(Date{year, month, day}, TimeOfDay{12, 0, 0});
    PlainFormats regional;
    FirstRandom random;
    DesignMeasurer measurer;
    // The screen as the program lays it out: a design that does not fit is drawn smaller.
    DrawnScreen screen(measurer);
    screen.reshape(width, height, dpi);
    const double tpp = screen.twipsPerPixel();
    NoOtherInstance instance;
    NoTopMost topMost;
    SilentMultimedia multimedia;
    NoFiles files;
    NoPictures pictures;
    NoMessageBox messageBox;
    RecordedEnd process;
    Services services{clock, regional, random, screen, measurer, instance, topMost, multimedia, files, pictures,
                      messageBox, process, ""};
    Form1 form(services);
    form.Form_Load();
    while (form.filling())
        for (int m = 1; m <= 12; ++m) form.timerTick(m);

    for (const MonthDesign& m : kMonthBlocks) {
        const LabelArray& cells = form.labelArray(m.cellArray);
        for (const Label* cell : cells.cells) {
            if (!cell->visible() || cell->caption().empty()) continue;
            const Colour c = cell->foreColour() == kSystemText ? 0 : cell->foreColour();
            std::printf("%ld %ld #%06x %s %s\n", std::lround(cell->left() / tpp),
                        std::lround(cell->top() / tpp), static_cast<unsigned>(c),
                        cell->borderStyle() == BorderStyle::FixedSingle ? "framed" : "plain", cell->caption().c_str());
        }
    }
    return 0;
}
