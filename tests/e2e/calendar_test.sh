#!/usr/bin/env bash
# The calendar on a real screen: after the fill, weekends red, today yellow and framed, a memorial day
# blue; a click on a month title recolours that month and no other.
# Today is Tuesday 8 December 2026: a weekday that is no memorial day. 1 December 2026 is a Tuesday,
# so December's cell i holds day i, and 9 December (a Wednesday, a blue memorial day) stands in cell 9.
source "$(dirname "$0")/lib.sh"

# A background far from every palette colour, so that any drawn colour shows.
background="#406090"
plain_background "$background"
start_display 1024x768
export FAKETIME_AT="2026-12-08 09:05:07"
start_app /s
wait_window >/dev/null
xdotool mousemove 300 470  # a bare spot, away from every tooltip
sleep 2
screenshot "$WORK/filled.png"

# Where a day cell's caption is drawn: the label's left and top, in pixels (twips / 15 at 96 dpi).
# Arguments: column 0 left, column 1 left, row 0 top (twips) and the cell index.
cell_x() { local c0=$1 c1=$2 i=$3; (( i / 7 == 0 )) && echo $((c0 / 15)) || echo $(((c1 + 360 * (i / 7 - 1)) / 15)); }
cell_y() { local top=$1 i=$2; echo $(((top + 240 * (i % 7)) / 15)); }
dec_x() { cell_x 13320 13560 "$1"; }
dec_y() { cell_y 8760 "$1"; }
jan_x() { cell_x 720 960 "$1"; }
jan_y() { cell_y 1560 "$1"; }

# count FILE X Y COLOUR: pixels of COLOUR in the 15 × 13 box of a caption drawn at X, Y.
count() { pixels count "$1" "$2" "$3" 15 13 "$4" 40; }

# Every day cell where and in the colour the core puts it: the same listing checks the Windows build.
"$BUILD/ladoslov-cells" --date 2026-12-08 --size 1024x768 >"$WORK/cells.txt" || fail "ladoslov-cells failed"
pixels cells "$WORK/filled.png" "$WORK/cells.txt" || fail "day cells differ from the core's listing"

# Weekend cells are red: December's Saturdays 5, 12, 19, 26 and Sundays 6, 13, 20, 27; January's
# Saturday the 3rd (cell 5), Sunday the 4th (cell 6) and the blue 10th, which falls on a Saturday (cell 12).
for i in 5 12 19 26 6 13 20 27; do
  (($(count "$WORK/filled.png" "$(dec_x $i)" "$(dec_y $i)" "#ff0000") >= 4)) || fail "December cell $i is not red"
done
for i in 5 6 12; do
  (($(count "$WORK/filled.png" "$(jan_x $i)" "$(jan_y $i)" "#ff0000") >= 4)) || fail "January cell $i is not red"
done
(($(count "$WORK/filled.png" "$(jan_x 12)" "$(jan_y 12)" "#0000ff") == 0)) || fail "10 January (a Saturday) shows blue"

# Today (cell 8): yellow inside a black one-pixel frame whose corner is the label's left and top.
tx=$(dec_x 8) ty=$(dec_y 8)
(($(count "$WORK/filled.png" "$tx" "$ty" "#ffff00") >= 4)) || fail "today's cell is not yellow"
(($(pixels count "$WORK/filled.png" "$tx" "$ty" 1 16 "#000000" 8) >= 12)) || fail "today's cell has no left frame line"
(($(pixels count "$WORK/filled.png" "$tx" "$ty" 12 1 "#000000" 8) >= 6)) || fail "today's cell has no top frame line"
(($(pixels count "$WORK/filled.png" $((tx - 1)) $((ty - 1)) 14 1 "#000000" 8) == 0)) || fail "frame above its place"
(($(pixels count "$WORK/filled.png" $((tx - 1)) "$ty" 1 14 "#000000" 8) == 0)) || fail "frame left of its place"
# Nothing but today's cell is yellow.
(($(pixels count "$WORK/filled.png" 0 0 1024 768 "#ffff00" 8) < 30)) || fail "more yellow than today's cell"

# 9 December, a blue memorial day on a Wednesday; 10 December, an ordinary Thursday, is black.
(($(count "$WORK/filled.png" "$(dec_x 9)" "$(dec_y 9)" "#0000ff") >= 4)) || fail "9 December is not blue"
(($(count "$WORK/filled.png" "$(dec_x 9)" "$(dec_y 9)" "#ff0000") == 0)) || fail "9 December shows red"
(($(count "$WORK/filled.png" "$(dec_x 10)" "$(dec_y 10)" "#000000") >= 4)) || fail "10 December is not black"
for colour in "#ff0000" "#0000ff" "#ffff00"; do
  (($(count "$WORK/filled.png" "$(dec_x 10)" "$(dec_y 10)" "$colour") == 0)) || fail "10 December shows $colour"
