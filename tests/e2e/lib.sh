# Sourced by the end-to-end tests: the real program on a virtual X screen, driven with xdotool and
# checked on screenshots.   bash tests/e2e/<name>_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

BUILD=$(cd "$1" && pwd)
SRC=$(cd "$2" && pwd)
WORK=$(mktemp -d /tmp/ladoslov-e2e.XXXXXX)
export XDG_RUNTIME_DIR="$WORK/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export SDL_AUDIODRIVER=dummy
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
  exit 1
}

# start_display 1024x768
start_display() {
  local n
  for n in $(seq 140 199); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    Xvfb ":$n" -screen 0 "${1}x24" -dpi 96 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      xdpyinfo >/dev/null 2>&1 && return 0
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
  done
  fail "no virtual display"
}

# A working directory with a plain background picture of one colour: run_dir COLOUR (e.g. "#6080a0")
plain_background() {
  mkdir -p "$WORK/cwd/Data"
  convert -size 1680x1260 "xc:$1" -quality 95 "$WORK/cwd/Data/ladoslov.jpg"
}

# start_app [args…]: the screensaver in $WORK/cwd; FAKETIME_AT="2026-12-06 09:05:07" fixes the clock.
# APP_PID is the program's process; its exit code lands in $WORK/rc.<pid> (see app_exit_code).
start_app() {
  mkdir -p "$WORK/cwd"
  local env=()
  [[ -n "${FAKETIME_AT:-}" ]] && env=(env LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@$FAKETIME_AT" FAKETIME_DONT_RESET=1)
  rm -f "$WORK/started"
  (
    cd "$WORK/cwd"
    "${env[@]}" "$BUILD/ladoslov" "$@" &
    pid=$!
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
wait_window() {
  local id
  id=$(timeout "${1:-15}" xdotool search --sync --onlyvisible --name '^Form1$' 2>/dev/null | head -n1) ||
    fail "the window did not appear"
  echo "$id"
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

# stop_app: ends the program if it still runs.
stop_app() {
  [[ -n "$APP_PID" ]] && kill "$APP_PID" 2>/dev/null || true
  [[ -n "$APP_PID" ]] && app_exit_code 5 >/dev/null || true
  APP_PID=""
}

screenshot() { import -window root "$1"; }

# pixels.py helpers: count pixels of a colour in a rectangle, and so on.
pixels() { "$PY" "$SRC/tests/e2e/pixels.py" "$@"; }
