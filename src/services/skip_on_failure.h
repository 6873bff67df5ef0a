#pragma once
#include <exception>

namespace ladoslov {

// Runs one step of a handler whose failures are dropped: a step that fails has no effect and the
// handler goes on with the next one.
template <class Step>
void skipOnFailure(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

}  // namespace ladoslov
