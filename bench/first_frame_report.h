#pragma once
// What the benchmarks read from the program: the "first-frame <ns>" line it writes to stderr when
// LADOSLOV_FIRST_FRAME is set, on the CLOCK_MONOTONIC clock the bench reads too.

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

inline long long monotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

// The first frame's time in ns, once the whole line has arrived in what the program wrote so far.
inline std::optional<long long> firstFrameNs(const std::string& stderrText) {
    constexpr std::string_view kTag = "first-frame ";
    const auto at = stderrText.find(kTag);
    if (at == std::string::npos || stderrText.find('\n', at) == std::string::npos) return std::nullopt;
    return std::atoll(stderrText.c_str() + at + kTag.size());
}
