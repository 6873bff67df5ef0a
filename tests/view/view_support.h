#pragma once
#include <QColor>
#include <QImage>
#include <QRect>
#include <algorithm>

namespace ladoslov::testing {

// Pixels of exactly this colour inside the rectangle, clipped to the picture.
inline int countPixels(const QImage& image, QRect r, QColor colour) {
    int n = 0;
    for (int y = std::max(0, r.top()); y <= std::min(image.height() - 1, r.bottom()); ++y)
        for (int x = std::max(0, r.left()); x <= std::min(image.width() - 1, r.right()); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

}  // namespace ladoslov::testing
