#pragma once
// A picture's pixels resampled to another size, as the background is stretched to the window.

#include <cstdint>

namespace ladoslov::win32 {

// Pixels of 8-bit blue, green, red (and one unused byte when bytesPerPixel is 4), rows stride bytes apart.
struct PixelRows {
    const std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
    int bytesPerPixel = 3;
};

// Resamples source to width × height 32-bit blue-green-red-unused pixels at out, rows stride bytes apart.
// Each pixel weighs the source under a tent as wide as a source pixel or an output pixel, whichever is
// wider: a picture shrunk is averaged rather than thinned out, one enlarged is interpolated, and the edges
// take only the picture's own pixels.
void stretch(const PixelRows& source, std::uint8_t* out, int width, int height, int stride);

}  // namespace ladoslov::win32