done

# Month blocks as rectangles in pixels, from the title's top to the last row, from the weekday labels
# to past the sixth column: weekday left, title top, column 1 left, row 0 top (twips).
blocks=(
  "360 1200 960 1560" "3240 1200 3840 1560" "9840 1200 10560 1560" "12960 1200 13560 1560"
  "360 3600 960 3960" "12960 3600 13560 3960" "360 6000 960 6360" "12960 6000 13560 6480"
  "360 8400 960 8760" "3240 8400 3840 8760" "9840 8400 10560 8760" "12960 8400 13560 8760"
)
block_rect() {
  local wl tt c1 r0
  read -r wl tt c1 r0 <<<"${blocks[$1]}"
  echo $((wl / 15 - 2)) $((tt / 15 - 2)) $(((c1 + 360 * 4 + 300 - wl) / 15 + 4)) $(((r0 + 240 * 7 - tt) / 15 + 4))
}
# changed_in A B MONTH: pixels that differ between two screenshots within the month's block.
changed_in() { pixels changed "$1" "$2" $(block_rect $(($3 - 1))); }

# The most frequent colour in a rectangle that stands out from the background, as #rrggbb.
dominant() {
  "$PY" - "$@" "$background" <<'EOF'
import sys
from collections import Counter
from PIL import Image
f, x, y, w, h, bg = sys.argv[1], *map(int, sys.argv[2:6]), sys.argv[6].lstrip("#")
bg = tuple(int(bg[i:i + 2], 16) for i in (0, 2, 4))
im = Image.open(f).convert("RGB")
c = Counter(im.getpixel((px, py)) for py in range(y, y + h) for px in range(x, x + w)
            if max(abs(a - b) for a, b in zip(im.getpixel((px, py)), bg)) > 60)
print("#%02x%02x%02x" % c.most_common(1)[0][0] if c else "none")
EOF
}

# Click December's title ("Декабрь" at 13680, 8400 twips) until its colour changes: the drawn colour
# may be the one it already has. The other eleven months never change.
before="$WORK/filled.png"
seen=""
for attempt in 1 2 3 4 5 6; do
  xdotool mousemove 925 566 click 1
  xdotool mousemove 300 470
  sleep 0.4
  keeps_running "a click on a month title ended the screensaver"
  screenshot "$WORK/click$attempt.png"
  for m in 1 2 3 4 5 6 7 8 9 10 11; do
    (($(changed_in "$before" "$WORK/click$attempt.png" $m) == 0)) || fail "click $attempt on December changed month $m"
  done
  if (($(changed_in "$before" "$WORK/click$attempt.png" 12) > 0)); then
    seen="$WORK/click$attempt.png"
    break
  fi
done
[[ -n "$seen" ]] || fail "six clicks on December's title changed nothing"

# After the click: the title and the ordinary days in the new colour, weekends red, the 9th blue, today
# framed in the new colour.
new=$(dominant "$seen" 912 560 52 13)
[[ "$new" != none ]] || fail "December's title cannot be seen"
if [[ "$new" != "#ff0000" && "$new" != "#0000ff" ]]; then
  (($(count "$seen" "$(dec_x 10)" "$(dec_y 10)" "$new") >= 4)) || fail "10 December is not in the title's colour $new"
  [[ "$new" == "#ffff00" ]] ||
    (($(count "$seen" "$tx" "$ty" "#ffff00") == 0)) || fail "today's cell is still yellow after the click"
fi
for i in 5 12 19 26 6 13 20 27; do
  (($(count "$seen" "$(dec_x $i)" "$(dec_y $i)" "#ff0000") >= 4)) || fail "December cell $i is not red after the click"
done
(($(count "$seen" "$(dec_x 9)" "$(dec_y 9)" "#0000ff") >= 4)) || fail "9 December is not blue after the click"
(($(pixels count "$seen" "$tx" "$ty" 1 16 "#000000" 8) >= 12)) || fail "today's frame is gone after the click"
(($(pixels count "$seen" "$tx" "$ty" 12 1 "#000000" 8) >= 6)) || fail "today's frame is gone after the click"

# A click on January's title changes January alone.
before="$seen"
seen=""
for attempt in 1 2 3 4 5 6; do
  xdotool mousemove 85 86 click 1
  xdotool mousemove 300 470
  sleep 0.4
  screenshot "$WORK/jan$attempt.png"
  for m in 2 3 4 5 6 7 8 9 10 11 12; do
    (($(changed_in "$before" "$WORK/jan$attempt.png" $m) == 0)) || fail "click $attempt on January changed month $m"
  done
  if (($(changed_in "$before" "$WORK/jan$attempt.png" 1) > 0)); then
    seen=yes
    break
  fi
done
[[ -n "$seen" ]] || fail "six clicks on January's title changed nothing"
keeps_running "the screensaver ended"
echo "PASS"
