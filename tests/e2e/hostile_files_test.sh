#!/usr/bin/env bash
# Broken, huge or foreign files where the program looks for its background, tune and name-day file: each
# time it starts, draws the calendar, shows no message, keeps running, ends with 0 on a key, never crashes.
source "$(dirname "$0")/lib.sh"

background="#6080a0"
big_colour="#30a060"
start_display 1024x768

# Room for the pictures made here (the 1 GB name file is sparse: a few KiB on disk).
(($(df -Pk "$WORK" | awk 'NR == 2 {print $4}') > 200 * 1024)) || fail "less than 200 MB free beside $WORK"

# check_run NAME: one run with the files as they are now. Sets WINDOW_MS (start to the mapped window),
# PEAK_KB (the program's peak resident memory) and leaves the screenshot in $WORK/NAME.png.
check_run() {
  local name=$1 t0 id rc
  t0=$(now_ms)
  start_app /s
  id=$(wait_window 40)
  WINDOW_MS=$(($(now_ms) - t0))
  # Once the fill is over and the screen stands still, a message or a crash would have come.
  wait_still "$WORK/$name.png" "${CLOCK[@]}"
  keeps_running "$name: the program ended by itself"
  PEAK_KB=$(memory_kb VmHWM)
  local shot=$WORK/$name.png
  # January's title at (72, 80) px and December's at (912, 560): black letters on whatever picture.
  (($(pixels count "$shot" 72 80 44 13 "#000000" 60) > 25)) || fail "$name: no January title"
  (($(pixels count "$shot" 912 560 52 13 "#000000" 60) > 25)) || fail "$name: no December title"
  local names others
  names=$(xdotool search --onlyvisible --name . 2>/dev/null | while read -r w; do xdotool getwindowname "$w"; done)
  [[ $(grep -cx Form1 <<<"$names") == 1 ]] || fail "$name: not exactly one Form1 window: $names"
  others=$(grep -vx Form1 <<<"$names" || true)
  [[ -z "$others" ]] || fail "$name: another window appeared: $others"
  xdotool windowfocus --sync "$id"
  xdotool key a
  rc=$(app_exit_code 5)
  [[ "$rc" == 0 ]] || fail "$name: a key did not end it with 0 (got $rc)"
  local err=$WORK/stderr.$APP_PID
  ! grep -Eiq 'segmentation|abort|core dumped|terminate called|bad_alloc|sanitizer|runtime error|double free|corrupted|stack smashing|fatal' "$err" ||
    fail "$name: the program's stderr tells of a crash: $(head -c 600 "$err")"
  [[ -s "$err" ]] && echo "  $name: stderr: $(head -c 300 "$err" | tr '\n' ' ')"
  APP_PID=""
  echo "  $name: window after $WINDOW_MS ms, peak memory $((PEAK_KB / 1024)) MiB"
}

# ---- the background picture in the working directory ---------------------------------------------------
mkdir -p "$WORK/cwd/Data"
jpg=$WORK/cwd/Data/ladoslov.jpg

: >"$jpg"
check_run empty-jpeg

# A noisy picture cut in the middle of its image data.
"$PY" -c "from PIL import Image; Image.effect_noise((1680, 1260), 60).convert('RGB').save('$WORK/noise.jpg', quality=90)"
head -c 16384 "$WORK/noise.jpg" >"$jpg"
check_run truncated-jpeg

# 16384 x 12288 = 201 megapixels of one colour: about 3 MB on disk, 800 MB once decoded in full.
"$PY" -c "from PIL import Image; Image.new('RGB', (16384, 12288), '$big_colour').save('$jpg', quality=90)"
check_run huge-jpeg
# The picture is painted, shrunk to the screen: its colour between the month blocks.
(($(pixels count "$WORK/huge-jpeg.png" 300 420 40 40 "$big_colour" 12) > 1500)) ||
  fail "huge-jpeg: the 200-megapixel picture is not painted"
echo "  huge-jpeg: painted"

# A whole picture with bytes after its end marker, as cameras and editors leave them: it is painted.
"$PY" -c "from PIL import Image; Image.new('RGB', (1680, 1260), '$big_colour').save('$jpg', quality=90)"
head -c 3000 /dev/urandom >>"$jpg"
check_run trailing-bytes-jpeg
(($(pixels count "$WORK/trailing-bytes-jpeg.png" 300 420 40 40 "$big_colour" 12) > 1500)) ||
  fail "trailing-bytes-jpeg: the picture is not painted"
echo "  trailing-bytes-jpeg: painted"
rm -f "$jpg" "$WORK/noise.jpg"

# ---- the tune: random bytes under each name it may have ------------------------------------------------
plain_background "$background"
mkdir -p "$WORK/cwd/muz"
for ext in mid mp3 wav; do
  rm -f "$WORK/cwd/muz"/*
  head -c 65536 /dev/urandom >"$WORK/cwd/muz/ladoslov.$ext"
  check_run "random-$ext"
  (($(pixels count "$WORK/random-$ext.png" 300 420 40 40 "$background" 12) > 1500)) ||
    fail "random-$ext: the background picture is not painted"
done
rm -rf "$WORK/cwd/muz"

# ---- the name-day file beside the executable -----------------------------------------------------------
exe=$WORK/exe
mkdir -p "$exe/Data"
cp "$BUILD/ladoslov" "$exe/"
[[ -d "$BUILD/muz" ]] && cp -r "$BUILD/muz" "$exe/"
name_file=$exe/Data/name.txt
# The names label: 512 x 86 px at (192, 299), dark red.
names_ink() { pixels count "$WORK/$1.png" 192 299 512 86 "#800000" 40; }
export FAKETIME_AT="2026-12-08 12:00:00"

head -c 1048576 /dev/urandom >"$name_file"
BUILD=$exe check_run garbage-names
(($(names_ink garbage-names) == 0)) || fail "garbage-names: saints shown from garbage"
garbage_peak=$PEAK_KB

rm -f "$name_file"
mkdir "$name_file"
BUILD=$exe check_run directory-names
(($(names_ink directory-names) == 0)) || fail "directory-names: saints shown"
rmdir "$name_file"

# Today's line, then NUL bytes up to 1 GiB without a line break: sparse, so cheap to make.
printf '08.12 %s' "$(printf 'Климент, Пётр, Магдалина' | iconv -f UTF-8 -t CP1251)" >"$name_file"
truncate -s 1G "$name_file"
BUILD=$exe check_run gigabyte-line
# Only the start of the line is kept: the memory stays near that of a small file.
((PEAK_KB < garbage_peak + 64 * 1024)) ||
  fail "gigabyte-line: peak memory $((PEAK_KB / 1024)) MiB, against $((garbage_peak / 1024)) MiB with a 1 MB file"
((WINDOW_MS < 30000)) || fail "gigabyte-line: the window took $WINDOW_MS ms"
(($(names_ink gigabyte-line) > 200)) || fail "gigabyte-line: today's saints are not shown"
rm -f "$name_file"
echo "PASS"
