#!/usr/bin/env bash
# Today's saints from the shipped Data/name.txt under the title, the prayer while F10 is held, the saints
# again after the release: read off the screen with Russian OCR.
source "$(dirname "$0")/lib.sh"

command -v tesseract >/dev/null || fail "tesseract is not installed"
tesseract --list-langs 2>/dev/null | grep -qx rus || fail "tesseract has no Russian model"
[[ -s "$BUILD/Data/name.txt" ]] || fail "no Data/name.txt beside $BUILD/ladoslov"

# The names label at 1024x768: Left 2880, Top 3840 + 650 twips, 7680 wide; 86 px hold three lines at 16 pt.
NAMES_X=192 NAMES_Y=299 NAMES_W=512 NAMES_H=86
INK="#800000"
BACKGROUND="#d8dce0"

# ocr.py read SHOT X Y W H OUT: the dark red ink of the rectangle, scaled up and made black on white, read
#   by tesseract; OUT gets one "line<TAB>top<TAB>word" row per word, lines numbered from the top.
# ocr.py find OUT "words …": the words on consecutive words of one line, each close enough to allow for
#   OCR slips; prints "line top" and succeeds, or fails.
cat >"$WORK/ocr.py" <<'EOF'
import difflib, subprocess, sys
from PIL import Image

SCALE, MARGIN = 3, 20

def read(shot, x, y, w, h, out):
    im = Image.open(shot).convert("RGB").crop((x, y, x + w, y + h))
    mask = Image.new("L", im.size, 255)
    src, dst = im.load(), mask.load()
    for j in range(im.height):
        for i in range(im.width):
            r, g, b = src[i, j]
            if r - max(g, b) > 45 and r < 200:
                dst[i, j] = 0
    mask = mask.resize((w * SCALE, h * SCALE), Image.LANCZOS).point(lambda v: 0 if v < 160 else 255)
    page = Image.new("L", (mask.width + 2 * MARGIN, mask.height + 2 * MARGIN), 255)
    page.paste(mask, (MARGIN, MARGIN))
    page.save(out + ".png")
    tsv = subprocess.run(["tesseract", out + ".png", "-", "-l", "rus", "--psm", "6", "tsv"],
                         capture_output=True, text=True, check=True).stdout
    lines = {}
    for row in tsv.splitlines()[1:]:
        f = row.split("\t")
        if len(f) < 12 or f[0] != "5" or not f[11].strip():
            continue
        lines.setdefault((int(f[2]), int(f[3]), int(f[4])), []).append(((int(f[7]) - MARGIN) // SCALE, f[11]))
    with open(out, "w", encoding="utf-8") as o:
        for n, key in enumerate(sorted(lines, key=lambda k: min(t for t, _ in lines[k])), 1):
            for top, word in lines[key]:
                o.write(f"{n}\t{top}\t{word.strip()}\n")

def norm(s):
    return "".join(c for c in s.lower().replace("ё", "е") if c.isalnum())

def find(words_file, phrase):
    rows = [l.rstrip("\n").split("\t") for l in open(words_file, encoding="utf-8") if l.strip()]
    want = [norm(w) for w in phrase.split()]
    best = None
    for i in range(len(rows) - len(want) + 1):
        group = rows[i:i + len(want)]
        if len({r[0] for r in group}) != 1:
            continue
        score = min(difflib.SequenceMatcher(None, w, norm(r[2])).ratio() for w, r in zip(want, group))
        if best is None or score > best[0]:
            best = (score, group[0][0], group[0][1])
    if best is None or best[0] < 0.7:
        return 1
    print(best[1], best[2])
    return 0

if __name__ == "__main__":
    if sys.argv[1] == "read":
        read(sys.argv[2], *map(int, sys.argv[3:7]), sys.argv[7])
    else:
        sys.exit(find(sys.argv[2], sys.argv[3]))
EOF

# read_names SHOT NAME: OCR of the names label into $WORK/NAME.txt
read_names() { "$PY" "$WORK/ocr.py" read "$1" $NAMES_X $NAMES_Y $NAMES_W $NAMES_H "$WORK/$2.txt"; }
# found NAME "words": "line top" of the words in $WORK/NAME.txt, or nothing (and failure)
found() { "$PY" "$WORK/ocr.py" find "$WORK/$1.txt" "$2"; }
words() { cut -f3 "$WORK/$1.txt" | tr '\n' ' '; }
expect_words() {
  local name=$1 word
  shift
  for word in "$@"; do found "$name" "$word" >/dev/null || fail "$name: \"$word\" not read; read: $(words "$name")"; done
}
expect_no_words() {
  local name=$1 word
  shift
  for word in "$@"; do ! found "$name" "$word" >/dev/null || fail "$name: \"$word\" read; read: $(words "$name")"; done
}
# The label wraps inside its 512 px: no ink of its colour beside it.
expect_within_width() {
  local left right
  left=$(pixels count "$1" 150 $NAMES_Y 42 $NAMES_H "$INK" 40)
  right=$(pixels count "$1" $((NAMES_X + NAMES_W)) $NAMES_Y 150 $NAMES_H "$INK" 40)
  ((left == 0 && right == 0)) || fail "$2: text beside the label's width ($left px left, $right px right)"
}

plain_background "$BACKGROUND"
start_display 1024x768
FAKETIME_AT="2026-12-06 12:00:00" start_app /s
id=$(wait_window)
wait_still "$WORK/start.png" "${CLOCK[@]}"

# The checks find nothing where nothing is written: bare background below the label.
"$PY" "$WORK/ocr.py" read "$WORK/start.png" $NAMES_X 440 $NAMES_W $NAMES_H "$WORK/bare.txt"
expect_no_words bare "Александр" "Митрофан" "Моли Бога" "усердно"

# Start-up: the line for 06.12 of the shipped file.
read_names "$WORK/start.png" start
expect_words start "Александр" "Митрофан" "Амфилохий" "Серафим"
expect_no_words start "Моли Бога" "усердно"
expect_within_width "$WORK/start.png" start

# F10 held (the key repeats meanwhile): the prayer in two lines, the second below the first.
xdotool windowfocus --sync "$id"
xdotool keydown F10
wait_change "$WORK/start.png" $NAMES_X $NAMES_Y $NAMES_W $NAMES_H
wait_still "$WORK/prayer.png" "${CLOCK[@]}"
read_names "$WORK/prayer.png" prayer
read -r line1 top1 < <(found prayer "Моли Бога") || fail "prayer: \"Моли Бога\" not read; read: $(words prayer)"
read -r line2 top2 < <(found prayer "усердно") || fail "prayer: \"усердно\" not read; read: $(words prayer)"
((line1 == 1)) || fail "prayer: \"Моли Бога\" is not on the first line; read: $(words prayer)"
((line2 == 2 && top2 >= top1 + 12)) || fail "prayer: \"усердно\" does not begin the second line ($line1@$top1, $line2@$top2)"
expect_words prayer "яко аз" "прибегаю"
expect_no_words prayer "Александр" "Митрофан"
expect_within_width "$WORK/prayer.png" prayer
keeps_running "F10 ended the program"

# F10 released: the names are back.
xdotool keyup F10
wait_change "$WORK/prayer.png" $NAMES_X $NAMES_Y $NAMES_W $NAMES_H
wait_still "$WORK/released.png" "${CLOCK[@]}"
read_names "$WORK/released.png" released
expect_words released "Александр" "Митрофан" "Амфилохий" "Серафим"
expect_no_words released "Моли Бога" "усердно"
expect_within_width "$WORK/released.png" released
keeps_running "releasing F10 ended the program"

stop_app
echo "ok"
