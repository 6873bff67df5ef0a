#!/usr/bin/env bash
# An input storm on the real program: thousands of clicks on the month titles, the caption lines and the
# palette, F10 held and let go, the boat dragged away and back, from the first frame of the fill on. The
# program keeps running, a key still ends it within a second, and its memory stays flat.
source "$(dirname "$0")/lib.sh"

plain_background "#6080a0"
start_display 1024x768
export LC_ALL=C

# Easter 2026: the feast line has a caption from the start. Centres of the controls on a 1024×768 screen.
TITLES=(92,86 280,86 725,86 932,86 82,246 927,246 87,406 932,406 98,566 287,566 732,566 932,566)
EARLY=(512,277 300,305 503,618 990,25)  # "Ладослов", the saints, the clock, the palette
LATE=(510,668 512,385)                   # the date and the feast line, placed by the fill and the first feast tick
BOAT_GRAB=953,737                        # 20, 40 px into the boat in its corner
BOAT_DROP=600,450                        # bare window between the blocks

# clicks TARGET…: one xdotool run that clicks each target once (xdotool's "click" waits 100 ms a click).
clicks() {
  local args=() t
  for t in "$@"; do args+=(mousemove "${t%,*}" "${t#*,}" mousedown 1 mouseup 1); done
  xdotool "${args[@]}"
  sleep 0.05
}
# drag FROM TO: the left button held from one point to the other, in small steps.
drag() {
  local fx=${1%,*} fy=${1#*,} tx=${2%,*} ty=${2#*,} i
  xdotool mousemove "$fx" "$fy" mousedown 1
  for i in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $((fx + (tx - fx) * i / 8)) $((fy + (ty - fy) * i / 8))
    sleep 0.02
  done
  xdotool mouseup 1
  sleep 0.1
}

FAKETIME_AT="2026-04-12 12:00:00" start_app /s
wait_window >/dev/null
count=0
# Into the fill: the titles, the fixed caption lines and the palette, five times over.
for _ in 1 2 3 4 5; do
  clicks "${TITLES[@]}" "${EARLY[@]}"
  count=$((count + ${#TITLES[@]} + ${#EARLY[@]}))
done
keeps_running "the program ended during the fill"
wait_still "$WORK/filled.png" "${CLOCK[@]}"
base=$(memory_kb VmRSS)

targets=("${TITLES[@]}" "${EARLY[@]}" "${LATE[@]}")
for round in $(seq 1 20); do
  for _ in 1 2 3 4 5 6 7 8; do
    clicks "${targets[@]}"
    count=$((count + ${#targets[@]}))
  done
  xdotool keydown F10 mousemove 300 305 mousedown 1 mouseup 1 keyup F10 keydown F10 keyup F10
  count=$((count + 1))
  if ((round % 4 == 0)); then
    # The boat goes out onto the bare window and back into its corner.
    drag "$BOAT_GRAB" "$BOAT_DROP"
    drag "$BOAT_DROP" "$BOAT_GRAB"
  fi
  keeps_running "the program ended after $count clicks"
done
wait_still "$WORK/after.png" "${CLOCK[@]}"
echo "  $count clicks, 20 F10 presses, 10 drags"
((count >= 2000)) || fail "only $count clicks were sent"

# The boat is back in its corner: the drags were real.
(($(pixels differ "$WORK/after.png" 933 697 91 71 "#6080a0") > 500)) || fail "the boat is not back in its corner"
(($(pixels differ "$WORK/after.png" 580 410 99 74 "#6080a0") < 20)) || fail "the boat stayed on the bare window"

now=$(memory_kb VmRSS)
echo "  resident memory: $((base / 1024)) MiB after the fill, $((now / 1024)) MiB after the storm"
grew_less_than "$base" "$now" 8192 "in the storm"

xdotool key a
ends_at_once "a key after the storm"
echo "PASS"
