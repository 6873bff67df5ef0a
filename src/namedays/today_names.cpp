// Today's saints from the name-day file, and the prayer to the patron saint while F10 is held.

#include <filesystem>
#include <istream>
#include <memory>

#include "namedays/name_file.h"
#include "namedays/prayer.h"
#include "screen/form.h"

namespace ladoslov {

namespace {
constexpr std::size_t kShownNames = 1500;
}

// Once, at start-up: past midnight the previous day's saints stay (kept; only the fixed feasts and clock follow).
void Form1::ShowTodayNames() {
    std::unique_ptr<std::istream> in;
    for (const std::filesystem::path& folder : programFolders(services_.files))
        if ((in = services_.files.openForReading(folder / "Data" / "name.txt"))) break;
    if (!in) return;
    if (auto line = namedays::findTodayLine(*in, services_.clock.today())) {
        TodayNamesLine = *line;
        Label113.setCaption(namedays::namesOfLine(TodayNamesLine, kShownNames));
    }
}

void Form1::ShowPrayer() {
    Label113.setCaption(prayerText());
    Label113.setFontSize(14);  // kept: 14 points for the prayer, 16 for the names after it, never 14.25 again
}

void Form1::RestoreTodayNames() {
    if (Label113.caption() != prayerText()) return;
    // The same names text that start-up showed.
    Label113.setCaption(namedays::namesOfLine(TodayNamesLine, kShownNames));
    Label113.setFontSize(16);
}

}  // namespace ladoslov
