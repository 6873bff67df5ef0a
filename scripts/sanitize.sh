#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-san/ and runs the
# whole test suite there, the real program under Xvfb included. Expects scripts/setup.sh --tests to have run.
#   scripts/sanitize.sh [ctest options]
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/sanitizers/env.sh
cmake -S . -B build-san -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLADOSLOV_SANITIZE=ON -DLADOSLOV_WERROR=ON \
  -DLADOSLOV_BENCHMARKS=OFF
cmake --build build-san -j"$(nproc)"
cd build-san
# The fuzzer builds and runs itself with the same sanitizers; once, in build/, is enough.
# One at a time: the sanitized program is several times slower, and the timed checks (a window gone
# within a second of the key that ends it) are about the program's own pace.
ctest --output-on-failure --timeout 600 -LE 'fuzz' "$@"
