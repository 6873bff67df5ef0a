#!/usr/bin/env bash
# Installs what building and running need (no test tools), builds and runs the screensaver. Without a
# display it runs on a virtual one for a few seconds and leaves a screenshot in build/screen.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cd build
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  exec ./ladoslov /s
fi
echo "No display: running on a virtual screen for 5 seconds."
source ../scripts/packages.sh
install_packages xvfb xauth imagemagick
Xvfb :97 -screen 0 1024x768x24 -nolisten tcp -noreset &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=:97 ./ladoslov /s &
app=$!
sleep 5
DISPLAY=:97 import -window root screen.png
kill "$app" 2>/dev/null || true
echo "Screenshot: build/screen.png"
