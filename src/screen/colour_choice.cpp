// Clicks that recolour captions and the weekday labels with a random palette colour.

#include <algorithm>
#include <cmath>

#include "screen/form.h"

namespace ladoslov {

Colour Form1::RandomPaletteColour() {
    const float r = services_.random.next();
    // A generator outside [0, 1) (or NaN) must not index past the palette.
    const float n = std::clamp(std::floor(r * 16.0f), 0.0f, 15.0f);
    return kPalette[std::isnan(n) ? 0 : static_cast<std::size_t>(n)];
}

void Form1::Label12_Click() { Label12.setForeColour(RandomPaletteColour()); }
void Form1::Label112_Click() { Label112.setForeColour(RandomPaletteColour()); }
// Kept: Label113's tooltip offers a font, but its click, like the others', changes the colour.
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
