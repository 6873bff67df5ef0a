#!/usr/bin/env bash
# The feast line of the real program under a faked clock: Easter named at start-up, a fixed feast named by
# the feast timer, nothing on a plain day; read off the screen with Russian OCR, and the headless snapshot
# must agree.
source "$(dirname "$0")/lib.sh"

command -v tesseract >/dev/null || fail "tesseract is not installed"
tesseract --list-langs 2>/dev/null | grep -qx rus || fail "tesseract has no Russian model"
[[ -n "$FAKETIME_LIB" ]] || fail "libfaketime is not installed"

plain_background "#b0c4d8"
start_display 1024x768

# shot_of_app DATE OUT: the real program started at noon of DATE, photographed after two feast ticks
# (the clock has ticked three times).
shot_of_app() {
  FAKETIME_AT="$1 12:00:00" start_app /s
  wait_window >/dev/null
  wait_ticks 3
  wait_still "$2" "${CLOCK[@]}"
  stop_app  # waits until it has gone, so the next copy is not the second one
}

shot_of_app 2010-04-04 "$WORK/app-easter.png"
shot_of_app 2026-01-07 "$WORK/app-christmas.png"
shot_of_app 2026-01-08 "$WORK/app-plain.png"
(cd "$WORK/cwd" && "$BUILD/ladoslov-snapshot" --date 2010-04-04 --time 12:00:00 --size 1024x768 \
  --out "$WORK/snap-easter.png") 2>/dev/null || fail "ladoslov-snapshot failed"
(cd "$WORK/cwd" && "$BUILD/ladoslov-snapshot" --date 2026-01-07 --time 12:00:00 --size 1024x768 \
  --out "$WORK/snap-christmas.png") 2>/dev/null || fail "ladoslov-snapshot failed"

check_feast "$WORK/app-easter.png" "Пасха" || fail "4 April 2010: the feast line does not read Пасха"
check_feast "$WORK/app-christmas.png" "Рождество Христово" ||
  fail "7 January 2026: the feast line does not read Рождество Христово"
check_feast "$WORK/snap-easter.png" "Пасха" || fail "snapshot of 4 April 2010 does not read Пасха"
check_feast "$WORK/snap-christmas.png" "Рождество Христово" ||
  fail "snapshot of 7 January 2026 does not read Рождество Христово"

# 8 January names no feast: the line stays empty.
read -r ink _ _ < <(feast_ink "$WORK/app-plain.png" "$WORK/plain")
echo "  app-plain.png: ink $ink"
((ink < 20)) || fail "8 January 2026: the feast line is not empty ($ink red pixels)"

# The checks must be able to fail: an empty line and the wrong feast are both refused.
check_feast "$WORK/app-plain.png" "Рождество Христово" && fail "an empty feast line passed as Рождество Христово"
check_feast "$WORK/app-easter.png" "Рождество Христово" && fail "Пасха passed as Рождество Христово"
check_feast "$WORK/app-christmas.png" "Пасха" && fail "Рождество Христово passed as Пасха"
echo "PASS"
