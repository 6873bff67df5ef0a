# Sourced by the end-to-end tests: the real program on a virtual X screen, driven with xdotool and
# checked on screenshots.   bash tests/e2e/<name>_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

BUILD=$(cd "$1" && pwd)
SRC=$(cd "$2" && pwd)
WORK=$(mktemp -d /tmp/ladoslov-e2e.XXXXXX)
export XDG_RUNTIME_DIR="$WORK/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export SDL_AUDIODRIVER=dummy
# No session bus: libdbus would otherwise launch one from a thread of the program, a child that can
# outlive it.
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
# A sanitized build writes its reports here instead of into the program's own error output.
mkdir -p "$WORK/sanitizer"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}log_path=$WORK/sanitizer/asan"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}log_path=$WORK/sanitizer/ubsan"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
XVFB_PID=""
APP_PID=""
STARTED_PIDS=()
PY=/usr/bin/python3
FAKETIME_LIB=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1 || true)

cleanup() {
  local rc=$? pid report
  for pid in "${STARTED_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  [[ -n "$XVFB_PID" ]] && kill "$XVFB_PID" 2>/dev/null || true
  wait 2>/dev/null || true
  for report in "$WORK"/sanitizer/*; do
    [[ -e "$report" ]] || continue
    echo "FAIL: sanitizer report $(basename "$report"):" >&2
    cat "$report" >&2
    rc=1
  done
  rm -rf "$WORK"
  exit "$rc"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  local f
  for f in "$WORK"/stderr.*; do
    if [[ -s "$f" ]]; then echo "--- the program's ${f##*/}:" >&2; tail -n 20 "$f" >&2; fi
  done
  exit 1
}

# start_display 1024x768
start_display() {
  local n
  for n in $(seq 140 199); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    # -noreset: by default the server resets when its last client leaves and refuses whoever connects
    # meanwhile, e.g. a copy started just after xdpyinfo or after the previous copy ended.
    Xvfb ":$n" -screen 0 "${1}x24" -dpi 96 -nolisten tcp -noreset >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    # A busy machine can take seconds to start it; one that never answers is not left behind.
    for _ in $(seq 300); do
      xdpyinfo >/dev/null 2>&1 && return 0
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null || true
  done
  fail "no virtual display"
}

