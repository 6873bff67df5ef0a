#!/usr/bin/env bash
# Builds the Windows screensaver with warnings as errors and tests it and its installer under wine on a virtual
# screen.
set -euo pipefail
cd "$(dirname "$0")/.."

# GStreamer's base and good plugins let wine's multimedia interface decode the MP3 tune.
packages=(wine wine64 gstreamer1.0-plugins-base gstreamer1.0-plugins-good fonts-wine fonts-liberation locales xvfb
  xauth xdotool x11-utils x11-xserver-utils imagemagick libfaketime tesseract-ocr tesseract-ocr-rus python3 python3-pil)
source scripts/packages.sh
install_packages "${packages[@]}"

scripts/build-windows.sh -DLADOSLOV_WERROR=ON
bash tests/win32/wine_e2e.sh build-win .
bash tests/win32/wine_desktop_test.sh build-win .
bash tests/win32/installer_test.sh build-win .
