#!/usr/bin/env bash
# The Debian package: its files, and the hack unpacked from it into an empty folder showing today's saints
# from the unpacked data.   bash tests/package/deb_test.sh BUILD_DIR SOURCE_DIR
source "$(dirname "$0")/../e2e/lib.sh"

DEB=$(ls "$BUILD"/ladoslov_*_*.deb 2>/dev/null | head -n1 || true)
[[ -n "$DEB" ]] || fail "no package in $BUILD (scripts/package.sh builds it)"
echo "  $(basename "$DEB"):"
dpkg-deb -c "$DEB" >"$WORK/contents"
awk '{$2 = $3 = $4 = $5 = ""; print "   ", $0}' "$WORK/contents" | tr -s ' ' 
for path in ./usr/bin/ladoslov ./usr/share/xscreensaver/config/ladoslov.xml ./usr/share/ladoslov/Data/name.txt \
  ./usr/share/ladoslov/Data/ladoslov.jpg ./usr/share/icons/hicolor/32x32/apps/ladoslov.png \
  ./usr/share/applications/ladoslov.desktop ./usr/share/applications/screensavers/ladoslov.desktop \
  ./usr/share/man/man1/ladoslov.1.gz ./usr/share/doc/ladoslov/copyright ./usr/share/doc/ladoslov/changelog.gz; do
  grep -q " $path\$" "$WORK/contents" || fail "the package lacks $path"
done
grep -q ' ./usr/share/ladoslov/muz/ladoslov\.' "$WORK/contents" || fail "the package has no tune"
grep -q ' ./usr/libexec/xscreensaver/ladoslov -> ../../bin/ladoslov$' "$WORK/contents" ||
  fail "the hack is not a relative link to the program"
depends=$(dpkg-deb -f "$DEB" Depends)
for dep in libqt6widgets6 libsdl2-2.0-0 libmpg123-0 libsdl2-mixer-2.0-0 qt6-qpa-plugins fonts-liberation; do
  grep -q "$dep" <<<"$depends" || fail "Depends lacks $dep: $depends"
done
grep -q 'soundfont' <<<"$(dpkg-deb -f "$DEB" Recommends)" || fail "no soundfont among the recommended packages"

mkdir "$WORK/root"
dpkg -x "$DEB" "$WORK/root"
# MATE's theme runs the packaged hack, from the one folder MATE runs hacks from.
theme_hack=$(sed -n 's|^Exec=\(/usr/libexec/xscreensaver/[^ ]*\) --root$|\1|p' \
  "$WORK/root/usr/share/applications/screensavers/ladoslov.desktop")
[[ -n "$theme_hack" ]] && grep -q " .$theme_hack -> " "$WORK/contents" ||
  fail "MATE's theme does not run the packaged hack with --root"
BUILD="$WORK/root/usr/libexec/xscreensaver"
NAMES="$WORK/root/usr/share/ladoslov/Data/name.txt"

# The names label in a 1024×768 window (see namedays_test.sh): its dark red ink.
plain_background "#d8dce0"
start_display 1024x768
export FAKETIME_AT="2026-12-06 09:05:07"
"$PY" "$SRC/tests/e2e/host_window.py" 0 0 1024 768 >"$WORK/host_id" 2>"$WORK/stderr.host" &
STARTED_PIDS+=($!)
for _ in $(seq 100); do [[ -s "$WORK/host_id" ]] && break; sleep 0.05; done
HOST=$(cat "$WORK/host_id")
[[ -n "$HOST" ]] || fail "no host window"

names_ink() {
  start_app --window-id "$HOST"
  wait_blocks_filled 0 0 1024 768 15 >/dev/null
  convert "$WORK/blocks.png" -crop 512x86+192+299 +repage -fuzz 20% -fill white +opaque "#800000" \
    -fill black -opaque "#800000" -negate -format '%[fx:round(w*h*mean)]' info:
  kill -TERM "$APP_PID"
  ends_at_once "SIGTERM"
}
with=$(names_ink)
mv "$NAMES" "$NAMES.away"
without=$(names_ink)
echo "  the names' ink with the unpacked name.txt: $with pixels; without it: $without"
((with > 1000 && without == 0)) || fail "today's saints do not come from the unpacked data"
echo "PASS"
