#pragma once
#include <QFont>
#include <QString>
#include <string_view>

#include "screen/controls.h"

namespace ladoslov {

// The design's fonts on this desktop: "Times New Roman" and "MS Sans Serif" fall back to the nearest
// metric-compatible families where they are missing.
// scale shrinks the point size with a scaled-down layout (see viewScale).
QFont toQFont(const Font& font, double scale = 1.0);

// How a view drawn at twipsPerPixel scales the fonts and pictures: 1 at the screen's own twips per pixel,
// less in a scaled-down preview.
double viewScale(double twipsPerPixel);

// A caption as Qt text: "\r\n" line breaks become "\n".
QString captionToQString(std::string_view caption);

}  // namespace ladoslov
