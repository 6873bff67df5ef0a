#!/usr/bin/env bash
# The Windows screensaver under wine on a virtual screen, driven with xdotool and checked on screenshots:
# the core's unit tests, the screen on a known date against the core's listing of the day cells, the feast
# line, the title's tooltip, the keys and clicks that end it, F10, the host's switches, one copy, the tune's
# commands and bad input.   bash tests/win32/wine_e2e.sh BUILD_WIN_DIR SOURCE_DIR
# ImageMagick and the rest from the system, whatever else stands on PATH.
export PATH="/usr/bin:/bin:$PATH"
source "$(dirname "$0")/../e2e/lib.sh"

SCR="$BUILD/ladoslov.scr"
[[ -f "$SCR" ]] || fail "no $SCR"
[[ -n "$FAKETIME_LIB" ]] || fail "libfaketime is not installed"

source "$(dirname "$0")/wine_lib.sh"
start_display 1024x768
t0=$SECONDS
# Made at the faked time of the first test, so that no later start updates it.
wine_prefix "2026-12-08 09:05:00"
echo "  wine prefix ready in $((SECONDS - t0)) s"

# ---- the core's unit tests, built for Windows ----------------------------------------------------------
wine "$BUILD/ladoslov_tests.exe" --gtest_brief=1 >"$WORK/unit.txt" 2>&1 || { tail -n 30 "$WORK/unit.txt"; fail "unit tests under wine"; }
echo "  unit tests: $(grep -E '^\[  PASSED  \]' "$WORK/unit.txt")"
if [[ -f "$BUILD/ladoslov_win32_tests.exe" ]]; then
  wine "$BUILD/ladoslov_win32_tests.exe" --gtest_brief=1 >"$WORK/win32.txt" 2>&1 || { tail -n 30 "$WORK/win32.txt"; fail "Win32 service tests under wine"; }
  echo "  Win32 service tests: $(grep -E '^\[  PASSED  \]' "$WORK/win32.txt")"
fi

# visible_windows: the names of the mapped windows, one a line.
visible_windows() {
  local id
  for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do xdotool getwindowname "$id" 2>/dev/null || true; done
}

