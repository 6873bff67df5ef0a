#!/usr/bin/env bash
# Installs what building the screensaver needs on Debian 12 and builds it into build/; with --tests also
# the test tools, and the tests and benchmarks with it.
#   scripts/setup.sh [--tests] [extra cmake options]
set -euo pipefail
cd "$(dirname "$0")/.."

# The compiler and the libraries; dpkg-dev for the hardening flags and the package's dependencies.
build_packages=(
  cmake g++ make pkg-config dpkg-dev file
  qt6-base-dev qt6-qpa-plugins libxcb1-dev
  libsdl2-dev libmpg123-dev libsdl2-mixer-dev timgm6mb-soundfont
  fonts-liberation
)
# The tests' tools: GoogleTest, the virtual screen and its drivers, OCR, faked time, the sanitizers'
# runtime, the real screensaver hosts and the package checker.
test_packages=(
  libgtest-dev libgmock-dev python3 python3-pil python3-xlib
  xvfb xauth xdotool x11-utils x11-apps x11-xserver-utils imagemagick libfaketime tesseract-ocr tesseract-ocr-rus
  clang libclang-rt-14-dev
  xscreensaver xscreensaver-data mate-screensaver dbus-daemon libglib2.0-bin dconf-gsettings-backend
  lintian
)
options=(-DLADOSLOV_TESTS=OFF -DLADOSLOV_BENCHMARKS=OFF)
packages=("${build_packages[@]}")
if [[ ${1:-} == --tests ]]; then
  shift
  options=(-DLADOSLOV_TESTS=ON -DLADOSLOV_BENCHMARKS=ON)
  packages+=("${test_packages[@]}")
fi
source scripts/packages.sh
install_packages "${packages[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" "$@"
cmake --build build -j"$(nproc)"
