#pragma once
#include <exception>
#include <source_location>

namespace ladoslov {

// Who hears of a failure that skipOnFailure drops: nobody, unless the program was asked to trace them
// (LADOSLOV_TRACE_FAILURES) or a test listens. `what` is the exception's text ("" for a non-standard one).
using SkippedFailureListener = void (*)(const std::source_location& where, const char* what);
// Returns the listener it replaces.
SkippedFailureListener setSkippedFailureListener(SkippedFailureListener listener) noexcept;
void reportSkippedFailure(const std::source_location& where, const char* what) noexcept;

// For the mains: with LADOSLOV_TRACE_FAILURES set in the environment, every skipped failure is written
// to the error output. Nothing changes for a user.
void traceSkippedFailuresIfAsked();

// Runs one step of a handler whose failures are dropped: a step that fails has no effect and the
// handler goes on with the next one.
template <class Step>
void skipOnFailure(Step&& step, const std::source_location& where = std::source_location::current()) noexcept {
    try {
        step();
    } catch (const std::exception& e) {
        reportSkippedFailure(where, e.what());
    } catch (...) {
        reportSkippedFailure(where, "");
    }
}

}  // namespace ladoslov