# tooltip_text: what a small mapped window (a tooltip) on the screen reads, with OCR; nothing without one.
tooltip_text() {
  local id WIDTH HEIGHT X Y
  for id in $(xdotool search --onlyvisible --name '.*' 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || continue
    ((WIDTH < 600 && HEIGHT < 60)) || continue
    screenshot "$WORK/tip.png"
    convert "$WORK/tip.png" -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage -colorspace Gray -resize 300% "$WORK/tip-big.png"
    tesseract "$WORK/tip-big.png" - -l rus --psm 7 2>/dev/null | tr '\n' ' '
    return 0
  done
}

# wait_gone SECONDS: the program ends within SECONDS; prints its exit code.
wait_gone() { app_exit_code "$1"; }

# ---- /s on a known date: the screen, the cells, F10, a second copy, the tune, a key ------------------
plain_background "#406090"
# The shipped tune, played through GStreamer by wine's multimedia interface, on the null device.
mkdir -p "$WORK/cwd/muz"
cp "$SRC/muz/ladoslov.mp3" "$WORK/cwd/muz/"
FAKETIME_AT="2026-12-08 09:05:07" WINEDEBUG=-all,+mci start_scr /s
id=$(wait_window 90)
eval "$(xdotool getwindowgeometry --shell "$id")"
[[ "$X $Y $WIDTH $HEIGHT" == "0 0 1024 768" ]] || fail "the window covers $WIDTH x $HEIGHT at $X,$Y, not the 1024 x 768 screen"
xdotool mousemove 300 470
wine "$BUILD/ladoslov-cells.exe" --date 2026-12-08 --size 1024x768 >"$WORK/cells.txt" 2>/dev/null || fail "ladoslov-cells"
tr -d '\r' <"$WORK/cells.txt" >"$WORK/cells.lst"
# The fill is over when the screen stands still and shows the listing; a screen that stands still otherwise
# for a minute is wrong.
deadline=$((SECONDS + 60))
wait_still "$WORK/filled.png" "${CLOCK[@]}"
until pixels cells "$WORK/filled.png" "$WORK/cells.lst" >"$WORK/cells.out"; do
  ((SECONDS < deadline)) || { cat "$WORK/cells.out"; fail "day cells differ from the core's listing"; }
  wait_still "$WORK/filled.png" "${CLOCK[@]}"
done
head -n1 "$WORK/cells.out"

# F10 held shows the prayer in Label113's place, its release today's saints (8 December: Климент, …), read
# with OCR (read_saints).
saints="192 299 512 140"
# shows_after_change BEFORE OUT WORDS…: waits until Label113's place differs from BEFORE and reads WORDS.
shows_after_change() {
  local before=$1 out=$2 text deadline=$((SECONDS + 20))
  shift 2
  while :; do
    screenshot "$out"
    if (($(pixels changed "$before" "$out" $saints) > 300)); then
      text=$(read_saints "$out")
      grep -q "$*" <<<"$text" && return 0
    fi
    ((SECONDS < deadline)) || fail "Label113 does not show \"$*\" (read: ${text:-nothing})"
  done
}
grep -q "Климент" <<<"$(read_saints "$WORK/filled.png")" || fail "today's saints are not shown"
xdotool keydown F10
shows_after_change "$WORK/filled.png" "$WORK/prayer.png" "Моли Бога"
xdotool keyup F10
shows_after_change "$WORK/prayer.png" "$WORK/saints.png" "Климент"
keeps_running "F10 ended the screensaver"

# A second copy ends at once and leaves the first running.
first=$APP_PID
start_scr /s
[[ $(wait_gone 60) == 0 ]] || fail "a second copy did not end with 0"
APP_PID=$first
keeps_running "the second copy ended the first"

# A character key ends it; the tune was played once and is stopped twice.
xdotool key x
[[ $(wait_gone 15) == 0 ]] || fail "a character key did not end the screensaver"
trace="$WORK/stderr.$first"
plays=$(grep -cF 'mciExecute (play "muz\ladoslov.mp3")' "$trace" || true)
stops=$(grep -cF 'mciExecute (stop "muz\ladoslov.mp3")' "$trace" || true)
echo "  mciExecute: $plays play, $stops stop"
((plays == 1 && stops == 2)) || fail "expected one play and two stop commands at mciExecute, saw $plays and $stops"

# ---- the feast line on Easter Sunday, and a click on the bare window ----------------------------------
FAKETIME_AT="2026-04-12 10:30:00" start_scr /s
wait_window 90 >/dev/null
xdotool mousemove 300 470
# The screen may stand still before its first paint: the line must come within a minute.
deadline=$((SECONDS + 60))
wait_still "$WORK/easter.png" "${CLOCK[@]}"
until check_feast "$WORK/easter.png" "Пасха"; do
  ((SECONDS < deadline)) || fail "12 April 2026: the feast line does not read Пасха"
  wait_still "$WORK/easter.png" "${CLOCK[@]}"
done
# The title's tooltip shows while the pointer rests on it, and goes when it leaves.
xdotool mousemove 510 282
deadline=$((SECONDS + 20))
until tip=$(tooltip_text) && grep -q "Выбор цвета шрифта" <<<"$tip"; do
  ((SECONDS < deadline)) || fail "no tooltip over the title (read: ${tip:-nothing})"
done
echo "  the title's tooltip: $tip"
xdotool mousemove 300 470
deadline=$((SECONDS + 20))
while [[ -n $(tooltip_text) ]]; do ((SECONDS < deadline)) || fail "the tooltip stays after the pointer left the title"; done
xdotool click 1
[[ $(wait_gone 15) == 0 ]] || fail "a click on the bare window did not end the screensaver"

# ---- the host's switches ---------------------------------------------------------------------------------
start_scr /p 1234
[[ $(wait_gone 60) == 0 ]] || fail "/p 1234 did not end with 0"
start_scr /c
deadline=$((SECONDS + 60))
until box=$(xdotool search --onlyvisible --name '^Ладослов$' 2>/dev/null | head -n1) && [[ -n "$box" ]]; do
  ((SECONDS < deadline)) || fail "/c shows no message box titled Ладослов"
  sleep 0.2
done
[[ -z $(visible_windows | grep -x Form1 || true) ]] || fail "/c shows the screensaver"
import -window "$box" "$WORK/box.png"
convert "$WORK/box.png" -colorspace Gray -resize 300% "$WORK/box-big.png"
text=$(tesseract "$WORK/box-big.png" - -l rus --psm 6 2>/dev/null | tr '\n' ' ')
echo "  /c says: $text"
similar "Конфигурации не требуется!" "$(grep -o 'Конфиг[^!]*!\?' <<<"$text" | head -n1)" >/dev/null ||
  fail "/c does not say Конфигурации не требуется!"
xdotool key --window "$box" Return
[[ $(wait_gone 15) == 0 ]] || fail "/c did not end when its box was closed"

# ---- bad input: nothing but the screen, and a key ends it -------------------------------------------
# bad_run NAME: the copy in $WORK/$NAME with its own files, as the step before made them.
bad_run() {
  start_scr /s
  wait_window 90 >/dev/null
  xdotool mousemove 300 470
  wait_still "$WORK/$1.png" "${CLOCK[@]}"
  local others
  others=$(visible_windows | grep -vx Form1 || true)
  [[ -z $others ]] || fail "$1: windows besides the screen: $others"
  xdotool key Escape
  [[ $(wait_gone 15) == 0 ]] || fail "$1: a key did not end the screensaver"
}
export CWD="$WORK/bad" SCR_COPY="$WORK/bad/ladoslov.scr"
mkdir -p "$CWD/Data" "$CWD/muz"
cp "$SCR" "$SCR_COPY"
# No name file, a truncated background, random bytes as the tune.
head -c 20000 "$SRC/Data/ladoslov.jpg" >"$CWD/Data/ladoslov.jpg"
head -c 5000 /dev/urandom >"$CWD/muz/ladoslov.mp3"
bad_run bad1
# Random bytes as the name file, an empty background and an empty tune.
head -c 5000 /dev/urandom >"$CWD/Data/name.txt"
: >"$CWD/Data/ladoslov.jpg"
rm "$CWD/muz/ladoslov.mp3"
: >"$CWD/muz/ladoslov.mid"
bad_run bad2
echo "PASS ($((SECONDS - t0)) s)"
