#!/usr/bin/env bash
# Installs what the screensaver and its tests need on Debian 12 and builds everything into build/.
#   scripts/setup.sh [extra cmake options]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-qpa-plugins
  libsdl2-dev libmpg123-dev libsdl2-mixer-dev timgm6mb-soundfont
  fonts-liberation
  libgtest-dev libgmock-dev
  xvfb xauth xdotool x11-utils x11-apps imagemagick libfaketime tesseract-ocr tesseract-ocr-rus
  python3 python3-pil
  clang libclang-rt-14-dev
  libxcb1-dev xscreensaver xscreensaver-data python3-xlib dpkg-dev file lintian
  mate-screensaver dbus-daemon libglib2.0-bin dconf-gsettings-backend
)
source scripts/packages.sh
install_packages "${packages[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build build -j"$(nproc)"
