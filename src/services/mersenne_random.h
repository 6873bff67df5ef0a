#pragma once
// The random generator of the real programs: a Mersenne twister, uniform in [0, 1).

#include <random>

#include "services/services.h"

namespace ladoslov {

class MersenneRandom final : public RandomSource {
public:
    void seed(std::uint32_t value) override { engine_.seed(value); }
    // 24 random bits: uniform in [0, 1) with single-precision resolution, never 1.
    float next() override { return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f); }

private:
    std::mt19937 engine_{5489u};
};

}  // namespace ladoslov
