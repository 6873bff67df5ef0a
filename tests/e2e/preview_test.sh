#!/usr/bin/env bash
# The host's preview: given a 320×240 window of another program, the program draws the whole screen
# scaled down into it, filling it, with every month block there once the fill is over, and nothing outside.
source "$(dirname "$0")/lib.sh"

plain_background "#6080a0"
start_display 1024x768
export FAKETIME_AT="2026-12-06 09:05:07"
HX=352 HY=264 HW=320 HH=240

# SIGTERM ends a copy with 0 within a second; a sanitized build first takes itself apart for its leak check.
ends_on_sigterm() {
  local rc
  kill -TERM "$APP_PID"
  rc=$(exit_within "$([[ $SANITIZED == yes ]] && echo 10000 || echo 1000)")
  [[ $rc == 0 ]] || fail "$1: expected exit code 0 after SIGTERM, got $rc"
}

start_host $HX $HY $HW $HH
screenshot "$WORK/before.png"

start_app --window-id "$HOST"
wait_drawn_into "$HOST" "the program"

wait_blocks_filled $HX $HY $HW $HH 48 "$WORK/before.png"
((BLOCKS[12] == 0)) || fail "the host's window is not filled (${BLOCKS[12]} pixels of its colour left)"
((BLOCKS[13] == 0)) || fail "${BLOCKS[13]} pixels changed outside the host's window"

focus=$(xdotool getwindowfocus 2>/dev/null || true)
[[ -z "$focus" ]] || ! xwininfo -children -id "$HOST" | grep -q "$(printf '0x%x' "$focus") " ||
  fail "the preview took the keyboard focus"

# A second copy in a window of its own (one per monitor) draws too, without ending the first; a copy
# started outside a host's window still ends at once.
FIRST=$APP_PID
start_host 10 10 200 150
start_app --window-id "$HOST"
SECOND=$APP_PID
wait_drawn_into "$HOST" "the second copy"
start_app /s
[[ $(exit_within 5000) == 0 ]] || fail "a copy outside a host's window did not end at once beside the first"
APP_PID=$SECOND
keeps_running "the second copy ended"
ends_on_sigterm "the second copy"
APP_PID=$FIRST

# The preview takes no input: a key and a click on it leave it running (its clock ticks on, twice, after
# them); SIGTERM ends it with 0.
xdotool mousemove $((HX + HW / 2)) $((HY + HH - 5)) click 1
xdotool key a
ENDED="input on the preview ended it" wait_ticks 2 $HX $HY $HW $HH
ends_on_sigterm "the first copy"
echo "PASS"
