#!/usr/bin/env bash
# A host's window that changes size or goes: given a window of another program, the program lays the
# whole screen out again for each new size within a second of the resize (from 1×1 to 480×300, as a
# settings dialog makes its preview, and from 320×240 to 640×400), and ends with 0 within a second of the
# window's end, having sent the tune's stop command.
source "$(dirname "$0")/lib.sh"

plain_background "#6080a0"
start_display 1024x768
export FAKETIME_AT="2026-12-06 09:05:07" LADOSLOV_TRACE_COMMANDS=1
LIMIT_MS=1000
[[ $SANITIZED == yes ]] && LIMIT_MS=5000

# follows W H TPP: resizes the host to W × H and waits, at most LIMIT_MS, for a screenshot taken since in
# which the calendar drawn at TPP covers the whole window (no host colour left) and all twelve month blocks
# show their red weekend ink.
follows() {
  local w=$1 h=$2 tpp=$3 start shot ok ink
  read -r HX HY < <(xwininfo -id "$HOST" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} END{print x, y}')
  # From the moment the server has the request: xdotool's own start is no part of the program's second.
  xdotool windowsize "$HOST" "$w" "$h"
  start=$(now_ms)
  while :; do
    shot=$(now_ms)
    screenshot "$WORK/follow.png"
    read -r -a BLOCKS < <("$PY" "$SRC/tests/e2e/blocks.py" "$WORK/follow.png" "$HX" "$HY" "$w" "$h" "$tpp")
    ok=yes
    for ink in "${BLOCKS[@]:0:12}"; do ((ink >= 4)) || ok=no; done
    ((BLOCKS[12] == 0)) || ok=no
    [[ $ok == yes ]] && break
    ((shot - start < LIMIT_MS)) ||
      fail "${w}x${h}: not filled $LIMIT_MS ms after the resize (red ink per block: ${BLOCKS[*]:0:12}; host colour left: ${BLOCKS[12]})"
  done
  echo "  ${w}x${h}: filled in a shot taken $((shot - start)) ms after the resize; red ink per block: ${BLOCKS[*]:0:12}"
  keeps_running "the program ended on the resize"
}

start_host 100 100 1 1
FIRST_HOST_PID=$HOST_PID
start_app --window-id "$HOST"
wait_drawn_into "$HOST" "the program"
follows 480 300 38.4

start_host 40 40 320 240
FIRST=$APP_PID
start_app --window-id "$HOST"
wait_drawn_into "$HOST" "the second copy"
wait_blocks_filled 40 40 320 240 48 >/dev/null
follows 640 400 28.8

# The host goes (its program ends, and the X server destroys its windows): the copy drawing there ends.
gone=$(now_ms)
kill "$HOST_PID"
rc=$(exit_within "$LIMIT_MS")
[[ $rc == 0 ]] || fail "the host's window went and the program's exit code is $rc, $(($(now_ms) - gone)) ms later"
echo "  ended $(($(now_ms) - gone)) ms after its host"
APP_PID=$FIRST
keeps_running "the first copy ended with the second's host"

# The first copy holds the tune: it sends the stop command as it ends with its window.
kill "$FIRST_HOST_PID"
rc=$(exit_within "$LIMIT_MS")
[[ $rc == 0 ]] || fail "the first host's window went and the program's exit code is $rc"
grep -q '^command: play "' "$WORK/stderr.$FIRST" || fail "the first copy did not play the tune"
grep -q '^command: stop "' "$WORK/stderr.$FIRST" || fail "the first copy ended without the tune's stop command"
echo "PASS"
