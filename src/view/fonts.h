#pragma once
#include <QFont>
#include <QString>
#include <string_view>

#include "screen/controls.h"

namespace ladoslov {

// The design's fonts on this desktop: "Times New Roman" and "MS Sans Serif" fall back to the nearest
// metric-compatible families where they are missing.
QFont toQFont(const Font& font);

// A caption as Qt text: "\r\n" line breaks become "\n".
QString captionToQString(std::string_view caption);

}  // namespace ladoslov
