#include "services/skip_on_failure.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace ladoslov {

namespace {

std::atomic<SkippedFailureListener> listener{nullptr};

void writeToErrorOutput(const FailurePlace& where, const char* what) {
    std::fprintf(stderr, "ladoslov: skipped a failing step of %s (%s:%u): %s\n", where.function_name(),
                 where.file_name(), static_cast<unsigned>(where.line()), *what ? what : "unknown failure");
}

}  // namespace

SkippedFailureListener setSkippedFailureListener(SkippedFailureListener l) noexcept { return listener.exchange(l); }

void reportSkippedFailure(const FailurePlace& where, const char* what) noexcept {
    if (const SkippedFailureListener l = listener.load()) l(where, what);
}

void traceSkippedFailuresIfAsked() {
    if (std::getenv("LADOSLOV_TRACE_FAILURES")) setSkippedFailureListener(&writeToErrorOutput);
}

}  // namespace ladoslov
