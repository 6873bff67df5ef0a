#!/usr/bin/env bash
# What ends the screensaver: a key with a character or a click on the bare window, at once and with 0;
# keys without a character, mouse moves and clicks on controls leave it running.
source "$(dirname "$0")/lib.sh"

plain_background "#6080a0"
start_display 1024x768
export LC_ALL=C

# The window takes the keyboard itself: no window manager gives it the focus here.
launch() {
  start_app
  WIN=$(wait_window)
  has_focus() { [[ "$(xdotool getwindowfocus 2>/dev/null || true)" == "$WIN" ]]; }
  wait_for "the window does not have the keyboard focus (window $WIN)" has_focus
}

for key in a Escape space Return; do
  launch
  xdotool key "$key"
  ends_at_once "key $key"
done

launch
for key in F10 Left F5 Shift_L Control_L Delete Home; do
  xdotool key "$key"
done
for step in $(seq 0 20 1000); do xdotool mousemove "$step" $((step * 3 / 4)); done
# A day cell of January ("12"), its weekday label "Пн", the club's name and the icon: no handler.
xdotool mousemove 95 110 click 1
xdotool mousemove 28 110 click 1
xdotool mousemove 512 20 click 1
xdotool mousemove 510 140 click 1
# Taken (the clock has changed twice since: the event loop has gone past the input) and still running.
ENDED="a key without a character, a mouse move or a click on a control ended it" wait_ticks 2

xdotool mousemove 500 740 click 1
ends_at_once "a click on the bare window"

# A click while the months are still being filled ends it too.
start_app
WIN=$(wait_window)
xdotool mousemove 500 740 click 1
ends_at_once "a click right after start"
echo "PASS"
