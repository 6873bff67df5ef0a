#pragma once
#include <QColor>
#include <QImage>
#include <QRect>
#include <algorithm>
#include <utility>

namespace ladoslov::testing {

// Pixels of exactly this colour inside the rectangle, clipped to the picture.
inline int countPixels(const QImage& image, QRect r, QColor colour) {
    int n = 0;
    for (int y = std::max(0, r.top()); y <= std::min(image.height() - 1, r.bottom()); ++y)
        for (int x = std::max(0, r.left()); x <= std::min(image.width() - 1, r.right()); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

// Of the opaque pixels of a picture drawn with its top-left corner at `at`, those inside `within` and
// whether they show exactly as the picture has them: {shown the same, opaque}.
inline std::pair<int, int> pictureShown(const QImage& screen, QPoint at, const QImage& picture, QRect within) {
    const QImage shown = screen.convertToFormat(QImage::Format_ARGB32);
    const QImage own = picture.convertToFormat(QImage::Format_ARGB32);
    int opaque = 0, same = 0;
    for (int y = 0; y < own.height(); ++y)
        for (int x = 0; x < own.width(); ++x) {
            const QPoint p = at + QPoint(x, y);
            if (!within.contains(p) || !shown.rect().contains(p) || qAlpha(own.pixel(x, y)) < 255) continue;
            ++opaque;
            same += (shown.pixel(p) & 0xFFFFFF) == (own.pixel(x, y) & 0xFFFFFF);
        }
    return {same, opaque};
}

}  // namespace ladoslov::testing