# start_two_monitors "WxH+X+Y[*]" "WxH+X+Y[*]", in place of start_display (once per script): one virtual
# display as large as both monitors, divided into them with RandR's monitors, which Qt and Xinerama (wine
# with wine_monitors_by_xinerama) read. "*" marks the primary (the first one if none is marked); it need not
# be the leftmost. MONITORS holds the two, unmarked.
start_two_monitors() {
  local monitor w h x y width=0 height=0 i=0 star output=screen primary=0
  [[ "$1$2" == *"*"* ]] || primary=1
  MONITORS=("${1%\*}" "${2%\*}")
  for monitor in "${MONITORS[@]}"; do
    [[ $monitor =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || fail "not a monitor: $monitor"
    width=$((BASH_REMATCH[1] + BASH_REMATCH[3] > width ? BASH_REMATCH[1] + BASH_REMATCH[3] : width))
    height=$((BASH_REMATCH[2] + BASH_REMATCH[4] > height ? BASH_REMATCH[2] + BASH_REMATCH[4] : height))
  done
  start_display "${width}x${height}"
  for monitor in "$1" "$2"; do
    i=$((i + 1))
    star=""
    [[ $monitor == *"*" || $i == "$primary" ]] && star="*"
    IFS='x+' read -r w h x y <<<"${monitor%\*}"
    # Sizes in millimetres at 96 dots per inch. The first monitor takes the screen's one output: an output
    # left to none stays a monitor of its own, the whole screen.
    xrandr --setmonitor "${star}M$i" "$w/$((w * 254 / 960))x$h/$((h * 254 / 960))+$x+$y" "$output" >/dev/null ||
      fail "xrandr could not set monitor $monitor"
    output=none
  done
}

# windows_cover WxH+X+Y…: the screensaver's windows, one a monitor, stand exactly on these monitors.
windows_cover() {
  local m id
  wait_for "$# windows of the screensaver" eval "((\$(xdotool search --onlyvisible --name '^Form1\$' 2>/dev/null | wc -l) == $#))"
  for id in $(xdotool search --onlyvisible --name '^Form1$'); do
    xdotool getwindowgeometry "$id" | tr '\n' ' '
    echo
  done >"$WORK/windows.txt"
  for m in "$@"; do
    m=${m/+/ } && m=${m/+/,}
    grep -q "Position: ${m#* } .* Geometry: ${m%% *}" "$WORK/windows.txt" || fail "the monitor $m is not covered: $(cat "$WORK/windows.txt")"
  done
}

# qt_dpi DPI: the dots per inch Qt reads of the display (Xft.dpi; Xvfb's -dpi is not read): 144 makes every
# Qt program started from now on scale by 1.5.
qt_dpi() { echo "Xft.dpi: $1" | xrdb -nocpp -merge; }

# A working directory with a plain background picture of one colour: run_dir COLOUR (e.g. "#6080a0")
plain_background() {
  mkdir -p "$WORK/cwd/Data"
  convert -size 1680x1260 "xc:$1" -quality 95 "$WORK/cwd/Data/ladoslov.jpg"
}

# start_app [args…]: the screensaver in $WORK/cwd; FAKETIME_AT="2026-12-06 09:05:07" fixes the clock.
# APP_PID is the program's process; its exit code lands in $WORK/rc.<pid> (see app_exit_code), what it
# writes to stderr in $WORK/stderr.<pid> (shown by fail).
start_app() {
  mkdir -p "$WORK/cwd"
  local env=()
  [[ -n "${FAKETIME_AT:-}" ]] && env=(env LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@$FAKETIME_AT" FAKETIME_DONT_RESET=1)
  # FAKETIME_FILE: the date and time follow what the test writes into that file while the program runs
  # (set_clock); the timers keep the real monotonic clock, so a jump of the date does not stall them.
  [[ -n "${FAKETIME_FILE:-}" ]] &&
    env=(env LD_PRELOAD="$FAKETIME_LIB" FAKETIME_TIMESTAMP_FILE="$FAKETIME_FILE" FAKETIME_NO_CACHE=1
      FAKETIME_DONT_FAKE_MONOTONIC=1)
  launch_in "$WORK/cwd" "${env[@]}" "$BUILD/ladoslov" "$@"
}

# launch_in DIR COMMAND…: starts COMMAND in DIR. APP_PID is its process; its exit code lands in
# $WORK/rc.<pid> (see app_exit_code), what it writes to stderr in $WORK/stderr.<pid> (shown by fail).
launch_in() {
  local dir=$1
  shift
  rm -f "$WORK/started"
  (
    cd "$dir"
    # Opened before the start, renamed once the pid is known: the program writes to the same file.
    exec 3>"$WORK/stderr.starting.$BASHPID"
    "$@" 2>&3 3>&- &
    pid=$!
    exec 3>&-
    mv "$WORK/stderr.starting.$BASHPID" "$WORK/stderr.$pid"
    echo "$pid" >"$WORK/started"
    rc=0
    wait "$pid" || rc=$?
    echo "$rc" >"$WORK/rc.$pid"
  ) &
  for _ in $(seq 100); do [[ -s "$WORK/started" ]] && break; sleep 0.02; done
  APP_PID=$(cat "$WORK/started")
  STARTED_PIDS+=("$APP_PID")
}

# Waits until the screensaver's window is mapped; prints its id.
# One search per try: a single "xdotool search --sync" gives up for good on an X error, which a window
# of an earlier copy that is just being destroyed can cause.
wait_window() {
  local deadline=$((SECONDS + ${1:-15})) id
  while ((SECONDS < deadline)); do
    id=$(xdotool search --onlyvisible --name '^Form1$' 2>/dev/null | head -n1 || true)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    sleep 0.1
  done
  fail "the window did not appear"
}

# app_exit_code SECONDS [PID]: waits for the program to end; prints its exit code, or "running".
app_exit_code() {
  local pid=${2:-$APP_PID} deadline=$((SECONDS + $1))
  while [[ ! -e "$WORK/rc.$pid" ]]; do
    ((SECONDS >= deadline)) && { echo running; return 0; }
    sleep 0.05
  done
  cat "$WORK/rc.$pid"
}

# keeps_running MESSAGE: fails with MESSAGE and the exit code if the program has ended.
keeps_running() {
  local rc
  rc=$(app_exit_code 0)
  [[ $rc == running ]] || fail "$1 (exit code $rc)"
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# exit_within MS: the program's exit code once it has ended within MS milliseconds, or "running".
exit_within() {
  local deadline=$(($(now_ms) + $1))
  while kill -0 "$APP_PID" 2>/dev/null; do
    (($(now_ms) >= deadline)) && { echo running; return 0; }
    sleep 0.02
  done
  app_exit_code 1
}

# ends_at_once WHAT: the input just sent ended the program: its window (if it has one) is gone within a
# second, which is what the user sees, and the process then ends with 0. The process may take a little
# longer than the window: closing the sound device waits for the mixing thread's buffer (~0.2 s), more
# when the machine is busy.
ends_at_once() {
  local rc deadline=$(($(now_ms) + 1000))
  while [[ -n "$(xdotool search --onlyvisible --pid "$APP_PID" --name '^Form1$' 2>/dev/null || true)" ]]; do
    (($(now_ms) >= deadline)) && fail "$1: the window was still there after a second"
    sleep 0.02
  done
  rc=$(exit_within 10000)
  [[ "$rc" == 0 ]] || fail "$1: expected exit code 0, got $rc"
}

# stop_app: ends the program if it still runs.
stop_app() {
  [[ -n "$APP_PID" ]] && kill "$APP_PID" 2>/dev/null || true
  [[ -n "$APP_PID" ]] && app_exit_code 5 >/dev/null || true
  APP_PID=""
}

screenshot() { import -window root "$1"; }

# ---- waiting for the screen: conditions, never a pause that assumes the machine's pace ---------------

# Where the clock stands on a 1024 × 768 screen: it changes every second.
CLOCK=(445 600 134 36)

# wait_for WHAT COMMAND…: runs COMMAND every tenth of a second until it succeeds; fails with WHAT, and
# what COMMAND last put into SEEN, when it has not within 30 s (WAIT_S seconds if set) and ten tries (on a
# busy machine the tries themselves are slow).
wait_for() {
  local what=$1 limit=${WAIT_S:-30} tries=0
  local deadline=$((SECONDS + limit))
  shift
  SEEN=""
  until "$@"; do
    tries=$((tries + 1))
    ((SECONDS < deadline || tries < 10)) || fail "$what (waited $limit s${SEEN:+; $SEEN})"
    sleep 0.1
  done
}

# wait_still OUT [X Y W H]…: waits until the screen stands still: three screenshots in a row, a moment
# apart, differ nowhere but in the rectangles given (the clock, say). The fill, the answer to the last
# input and any repaint are over then, however slow the machine; OUT is the last screenshot. Gives up
# after 60 s, but not before ten shots: on a busy machine the shots themselves are slow.
wait_still() {
  local out=$1 prev=$WORK/still.png deadline=$((SECONDS + 60)) same=0 changed=none shots=0
  shift
  screenshot "$prev"
  while ((same < 2)); do
    ((SECONDS < deadline || shots < 10)) ||
      fail "the screen did not stand still within 60 s ($changed pixels changed between the last two shots)"
    shots=$((shots + 1))
    sleep 0.25
    screenshot "$out"
    changed=$(pixels changed_outside "$prev" "$out" "$@")
    if ((changed == 0)); then same=$((same + 1)); else same=0; fi
    cp "$out" "$prev"
  done
}

# wait_change BEFORE X Y W H: waits until the rectangle differs from the screenshot BEFORE: the answer to
# the last input has begun to show (wait_still then takes the settled picture).
wait_change() {
  local before=$1
  shift
  changed_from_before() {
    screenshot "$WORK/change.png"
    (($(pixels changed "$before" "$WORK/change.png" "$@") > 0))
  }
  wait_for "nothing changed at $*" changed_from_before "$@"
}

# wait_ticks N [X Y W H]: waits until the clock (at CLOCK unless given) has changed N times, blank to the
# first time included: the program's timers have run N seconds since the window came up (the feast
# timer's 1.5 s once with N = 2), or since the last input, which its event loop has then taken. Takes the
# first shot at once: call it right after wait_window or the input. Fails with ENDED, if set, when the
# program ends meanwhile. The last shot is left in $WORK/ticks.png.
wait_ticks() {
  local n=$1 seen=0 prev=$WORK/ticks.png shot=$WORK/ticks-now.png deadline=$((SECONDS + 30))
  shift
  local rect=("$@")
  ((${#rect[@]})) || rect=("${CLOCK[@]}")
  screenshot "$prev"
  while ((seen < n)); do
    ((SECONDS < deadline)) || fail "the clock did not change $n times within 30 s"
    keeps_running "${ENDED:-the program ended while its clock was awaited}"
    sleep 0.1
    screenshot "$shot"
    (($(pixels changed "$prev" "$shot" "${rect[@]}") > 0)) && seen=$((seen + 1))
    cp "$shot" "$prev"
  done
}

# set_clock "2027-01-06 23:59:56" [RATE]: the program's date and time run from that moment, RATE times as
# fast as the real clock, from its first look at the clock after the change (at start-up, or its next tick).
set_clock() {
  echo "@$1 x${2:-1}" >"$FAKETIME_FILE.new"
  mv "$FAKETIME_FILE.new" "$FAKETIME_FILE"
}

# memory_kb FIELD [PID]: VmRSS (resident now) or VmHWM (its peak) of the program, in KiB.
memory_kb() { awk -v f="$1:" '$1 == f {print $2}' "/proc/${2:-$APP_PID}/status"; }

# A build with AddressSanitizer keeps freed memory in quarantine: its resident size says nothing of leaks.
SANITIZED=no
# Read whole: with pipefail, grep -q leaving early would make ldd fail on a closed pipe.
[[ $(ldd "$BUILD/ladoslov" 2>/dev/null) == *libasan* ]] && SANITIZED=yes

# grew_less_than BASE_KB NOW_KB LIMIT_KB WHAT: the resident memory grew by less than LIMIT_KB (not asked of
# a sanitized build).
grew_less_than() {
  [[ $SANITIZED == yes ]] && return 0
  (($2 - $1 < $3)) || fail "memory grew by $((($2 - $1) / 1024)) MiB $4"
}

# pixels.py helpers: count pixels of a colour in a rectangle, and so on.
pixels() { "$PY" "$SRC/tests/e2e/pixels.py" "$@"; }

# wait_blocks_filled X Y W H TPP [BEFORE]: waits until the screen drawn into that rectangle at TPP twips
# per pixel shows red weekend ink in all twelve month blocks and two screenshots in a row agree (the fill
# is over). Leaves blocks.py's figures in BLOCKS: twelve inks, the host's magenta left, changes outside.
wait_blocks_filled() {
  local previous="" inks ink filled deadline=$((SECONDS + 30))
  while :; do
    screenshot "$WORK/blocks.png"
    read -r -a BLOCKS < <("$PY" "$SRC/tests/e2e/blocks.py" "$WORK/blocks.png" "$@")
    inks="${BLOCKS[*]:0:12}"
    filled=yes
    for ink in "${BLOCKS[@]:0:12}"; do ((ink >= 4)) || filled=no; done
    [[ $filled == yes && "$inks" == "$previous" ]] && break
    previous=$inks
    ((SECONDS < deadline)) || fail "the month blocks did not all show (red ink per block: $inks)"
    sleep 0.1
  done
  echo "  red ink per block: $inks; host colour left: ${BLOCKS[12]}; changed outside: ${BLOCKS[13]}"
}

# no_text_cut SHOT W H BACKGROUND: nothing but the corner pictures touches the screen's edges: the outermost rows
# and columns show the background alone, between the pictures.
no_text_cut() {
  local shot=$1 w=$2 h=$3 background=$4 edge
  for edge in "$((w / 8)) 0 $((w * 3 / 4)) 3" "0 $((h / 8)) 3 $((h * 3 / 4))" "$((w - 3)) $((h / 8)) 3 $((h * 5 / 8))" \
    "0 $((h - 3)) $((w * 3 / 4)) 3"; do
    # shellcheck disable=SC2086
    (($(pixels differ "$shot" $edge "$background") == 0)) || fail "${w}x$h: something is cut at the edge ($edge)"
  done
}

# ---- reading the screen: the clock and the feast line ------------------------------------------------

# clock_text SHOT: the clock's text read from the screenshot (cyan digits, its design colour).
clock_text() {
  convert "$1" -crop 134x36+445+600 +repage -fx "(r<0.3 && g>0.7 && b>0.7) ? 0 : 1" -scale 300% "$WORK/clock.png"
  tesseract "$WORK/clock.png" - --psm 7 -c tessedit_char_whitelist=0123456789: 2>/dev/null | tr -d ' \n'
}

# wait_clock REGEX SECONDS OUT: waits until the clock reads a time that REGEX matches; fails when it has not
# within SECONDS. OUT is the screenshot that shows it.
wait_clock() {
  local want=$1 limit=$2 out=$3
  clock_reads() {
    screenshot "$out"
    CLOCK_READ=$(clock_text "$out")
    SEEN="it reads '$CLOCK_READ'"
    [[ "$CLOCK_READ" =~ $want ]]
  }
  WAIT_S=$limit wait_for "the clock did not come to $want" clock_reads
}

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

# ---- a window of another program, as a host's preview gives one ---------------------------------------

# start_host X Y W H: a plain magenta window of another program (host_window.py); HOST is its id, HOST_PID
# its process.
start_host() {
  "$PY" "$SRC/tests/e2e/host_window.py" "$@" >"$WORK/host_id" 2>"$WORK/stderr.host" &
  HOST_PID=$!
  STARTED_PIDS+=("$HOST_PID")
  HOST=""
  for _ in $(seq 100); do [[ -s "$WORK/host_id" ]] && break; sleep 0.05; done
  HOST=$(cat "$WORK/host_id")
  rm -f "$WORK/host_id"
  [[ -n "$HOST" ]] || fail "no host window"
}

# wait_drawn_into HOST WHO: waits until the program (APP_PID) has put its window into the host's window.
wait_drawn_into() {
  drawn_into() {
    keeps_running "$2 ended"
    xwininfo -children -id "$1" 2>/dev/null | grep -q '^ *1 child'
  }
  wait_for "$2 put no window into the host's" drawn_into "$@"
}

# ---- a screensaver host's hack -----------------------------------------------------------------------

# hack_fills_host HOST WHOSE: the program (APP_PID) shows its window inside the host's window HOST and
# none elsewhere, and fills it: the twelve month blocks and the plain background #6080a0 of the working
# directory. Sets HX HY HW HH to the host window's place.
hack_fills_host() {
  local host=$1 whose=$2 id parent bg shown
  read -r HX HY HW HH < <(xwininfo -id "$host" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}')
  echo "  $whose window $host: ${HW}x${HH}+${HX}+${HY}"
  shown_windows() {
    for id in $(xdotool search --pid "$APP_PID" 2>/dev/null || true); do
      # The host may mark its own window with the pid of the hack it runs.
      (($(printf '%d' "$id") == $(printf '%d' "$host"))) && continue
      xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && echo "$id"
    done
  }
  window_shown() { shown=$(shown_windows); [[ -n "$shown" ]]; }
  wait_for "the hack shows no window" window_shown
  for id in $shown; do
    parent=$(xwininfo -children -id "$id" | awk '/Parent window id:/{print $4}')
    (($(printf '%d' "$parent") == $(printf '%d' "$host"))) ||
      fail "the hack shows window $id on $parent, not inside $whose window $host"
  done
  wait_blocks_filled "$HX" "$HY" "$HW" "$HH" 15
  bg=$(convert "$WORK/blocks.png" -crop "${HW}x${HH}+${HX}+${HY}" +repage -fuzz 8% -fill black +opaque "#6080a0" \
    -fill white -opaque "#6080a0" -format '%[fx:mean]' info:)
  awk -v m="$bg" 'BEGIN{exit !(m > 0.8)}' || fail "the background covers only $bg of $whose window"
}

# copies_of PROGRAM: the processes running that executable, whoever started them (by its path: a copy from
# another build folder, or another run's, is not one of them).
copies_of() {
  local pid
  for pid in $(pgrep -x "$(basename "$1")" || true); do
    [[ "$(readlink "/proc/$pid/exe" 2>/dev/null)" == "$1" ]] && echo "$pid"
  done
  return 0
}

# test_user NAME: the user the screensaver hosts run as (they run no hacks as root), made if need be.
test_user() {
  # Another run may make it at the same moment.
  id "$1" >/dev/null 2>&1 || useradd --create-home --shell /bin/sh "$1" 2>/dev/null || id "$1" >/dev/null 2>&1 ||
    fail "no user $1"
}

# alive PID: the process runs (one that has ended and waits for its parent to take its exit status is gone).
alive() { [[ -e /proc/$1 ]] && ! grep -q '^[0-9]* (.*) Z' "/proc/$1/stat" 2>/dev/null; }

# hack_gone_after WHAT LIST…: the hack (APP_PID) is gone within a second of WHAT, and then no process that
# the command LIST… prints is left running. A sanitized build takes itself apart for its leak check at exit, at the host's nice level: there
# only the ending itself is asked for.
hack_gone_after() {
  local what=$1 limit_ms=1000 deadline pid
  shift
  [[ $SANITIZED == yes ]] && limit_ms=30000
  deadline=$(($(now_ms) + limit_ms))
  while alive "$APP_PID"; do
    (($(now_ms) < deadline)) || fail "the hack still runs $limit_ms ms after $what"
    sleep 0.02
  done
  for pid in $("$@" || true); do
    alive "$pid" && fail "a copy of the program is left behind: $(ps -o pid=,stat=,args= -p "$pid")"
  done
  return 0
}
