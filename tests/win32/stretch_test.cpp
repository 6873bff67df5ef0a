// The background's resampling to the window.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "win32/stretch.h"

namespace ladoslov::win32 {
namespace {

struct Picture {
    int width, height, bytesPerPixel;
    std::vector<std::uint8_t> bytes;
    PixelRows rows() const { return {bytes.data(), width, height, width * bytesPerPixel, bytesPerPixel}; }
};

// Blue, green, red of each pixel from f(x, y).
template <class F>
Picture picture(int width, int height, int bytesPerPixel, F f) {
    Picture p{width, height, bytesPerPixel, std::vector<std::uint8_t>(static_cast<std::size_t>(width * height * bytesPerPixel), 0xAA)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto [b, g, r] = f(x, y);
            std::uint8_t* px = &p.bytes[static_cast<std::size_t>((y * width + x) * bytesPerPixel)];
            px[0] = b, px[1] = g, px[2] = r;
        }
    return p;
}

std::vector<std::uint8_t> stretched(const Picture& p, int width, int height) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width * height * 4), 0x55);
    stretch(p.rows(), out.data(), width, height, width * 4);
    return out;
}

struct Colour { std::uint8_t b, g, r; };

TEST(Stretch, AUniformPictureStaysUniformAtEverySizeEdgesIncluded) {
    struct Size { int w, h; };
    for (const int bpp : {3, 4}) {
        const Picture p = picture(7, 5, bpp, [](int, int) { return Colour{10, 200, 255}; });
        for (const Size to : {Size{7, 5}, Size{3, 2}, Size{1, 1}, Size{20, 13}, Size{2, 11}}) {
            const auto out = stretched(p, to.w, to.h);
            for (std::size_t i = 0; i < out.size(); i += 4) {
                ASSERT_EQ(out[i], 10) << bpp << " bytes, " << to.w << "x" << to.h << " at " << i / 4;
                ASSERT_EQ(out[i + 1], 200);
                ASSERT_EQ(out[i + 2], 255);
                ASSERT_EQ(out[i + 3], 0);
            }
        }
    }
}

TEST(Stretch, TheSameSizeCopiesEveryPixel) {
    const Picture p = picture(6, 4, 3, [](int x, int y) {
        return Colour{static_cast<std::uint8_t>(x * 40), static_cast<std::uint8_t>(y * 60), static_cast<std::uint8_t>(x * y)};
    });
    const auto out = stretched(p, 6, 4);
    for (int i = 0; i < 24; ++i)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(out[i * 4 + c], p.bytes[i * 3 + c]) << i << "/" << c;
}

TEST(Stretch, ShrinkingAveragesFineDetailInsteadOfDroppingIt) {
    // Black and white columns one pixel wide, shrunk: every pixel a grey between them, not a sample of one
    // or two columns (which would be near black or white at most of these scales).
    const Picture stripes = picture(16, 2, 3, [](int x, int) {
        const std::uint8_t v = x % 2 ? 255 : 0;
        return Colour{v, v, v};
    });
    for (const int width : {8, 6, 5}) {
        const auto out = stretched(stripes, width, 1);
        for (int x = 0; x < width; ++x) EXPECT_NEAR(out[static_cast<std::size_t>(x) * 4], 128, 20) << width << ": " << x;
    }
}

TEST(Stretch, EnlargingKeepsEachSideAndBlendsBetween) {
    const Picture halves = picture(2, 1, 3, [](int x, int) { return x ? Colour{0, 0, 240} : Colour{0, 0, 0}; });
    const auto out = stretched(halves, 8, 1);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(out[7 * 4 + 2], 240);
    for (int x = 1; x < 8; ++x) EXPECT_LE(out[(x - 1) * 4 + 2], out[x * 4 + 2]) << x;
    EXPECT_GT(out[3 * 4 + 2], 0);
    EXPECT_LT(out[4 * 4 + 2], 240);
}

}  // namespace
}  // namespace ladoslov::win32
