#!/usr/bin/env bash
# Installs, builds with warnings as errors, and runs every test; builds the Windows screensaver and tests it
# under wine; builds and checks the Debian package; then builds again with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs every test once more.
set -euo pipefail
cd "$(dirname "$0")/.."
# Every test, in both builds, runs without a session bus (none is launched for it either).
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
scripts/setup.sh --tests -DLADOSLOV_WERROR=ON
# Two at a time: the end-to-end tests wait for conditions, never for a pace, so they hold beside each other.
(cd build && ctest -j2 --output-on-failure --timeout 600 "$@")
# The Windows screensaver, cross-compiled and tested under wine.
scripts/test-windows.sh
# The Debian package: built, checked by lintian, its files listed and the unpacked hack run.
scripts/package.sh
bash tests/package/deb_test.sh build .
scripts/sanitize.sh "$@"
