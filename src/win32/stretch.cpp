#include "win32/stretch.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace ladoslov::win32 {

namespace {

constexpr int kShift = 14;  // weights in fixed point: one is 1 << kShift

// The source pixels one output pixel weighs along an axis: from `first`, one weight each.
struct Taps {
    int first = 0;
    std::vector<std::int64_t> weights;
};

std::vector<Taps> tapsOf(int in, int out) {
    const double scale = static_cast<double>(in) / out;
    const double radius = std::max(1.0, scale);
    std::vector<Taps> all(static_cast<std::size_t>(out));
    std::vector<double> w;
    for (int i = 0; i < out; ++i) {
        const double centre = (i + 0.5) * scale;
        const int lo = std::max(0, static_cast<int>(std::floor(centre - radius)));
        const int hi = std::min(in, static_cast<int>(std::ceil(centre + radius)));
        w.clear();
        double sum = 0;
        for (int x = lo; x < hi; ++x) {
            w.push_back(std::max(0.0, 1.0 - std::abs((x + 0.5 - centre) / radius)));
            sum += w.back();
        }
        // The nearest source pixel's centre lies within half a pixel of the centre, so sum > 0. The weights
        // add up to exactly one: what rounding leaves over goes to the heaviest.
        Taps& t = all[static_cast<std::size_t>(i)];
        t.first = lo;
        std::int64_t total = 0;
        for (double v : w) total += t.weights.emplace_back(std::llround(v / sum * (1 << kShift)));
        *std::max_element(t.weights.begin(), t.weights.end()) += (1 << kShift) - total;
    }
    return all;
}

}  // namespace

void stretch(const PixelRows& source, std::uint8_t* out, int width, int height, int stride) {
    if (!source.data || source.width <= 0 || source.height <= 0 || width <= 0 || height <= 0) return;
    const std::vector<Taps> across = tapsOf(source.width, width);
    const std::vector<Taps> down = tapsOf(source.height, height);
    const int bpp = source.bytesPerPixel;
    // One output row at a time: the source rows under it summed down into `row`, then across.
    std::vector<std::int64_t> row(static_cast<std::size_t>(source.width) * 3);
    for (int y = 0; y < height; ++y) {
        std::fill(row.begin(), row.end(), 0);
        const Taps& ty = down[static_cast<std::size_t>(y)];
        for (std::size_t k = 0; k < ty.weights.size(); ++k) {
            const std::uint8_t* s = source.data + static_cast<std::ptrdiff_t>(ty.first + static_cast<int>(k)) * source.stride;
            const std::int64_t wy = ty.weights[k];
            for (int x = 0; x < source.width; ++x)
                for (int c = 0; c < 3; ++c) row[static_cast<std::size_t>(x) * 3 + c] += wy * s[x * bpp + c];
        }
        std::uint8_t* d = out + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            const Taps& tx = across[static_cast<std::size_t>(x)];
            std::int64_t sum[3] = {0, 0, 0};
            for (std::size_t k = 0; k < tx.weights.size(); ++k)
                for (int c = 0; c < 3; ++c) sum[c] += tx.weights[k] * row[(static_cast<std::size_t>(tx.first) + k) * 3 + c];
            for (int c = 0; c < 3; ++c)
                d[x * 4 + c] = static_cast<std::uint8_t>((sum[c] + (std::int64_t{1} << (2 * kShift - 1))) >> (2 * kShift));
            d[x * 4 + 3] = 0;
        }
    }
}

}  // namespace ladoslov::win32
