#!/usr/bin/env bash
# Every monitor covered, each laid out for its own size; and a screen the design does not fit shows the
# whole design, smaller, with nothing cut at its edges.
source "$(dirname "$0")/lib.sh"

background="#406090"
plain_background "$background"
mkdir -p "$WORK/cwd/muz"
cp "$SRC/muz/ladoslov.mp3" "$WORK/cwd/muz/"

# ---- two monitors, the primary on the right: both covered, the cells of both right, one tune -------------
start_two_monitors "1280x1024+0+0" "1024x768+1280+0*"
FAKETIME_AT="2026-12-08 09:05:07" LADOSLOV_TRACE_COMMANDS=1 start_app /s
windows_cover "1280x1024+0+0" "1024x768+1280+0"
# The clocks of both monitors tick: all else must stand still.
wait_still "$WORK/two.png" 573 728 134 36 1725 600 134 36
for m in "1280x1024+0+0" "1024x768+1280+0"; do
  convert "$WORK/two.png" -crop "$m" +repage "$WORK/monitor.png"
  "$BUILD/ladoslov-cells" --date 2026-12-08 --size "${m%%+*}" >"$WORK/cells.txt"
  pixels cells "$WORK/monitor.png" "$WORK/cells.txt" || fail "the day cells of the monitor $m differ from the core's listing"
done
# A click on the bare background of the monitor that is not the primary ends it all.
xdotool mousemove 40 512 click 1
[[ $(app_exit_code 5) == 0 ]] || fail "a click on the other monitor's background did not end the screensaver"
[[ $(grep -c '^command: play' "$WORK"/stderr.*) == 1 ]] || fail "not one play command: $(cat "$WORK"/stderr.*)"
grep -q '^command: stop' "$WORK"/stderr.* || fail "no stop command"
kill "$XVFB_PID"
wait "$XVFB_PID" 2>/dev/null || true
XVFB_PID=""

# ---- screens the design does not fit: the laptop's 1920x1080 at 150 % and 1280x720 -----------------------
for screen in "1920x1080 144" "1280x720 96"; do
  read -r size dpi <<<"$screen"
  start_display "$size"
  qt_dpi "$dpi"
  start_app /s
  wait_window >/dev/null
  w=${size%x*} h=${size#*x}
  # All but the clock, which stands centred in the lower quarter.
  wait_still "$WORK/fit.png" $((w * 42 / 100)) $((h * 76 / 100)) $((w * 16 / 100)) $((h * 8 / 100))
  no_text_cut "$WORK/fit.png" "$w" "$h" "$background"
  # The club's title is there, whole, in its blue.
  (($(pixels count "$WORK/fit.png" 0 0 "$w" 60 "#0000ff") > 200)) || fail "$size: no title at the top"
  cp "$WORK/fit.png" "$WORK/fit-$size.png"
  stop_app
  kill "$XVFB_PID"
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=""
done
[[ -n "${LADOSLOV_SHOTS:-}" ]] && cp "$WORK"/two.png "$WORK"/fit-*.png "$LADOSLOV_SHOTS/"
echo "monitors and fit: ok"
