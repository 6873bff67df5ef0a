// Clicks that recolour captions and the weekday labels with a random palette colour.

#include <algorithm>
#include <cmath>

#include "screen/form.h"

namespace ladoslov {

Colour Form1::RandomPaletteColour() {
    const float r = services_.random.next();
    const int n = static_cast<int>(std::floor(r * 16.0f));
    return kPalette[static_cast<std::size_t>(std::clamp(n, 0, 15))];
}

void Form1::Label12_Click() { Label12.setForeColour(RandomPaletteColour()); }
void Form1::Label112_Click() { Label112.setForeColour(RandomPaletteColour()); }
void Form1::Label113_Click() { Label113.setForeColour(RandomPaletteColour()); }
void Form1::Label114_Click() { Label114.setForeColour(RandomPaletteColour()); }
void Form1::Label115_Click() { Label115.setForeColour(RandomPaletteColour()); }

void Form1::Image3_Click() {
    const Colour c = RandomPaletteColour();
    std::vector<int> weekdayLabels;
    for (const MonthDesign& m : kMonthBlocks)
        for (int row = 0; row < 7; ++row) weekdayLabels.push_back(m.weekdayLabel(row));
    std::sort(weekdayLabels.begin(), weekdayLabels.end());
    for (int number : weekdayLabels) label(number).setForeColour(c);
}

}  // namespace ladoslov
