#!/usr/bin/env bash
# The window covers the screen with the layout centred on it; one copy at a time; the host's switches.
source "$(dirname "$0")/lib.sh"

background="#6080a0"
plain_background "$background"

check_screen() {
  local size=$1 dx=$2 dy=$3
  start_display "$size"
  start_app /s
  local id
  id=$(wait_window)
  wait_still "$WORK/shot.png" $((445 + dx)) $((600 + dy)) 134 36  # all but the clock
  local geometry
  geometry=$(xdotool getwindowgeometry "$id")
  grep -q "Position: 0,0" <<<"$geometry" || fail "$size: window not at 0,0: $geometry"
  grep -q "Geometry: $size" <<<"$geometry" || fail "$size: window does not cover the screen: $geometry"
  # January's title "Январь" at design (1080, 1200) twips = (72, 80) px, shifted by the centring offset.
  local x=$((72 + dx)) y=$((80 + dy))
  (($(pixels differ "$WORK/shot.png" "$x" "$y" 44 13 "$background") > 25)) || fail "$size: no January title at $x,$y"
  # December's title at (13680, 8400) twips = (912, 560) px.
  (($(pixels differ "$WORK/shot.png" $((912 + dx)) $((560 + dy)) 52 13 "$background") > 25)) ||
    fail "$size: no December title"
  # The plain background shows between the blocks: the picture from the working directory is painted.
  (($(pixels count "$WORK/shot.png" $((300 + dx)) $((420 + dy)) 40 40 "$background" 12) > 1500)) ||
    fail "$size: background picture not painted"
  stop_app
  kill "$XVFB_PID"
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=""
}

check_screen 1024x768 0 0
check_screen 1920x1080 448 156

start_display 1024x768
start_app
first=$APP_PID
wait_window >/dev/null
start_app
[[ $(app_exit_code 3) == 0 ]] || fail "a second copy did not end at once with 0"
[[ $(xdotool search --onlyvisible --name '^Form1$' | wc -l) == 1 ]] || fail "a second window appeared"
APP_PID=$first
stop_app

start_app /p 1234
[[ $(app_exit_code 3) == 0 ]] || fail "/p did not end at once"

start_app /c
box=$(timeout 10 xdotool search --sync --onlyvisible --name '^Ладослов$' | head -n1) || fail "/c showed no message"
xdotool search --onlyvisible --name '^Form1$' >/dev/null 2>&1 && fail "/c opened the screensaver window"
screenshot "$WORK/box.png"
(($(pixels differ "$WORK/box.png" 0 0 1024 768 "#000000") > 2000)) || fail "/c: the message box is not drawn"
xdotool windowfocus --sync "$box"
xdotool key Return
[[ $(app_exit_code 5) == 0 ]] || fail "/c did not end after the message was closed"
# A missing, empty, truncated or foreign "Data/ladoslov.jpg" leaves the built-in picture, silently.
background_shot() {
  start_app
  wait_window >/dev/null
  wait_still "$1" "${CLOCK[@]}"
  keeps_running "the program ended with a bad background picture"
  [[ $(xdotool search --onlyvisible --name '.' 2>/dev/null | wc -l) -le 2 ]] || fail "a message appeared"
  stop_app
}
rm -rf "$WORK/cwd/Data"
background_shot "$WORK/builtin.png"
(($(pixels count "$WORK/builtin.png" 300 420 40 40 "$background" 12) < 100)) || fail "built-in picture not shown"
mkdir -p "$WORK/cwd/Data"
good=$(mktemp "$WORK/good.XXXX.jpg")
convert -size 1680x1260 "xc:$background" "$good"
for kind in empty truncated png text; do
  case $kind in
    empty) : >"$WORK/cwd/Data/ladoslov.jpg" ;;
    truncated) head -c 3000 "$good" >"$WORK/cwd/Data/ladoslov.jpg" ;;
    png) convert -size 64x64 "xc:$background" "png:$WORK/cwd/Data/ladoslov.jpg" ;;
    text) echo "no picture" >"$WORK/cwd/Data/ladoslov.jpg" ;;
  esac
  background_shot "$WORK/$kind.png"
  [[ $(pixels changed "$WORK/builtin.png" "$WORK/$kind.png" 300 420 40 40) == 0 ]] ||
    fail "$kind background: the built-in picture is not shown"
done
echo "PASS"
