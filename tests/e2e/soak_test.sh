#!/usr/bin/env bash
# A night across the new year and a week past it, on a sped-up clock: the real program keeps running,
# its memory stays flat, the clock follows the time, the feast line names Christmas at the feast timer's
# first tick after midnight into 7 January, and nothing else that start-up and the fill put on the screen
# changes.
source "$(dirname "$0")/lib.sh"

[[ -n "$FAKETIME_LIB" ]] || fail "libfaketime is not installed"
background="#6080a0"
plain_background "$background"
start_display 1024x768
export LC_ALL=C

# What may change: the clock, and the feast line in the middle of the screen.
MOVING=(445 600 134 36 $((512 - STRIP_W / 2)) $((384 - STRIP_H / 2)) "$STRIP_W" "$STRIP_H")
unchanged() {
  local n
  n=$(pixels changed_outside "$WORK/before.png" "$1" "${MOVING[@]}")
  ((n == 0)) || fail "$2: $n pixels of the calendar changed"
}

export FAKETIME_FILE=$WORK/clock.rc
# Ten minutes before midnight: time enough for the start-up and the fill, however slow.
set_clock "2026-12-31 23:50:00"
start_app /s
wait_window >/dev/null

# ---- the last seconds of 2026 --------------------------------------------------------------------------
# The reference picture: the fill over, however long it takes.
wait_still "$WORK/before.png" "${MOVING[@]}"
text=$(clock_text "$WORK/before.png")
[[ "$text" =~ ^23:5[0-9]:[0-5][0-9]$ ]] || fail "before midnight the clock reads '$text'"
# The program's clock runs from 23:59:50 from its first look at the new setting, at its next tick: it must
# show the new year's first hour 10 s later, however slow the reading.
set_clock "2026-12-31 23:59:50"
wait_clock '^00:[0-5][0-9]:[0-5][0-9]$' 60 "$WORK/new-year.png"
unchanged "$WORK/new-year.png" "into 1 January"
read -r ink _ _ < <(feast_ink "$WORK/new-year.png" "$WORK/new-year")
((ink < 20)) || fail "1 January: the feast line is not empty"
keeps_running "the program ended at the new year"

# ---- six days, an hour every quarter of a second, memory sampled -------------------------------------
# run_hours FROM COUNT: the date steps through COUNT hours from FROM, one step each quarter second, while
# every timer keeps its real pace; a screenshot halfway must show the same calendar.
run_hours() {
  local h
  for ((h = 0; h < $2; h++)); do
    set_clock "$(date -u -d "$1 UTC + $h hours" '+%Y-%m-%d %H:%M:%S')"
    sleep 0.25
    if ((h == $2 / 2)); then
      screenshot "$WORK/halfway.png"
      unchanged "$WORK/halfway.png" "$(date -u -d "$1 UTC + $h hours" '+%d %B %H:00')"
      [[ "$(clock_text "$WORK/halfway.png")" =~ ^[0-2][0-9]:[0-5][0-9]:[0-5][0-9]$ ]] || fail "the clock shows no time"
    fi
  done
  keeps_running "the program ended in the days after $1"
}
( while kill -0 "$APP_PID" 2>/dev/null; do memory_kb VmRSS >>"$WORK/rss" 2>/dev/null || true; sleep 0.5; done ) &
STARTED_PIDS+=($!)
base=$(memory_kb VmRSS)
run_hours "2027-01-01 00:01:00" 143

# ---- midnight into 7 January at real speed: the feast line read against the program's clock ------------
# The program's clock runs from 23:59:56 from its first look at the new setting, at its next tick. Shots
# until the feast line shows; then the last one without it and the first with it tell when it came.
set_clock "2027-01-06 23:59:56"
i=0
feast_shown() {
  screenshot "$WORK/m$i.png"
  read -r ink _ _ < <(feast_ink "$WORK/m$i.png" "$WORK/m$i")
  i=$((i + 1))
  ((ink >= 150))
}
WAIT_S=60 wait_for "the feast line did not show after midnight into 7 January" feast_shown
# The clock's label may still show the second before midnight: the feast timer can tick before it.
clock=$(clock_text "$WORK/m$((i - 1)).png")
[[ "$clock" =~ ^[0-2][0-9]:[0-5][0-9]:[0-5][0-9]$ && ! "$clock" =~ ^(23:59:59|00:..:..)$ ]] &&
  fail "the feast was named with the clock at $clock, before midnight"
# The feast timer ticks every 1.5 s: a shot whose clock has ticked twice after midnight was painted after the
# feast's first tick, however late a busy machine delivered both.
before=none
if ((i > 1)); then
  before=$(clock_text "$WORK/m$((i - 2)).png")
  [[ "$before" =~ ^00:[0-5][0-9]:[0-5][0-9]$ && ! "$before" =~ ^00:00:0[01]$ ]] &&
    fail "the clock reads $before but the feast line is still empty"
fi
echo "  the feast line shows in shot $i, the clock at $clock (in the shot before: $before)"
# Two ticks on, the line still names the feast.
wait_ticks 2
cp "$WORK/ticks.png" "$WORK/7-january.png"
text=$(clock_text "$WORK/7-january.png")
[[ "$text" =~ ^00:[0-5][0-9]:[0-5][0-9]$ ]] || fail "just after midnight into 7 January the clock reads '$text'"
check_feast "$WORK/7-january.png" "Рождество Христово" || fail "7 January: the feast line does not read Рождество Христово"
unchanged "$WORK/7-january.png" "into 7 January"

# ---- two and a half more days: the feast's name stays, nothing else moves -----------------------------
run_hours "2027-01-07 00:00:30" 60
screenshot "$WORK/9-january.png"
check_feast "$WORK/9-january.png" "Рождество Христово" || fail "9 January: the feast line lost its caption"
unchanged "$WORK/9-january.png" "on 9 January"

# ---- memory: flat from the first sped-up day on ---------------------------------------------------------
peak=$(sort -n "$WORK/rss" | tail -n1)
last=$(tail -n1 "$WORK/rss")
echo "  resident memory: $((base / 1024)) MiB at the new year, peak $((peak / 1024)) MiB, last $((last / 1024)) MiB ($(wc -l <"$WORK/rss") samples)"
grew_less_than "$base" "$peak" 6144 "over the simulated week"

# Still answering: a key ends it at once.
xdotool key a
ends_at_once "a key after the simulated week"
echo "PASS"
