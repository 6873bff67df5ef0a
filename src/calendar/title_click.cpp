// A click on a month's title recolours that month and puts its red and blue days back.

#include "calendar/memorial_days.h"
#include "screen/form.h"

namespace ladoslov {

void Form1::MonthTitle_Click(int month) {
    const MonthDesign& m = kMonthBlocks.at(static_cast<std::size_t>(month - 1));
    Label& title = label(m.titleLabel);
    LabelArray& cells = labelArray(m.cellArray);
    const Colour c = RandomPaletteColour();
    for (int i = 0; i < LabelArray::kSize; ++i) {
        cells[i].setForeColour(c);
        title.setForeColour(c);  // kept: once per cell; only the last shows
        // The dated days get the colours the fill gave them; the Sunday rules lie in the Sunday row,
        // which is painted red below anyway.
        for (const MemorialRule& rule : memorialRules(month)) {
            if (rule.match != MemorialRule::Match::Day || !rule.colour) continue;
            if (!matchesCell(rule, cells[i].caption(), i)) continue;
            cells[i].setForeColour(*rule.colour);
            if (rule.titleClickRenames) cells[i].setToolTip(rule.toolTip);
            break;
        }
    }
    for (int i : kWeekendCells) cells[i].setForeColour(kRed);
}

}  // namespace ladoslov
