#!/usr/bin/env bash
# The pictures, the colour click and the clock of the real program: a dragged boat lands where the
# grab point says, a click recolours the title, a double-click hides the music picture and a double-click
# on the boat hides the boat and nothing more, the clock ticks.
source "$(dirname "$0")/lib.sh"

background="#6080a0"
plain_background "$background"
start_display 1024x768
export LC_ALL=C

boat() { "$PY" "$SRC/tests/e2e/boat.py" "$@"; }
BOAT_GIF="$SRC/res/pictures/image2.gif"

# ---- the clock is blank until its first tick: time runs at a tenth of its speed here -------------------
FAKETIME_AT="2026-12-06 09:05:07 x0.1" start_app
wait_window >/dev/null
# The rest of the window is painted first (the title in blue).
title_painted() {
  screenshot "$WORK/early.png"
  (($(pixels count "$WORK/early.png" 430 258 170 40 "#0000ff" 40) > 200))
}
wait_for "the window was not painted" title_painted
(($(pixels differ "$WORK/early.png" 445 600 134 36 "$background") < 5)) || fail "the clock is not blank before its first tick"
stop_app  # waits until it has gone, so the next copy is not the second one

# ---- the running program -------------------------------------------------------------------------------
FAKETIME_AT="2026-12-06 09:05:07" start_app
wait_window >/dev/null
wait_ticks 1
wait_still "$WORK/settled.png" "${CLOCK[@]}"

# The clock changes once a second and reads the time of day with seconds. From one shot to the first that
# shows another time it moves on by at least a second, and by no more than the time between them allows:
# the first shot's time may be a second old (a little more if its tick came late), and seconds are whole.
t0=$(now_ms)
screenshot "$WORK/t1.png"
clock_moved() {
  screenshot "$WORK/t2.png"
  (($(pixels changed "$WORK/t1.png" "$WORK/t2.png" "${CLOCK[@]}") > 20))
}
wait_for "the clock did not change" clock_moved
most=$((($(now_ms) - t0 + 1100) / 1000 + 1))
first=$(clock_text "$WORK/t1.png")
second=$(clock_text "$WORK/t2.png")
[[ "$first" =~ ^09:05:([0-9][0-9])$ ]] || fail "clock reads '$first', not the time 09:05:ss"
s1=$((10#${BASH_REMATCH[1]}))
[[ "$second" =~ ^09:05:([0-9][0-9])$ ]] || fail "clock reads '$second', not the time 09:05:ss"
s2=$((10#${BASH_REMATCH[1]}))
((s2 - s1 >= 1 && s2 - s1 <= most)) || fail "the clock went from $first to $second, more than $most s"

# A real drag of the boat: grabbed 20 px from its left and 40 px from its top, dropped on bare window.
screenshot "$WORK/before.png"
read -r bx by <<<"$(boat find "$WORK/before.png" "$BOAT_GIF" "$background" 925 694 99 74)"
[[ "$bx" != none ]] || fail "no boat in the bottom-right corner"
[[ $(boat "$WORK/before.png" "$BOAT_GIF" "$bx" "$by") > 0.950 ]] || fail "the bottom-right picture is not the boat"
[[ "$bx $by" == "933 697" ]] || fail "the boat stood at $bx,$by, not in the bottom-right corner"
drop_x=420 drop_y=470
xdotool mousemove $((bx + 20)) $((by + 40)) mousedown 1
for i in $(seq 1 10); do
  xdotool mousemove $((bx + 20 + (drop_x - bx - 20) * i / 10)) $((by + 40 + (drop_y - by - 40) * i / 10))
  sleep 0.03
done
xdotool mouseup 1
wait_change "$WORK/before.png" 933 697 91 71
wait_still "$WORK/after.png" "${CLOCK[@]}"
read -r nx ny <<<"$(boat find "$WORK/after.png" "$BOAT_GIF" "$background" 330 390 250 160)"
[[ "$nx $ny" == "$((drop_x - 20)) $((drop_y - 40))" ]] ||
  fail "the boat landed at $nx,$ny, not at $((drop_x - 20)),$((drop_y - 40))"
[[ $(boat "$WORK/after.png" "$BOAT_GIF" "$nx" "$ny") > 0.950 ]] || fail "what stands at the drop point is not the boat"
(($(pixels differ "$WORK/after.png" 933 697 91 71 "$background") < 20)) || fail "the boat is still in its corner"

# A click on the title recolours it; the random colour may be the old blue, so try a few times.
changed=no
for _ in 1 2 3 4 5 6; do
  xdotool mousemove 512 275 click 1 mousemove 300 470
  wait_still "$WORK/title.png" "${CLOCK[@]}"
  if (($(pixels count "$WORK/title.png" 430 258 170 40 "#0000ff" 40) < 20)); then
    changed=yes
    break
  fi
done
[[ $changed == yes ]] || fail "six clicks on the title left it blue"
(($(pixels differ "$WORK/title.png" 430 258 170 40 "$background") > 0)) ||
  (($(pixels count "$WORK/title.png" 430 258 170 40 "#808080" 8) > 150)) || fail "the title vanished"
keeps_running "a click on the title ended the screensaver"

# A double-click on the boat: its first click hides it, and the second press, which lands on the bare
# window, is part of a double-click, not a click there.
xdotool mousemove $((nx + 45)) $((ny + 35)) click --repeat 2 --delay 80 1 mousemove 300 470
wait_change "$WORK/title.png" "$nx" "$ny" 91 71
wait_still "$WORK/boat-hidden.png" "${CLOCK[@]}"
keeps_running "a double-click on the boat ended the screensaver"
(($(pixels differ "$WORK/boat-hidden.png" "$nx" "$ny" 91 71 "$background") < 20)) || fail "a double-click left the boat shown"

# A double-click on the music picture hides it; a click where it stood then ends the screensaver.
(($(pixels differ "$WORK/title.png" 0 0 61 50 "$background") > 300)) || fail "no music picture in the corner"
xdotool mousemove 30 25 click --repeat 2 --delay 80 1
wait_change "$WORK/boat-hidden.png" 0 0 61 50
wait_still "$WORK/hidden.png" "${CLOCK[@]}"
(($(pixels differ "$WORK/hidden.png" 0 0 61 50 "$background") < 10)) || fail "a double-click did not hide the music picture"
keeps_running "a double-click on the music picture ended the screensaver"
(($(pixels differ "$WORK/hidden.png" "$nx" "$ny" 91 71 "$background") < 20)) || fail "the boat came back"
sleep 0.6  # beyond the double-click interval: the next press is a click of its own
xdotool click 1
[[ $(app_exit_code 2) == 0 ]] || fail "a click where the music picture stood did not end the screensaver"
echo "PASS"
