#!/usr/bin/env bash
# Builds the Debian package BUILD_DIR/ladoslov_<version>_amd64.deb and checks it with lintian, pedantic
# and informational tags included: errors and any hardening tag fail; the other tags are shown. Expects
# scripts/setup.sh to have run.
#   scripts/package.sh [BUILD_DIR]   (default build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[[ -f "$build/CMakeCache.txt" ]] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)" --target ladoslov ladoslov_manual
(cd "$build" && cpack -G DEB >/dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/ladoslov_${version}_$(dpkg --print-architecture).deb"
[[ -s "$deb" ]] || { echo "package.sh: $deb was not built" >&2; exit 1; }
echo "Built $deb"
dpkg-deb -I "$deb" | sed -n '/Package:/,$p'
if command -v lintian >/dev/null; then
  # Run as root in CI; lintian's checks need no privileges.
  report=$(lintian --allow-root --pedantic -I --tag-display-limit 0 "$deb" 2>&1 || true)
  [[ -n "$report" ]] && echo "$report"
  if grep -q '^E: ' <<<"$report"; then
    echo "package.sh: lintian reports errors" >&2
    exit 1
  fi
  # The program is built with Debian's hardening flags (cmake/Hardening.cmake).
  if grep -q '^[A-Z]: [^ ]*: hardening-' <<<"$report"; then
    echo "package.sh: lintian finds the program not hardened" >&2
    exit 1
  fi
fi
