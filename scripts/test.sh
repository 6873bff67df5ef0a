#!/usr/bin/env bash
# Installs, builds with warnings as errors, and runs every test; builds the Windows screensaver and tests it
# under wine; then builds again with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test once
# more.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh -DLADOSLOV_WERROR=ON
(cd build && ctest --output-on-failure --timeout 600 "$@")
# The Windows screensaver, cross-compiled and tested under wine.
scripts/test-windows.sh
scripts/sanitize.sh "$@"
