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

# The feast line is centred on the screen both ways and about 43 px high at 27.75 pt. The strip read is
# 660 px wide: wide enough for every caption but the 20-point one, narrow enough to leave out the red
# weekend days of the month blocks beside it.
STRIP_W=660 STRIP_H=64

# feast_ink SHOT OUT: the pure red of the strip, black on white, into OUT-mask.png; prints
# "INK DX DY": the number of red pixels and the offset of their bounding box's centre from the screen's.
feast_ink() {
  local shot=$1 out=$2 w h
  read -r w h < <(pixels size "$shot")
  convert "$shot" -crop "${STRIP_W}x${STRIP_H}+$((w / 2 - STRIP_W / 2))+$((h / 2 - STRIP_H / 2))" +repage \
    -fx '(r > 0.75 && g < 0.35 && b < 0.35) ? 0 : 1' -colorspace Gray -type Bilevel "$out-mask.png"
  local ink
  ink=$(convert "$out-mask.png" -negate -format '%[fx:round(w*h*mean)]\n' info:)
  if ((ink == 0)); then
    echo "0 0 0"
    return
  fi
  local bw bh bx by
  read -r bw bh bx by < <(convert "$out-mask.png" -bordercolor white -border 1 -trim -format '%w %h %X %Y\n' info:)
  echo "$ink $(((bx - 1) * 2 + bw - STRIP_W)) $(((by - 1) * 2 + bh - STRIP_H))" | awk '{print $1, int($2 / 2), int($3 / 2)}'
}

# feast_text OUT: the mask scaled up three times, with a white margin, read as one line of Russian.
feast_text() {
  convert "$1-mask.png" -filter Lanczos -resize 300% -threshold 50% -bordercolor white -border 30 "$1-page.png"
  tesseract "$1-page.png" - -l rus --psm 7 2>/dev/null | tr '\n' ' ' | sed 's/ *$//'
}

# similar EXPECTED TEXT: succeeds when the OCR text is close to the caption (letters and digits only,
# case and ё ignored); prints the ratio.
similar() {
  "$PY" - "$1" "$2" <<'EOF'
import difflib, sys
norm = lambda s: "".join(c for c in s.lower().replace("ё", "е") if c.isalnum())
want, got = norm(sys.argv[1]), norm(sys.argv[2])
ratio = difflib.SequenceMatcher(None, want, got).ratio() if got else 0.0
print(f"{ratio:.2f}")
sys.exit(0 if ratio >= 0.8 else 1)
EOF
}

# check_feast SHOT "CAPTION": the strip holds red ink centred on the screen that reads as CAPTION.
# Prints what it saw; fails (without ending the script) when the line is empty, off centre or wrong.
check_feast() {
  local shot=$1 want=$2 out=$WORK/$(basename "$1" .png)
  local ink dx dy text ratio
  read -r ink dx dy < <(feast_ink "$shot" "$out")
  text=$(feast_text "$out")
  ratio=$(similar "$want" "$text") || true
  echo "  $(basename "$shot"): ink $ink, centre offset ($dx, $dy), read \"$text\", likeness $ratio to \"$want\""
  ((ink >= 150)) || return 1
  ((dx >= -6 && dx <= 6 && dy >= -12 && dy <= 12)) || return 1
  similar "$want" "$text" >/dev/null
}

# shot_of_app DATE OUT: the real program started at noon of DATE, photographed after two feast ticks.
shot_of_app() {
  FAKETIME_AT="$1 12:00:00" start_app /s
  wait_window >/dev/null
  sleep 3.5
  screenshot "$2"
  kill "$APP_PID"
  wait "$APP_PID" 2>/dev/null || true
  APP_PID=""
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
