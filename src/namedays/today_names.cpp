// Today's saints from the name-day file, and the prayer to the patron saint while F10 is held.

#include <filesystem>

#include "namedays/name_file.h"
#include "namedays/prayer.h"
#include "screen/form.h"

namespace ladoslov {

namespace {
constexpr std::size_t kShownNames = 1500;
}

void Form1::ShowTodayNames() {
    const std::filesystem::path file = services_.files.executableDir() / "Data" / "name.txt";
    const auto in = services_.files.openForReading(file);
    if (!in) return;
    if (auto line = namedays::findTodayLine(*in, services_.clock.today())) {
        TodayNamesLine = *line;
        Label113.setCaption(namedays::namesOfLine(TodayNamesLine, kShownNames));
    }
}

void Form1::ShowPrayer() {
    Label113.setCaption(prayerText());
    Label113.setFontSize(14);
}

void Form1::RestoreTodayNames() {
    if (Label113.caption() != prayerText()) return;
    // The same names text that start-up showed.
    Label113.setCaption(namedays::namesOfLine(TodayNamesLine, kShownNames));
    Label113.setFontSize(16);
}

}  // namespace ladoslov
