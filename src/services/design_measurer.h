#pragma once
// Text measured by the design's own widths, with no font at hand: a one-digit day cell is 120 twips wide,
// a two-digit one 225 (15 + 105 a character), and a line 195 twips high at 8.25 points, scaled by the font
// size. The day-cell listing and the core's tests measure with it.

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "services/services.h"

namespace ladoslov {

class DesignMeasurer final : public TextMeasurer {
public:
    double scale = 1.0;  // a view drawing at another scale measures slightly other sizes

    // Characters of UTF-8 text.
    static std::size_t characters(std::string_view s) {
        std::size_t n = 0;
        for (unsigned char ch : s) n += (ch & 0xC0) != 0x80;
        return n;
    }
    TwipsSize measure(std::string_view text, const Font& font, Twips wrapWidth) const override {
        const double size = scale * font.size / 8.25;
        const Twips lineHeight = static_cast<Twips>(195 * size);
        const std::size_t n = characters(text);
        const Twips width = n == 0 ? 0 : static_cast<Twips>((15 + 105 * static_cast<double>(n)) * size);
        if (wrapWidth > 0) {
            const int lines = std::max(1, static_cast<int>((width + wrapWidth - 1) / wrapWidth));
            return {wrapWidth, lineHeight * static_cast<Twips>(lines)};
        }
        return {width, lineHeight};
    }
};

}  // namespace ladoslov
