#!/usr/bin/env bash
# Builds the Windows screensaver with warnings as errors and tests it under wine on a virtual screen.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(wine wine64 fonts-wine fonts-liberation locales xvfb xauth xdotool x11-utils imagemagick libfaketime
  tesseract-ocr tesseract-ocr-rus python3 python3-pil)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

scripts/build-windows.sh -DLADOSLOV_WERROR=ON
bash tests/win32/wine_e2e.sh build-win .
