#!/usr/bin/env bash
# Installs, builds with warnings as errors, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh -DLADOSLOV_WERROR=ON
cd build
ctest --output-on-failure --timeout 600 "$@"
