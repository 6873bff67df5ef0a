#include <gtest/gtest.h>

#include "qt/headless_desktop.h"
#include "screen/form.h"

using namespace ladoslov;

namespace {

// The checkout's own Data/name.txt, found where the program looks for it: beside its executable.
class CheckoutFiles final : public FileSystem {
public:
    std::filesystem::path executableDir() const override { return LADOSLOV_SOURCE_DIR; }
    bool isDirectory(const std::filesystem::path& p) const override { return disk_.isDirectory(p); }
    std::unique_ptr<std::istream> openForReading(const std::filesystem::path& p) const override {
        return disk_.openForReading(p);
    }
    std::string findFirstFile(const std::filesystem::path& dir, std::string_view pattern) const override {
        return disk_.findFirstFile(dir, pattern);
    }

private:
    DiskFileSystem disk_;
};

// The real window, measured with the real fonts, started on one day on a 1024 × 768 screen. Both the
// saints' line and the feast line move with the screen's middle, so their distance is the same on every
// screen.
struct StartedOn {
    explicit StartedOn(Date d) : desktop(d, TimeOfDay{10, 30, 0}, 1024, 768, twipsPerPixel()) { form.Form_Load(); }
    HeadlessDesktop desktop;
    CheckoutFiles files;
    Services services{desktop.clock,  desktop.regional,   desktop.random,  desktop.screen,
                      desktop.measurer, desktop.instance, desktop.topMost, desktop.multimedia,
                      files,            desktop.pictures, desktop.messageBox, desktop.process, ""};
    Form1 form{services};
};

}  // namespace

// Every day's names end above the feast line, at the size start-up shows them, with the feast line as
// its first tick leaves it (20 points on 12.07), and at the size they come back in after F10.
TEST(NameDaysFit, EveryDaysSaintsEndAboveTheFeastLine) {
    struct Moment {
        const char* what;
        void (*act)(Form1&);
        double points;
    };
    const Moment moments[] = {
        {"after start-up and the feast line's first tick", [](Form1& f) { f.timerTick(14); }, 14.25},
        {"after F10 is released",
         [](Form1& f) {
             f.Form_KeyDown(kKeyF10, 0);
             f.Form_KeyUp(kKeyF10, 0);
         },
         16},
    };
    int days = 0;
    for (int month = 1; month <= 12; ++month) {
        for (int day = 1; day <= daysInMonth(2028, month); ++day, ++days) {
            const Date date{2028, month, day};
            StartedOn run(date);
            Form1& f = run.form;
            const std::string names = f.Label113.caption();
            EXPECT_EQ(names.empty(), month == 1 && day == 7) << day << "." << month;  // the Nativity names no one
            for (const Moment& m : moments) {
                m.act(f);
                ASSERT_EQ(f.Label113.font().size, m.points);
                ASSERT_EQ(f.Label113.caption(), names);
                EXPECT_LT(f.Label113.top() + f.Label113.height(), f.Label115.top())
                    << day << "." << month << " " << m.what << ": " << names;
            }
            if (month == 7 && day == 12) {
                EXPECT_EQ(f.Label115.font().size, 20);
            }
        }
    }
    EXPECT_EQ(days, 366);
}
