#pragma once
// The civil holidays and the naval and professional memorial days, marked on the day cells.

#include <optional>
#include <span>
#include <string_view>

#include "screen/controls.h"

namespace ladoslov {

struct MemorialRule {
    enum class Match {
        Day,          // the cell's caption is the day number `first`
        SundayRange,  // the caption is one of the days first … last and the cell lies in the Sunday row
        Cell,         // the cell with index `first`
    };
    int month;
    Match match;
    int first;
    int last;
    std::optional<Colour> colour;  // none: the cell keeps its colour
    std::string_view toolTip;
    // A click on the month's title writes the tooltip again (its colour is always put back).
    bool titleClickRenames = false;
};

// In the order in which they are applied within each month.
std::span<const MemorialRule> memorialRules();
std::span<const MemorialRule> memorialRules(int month);

// Whether a Day or SundayRange rule names the cell with this caption and index.
bool matchesCell(const MemorialRule& rule, std::string_view caption, int cellIndex);

}  // namespace ladoslov
