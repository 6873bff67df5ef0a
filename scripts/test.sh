#!/usr/bin/env bash
# Installs, builds with warnings as errors, and runs every test; builds and checks the Debian package; then
# builds again with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test once more.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh -DLADOSLOV_WERROR=ON
(cd build && ctest --output-on-failure --timeout 600 "$@")
# The Debian package: built, checked by lintian, its files listed and the unpacked hack run.
scripts/package.sh
bash tests/package/deb_test.sh build .
scripts/sanitize.sh "$@"
