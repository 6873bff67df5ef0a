#pragma once
#include <exception>

namespace ladoslov {

// Where a skipped step stands in the code: the part of std::source_location the trace needs, taken from the
// compiler's builtins (the clang of the fuzzer's build has no std::source_location with this library).
class FailurePlace {
public:
    constexpr FailurePlace(const char* function, const char* file, unsigned line) noexcept
        : function_(function), file_(file), line_(line) {}
    constexpr const char* function_name() const noexcept { return function_; }
    constexpr const char* file_name() const noexcept { return file_; }
    constexpr unsigned line() const noexcept { return line_; }

private:
    const char* function_;
    const char* file_;
    unsigned line_;
};

// Who hears of a failure that skipOnFailure drops: nobody, unless the program was asked to trace them
// (LADOSLOV_TRACE_FAILURES) or a test listens. `what` is the exception's text ("" for a non-standard one).
using SkippedFailureListener = void (*)(const FailurePlace& where, const char* what);
// Returns the listener it replaces.
SkippedFailureListener setSkippedFailureListener(SkippedFailureListener listener) noexcept;
void reportSkippedFailure(const FailurePlace& where, const char* what) noexcept;

// For the mains: with LADOSLOV_TRACE_FAILURES set in the environment, every skipped failure is written
// to the error output. Nothing changes for a user.
void traceSkippedFailuresIfAsked();

// Runs one step of a handler whose failures are dropped: a step that fails has no effect and the
// handler goes on with the next one.
template <class Step>
void skipOnFailure(Step&& step, const char* function = __builtin_FUNCTION(), const char* file = __builtin_FILE(),
                   unsigned line = __builtin_LINE()) noexcept {
    try {
        step();
    } catch (const std::exception& e) {
        reportSkippedFailure(FailurePlace(function, file, line), e.what());
    } catch (...) {
        reportSkippedFailure(FailurePlace(function, file, line), "");
    }
}

}  // namespace ladoslov
