#!/usr/bin/env bash
# Cross-compiles the Windows screensaver on Debian 12 with mingw-w64 into build-win/: ladoslov.scr, the core's
# unit tests as a Windows program, ladoslov-windows.zip (the .scr, Data, muz and a read-me) and the installer
# ladoslov-setup.exe (NSIS).
#   scripts/build-windows.sh [extra cmake options]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake make python3 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools googletest
  imagemagick zip nsis)
source scripts/packages.sh
install_packages "${packages[@]}"

cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release "$@"
cmake --build build-win -j"$(nproc)"

# The only DLLs the screensaver may need are the system's own.
imports=$(x86_64-w64-mingw32-objdump -p build-win/ladoslov.scr | awk '/DLL Name/ {print tolower($3)}')
for dll in $imports; do
  case $dll in
    kernel32.dll | user32.dll | gdi32.dll | gdiplus.dll | comctl32.dll | winmm.dll | shell32.dll | shlwapi.dll | \
      ole32.dll | msvcrt.dll | advapi32.dll) ;;
    *) echo "ladoslov.scr needs $dll, which is no system DLL" >&2; exit 1 ;;
  esac
done

stage=build-win/package/ladoslov
rm -rf build-win/package build-win/ladoslov-windows.zip
mkdir -p "$stage"
cp build-win/ladoslov.scr "$stage/"
cp -r Data muz "$stage/"
# The read-me in the encoding and line ends the system's Notepad expects of a plain file.
printf '\xef\xbb\xbf' >"$stage/README.txt"
sed 's/$/\r/' scripts/windows-readme.txt >>"$stage/README.txt"
(cd build-win/package && zip -qr ../ladoslov-windows.zip ladoslov)

# The installer, of the same files, at the project's version as CMake has it.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-win/CMakeCache.txt)
[[ -n $version ]] || { echo "no project version in build-win/CMakeCache.txt" >&2; exit 1; }
rm -f build-win/ladoslov-setup.exe
# makensis runs in the script's folder: the paths it takes are absolute.
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$PWD/$stage" -DICON="$PWD/build-win/res/ladoslov.ico" \
  -DOUTFILE="$PWD/build-win/ladoslov-setup.exe" res/windows/ladoslov-setup.nsi
echo "build-win/ladoslov.scr, build-win/ladoslov-windows.zip and build-win/ladoslov-setup.exe are ready"
