#!/usr/bin/env bash
# Start-up of the Windows screensaver under wine beside a minimal Win32 window under wine, in one run on
# one virtual screen (1024x768) and one wine prefix: from the start of the process to its first painted
# frame, and its peak resident memory (VmHWM) 1.5 s after that frame. Medians of N runs of each, taken in
# turns.   bash bench/wine_startup_bench.sh [BUILD_WIN_DIR] [N]
export PATH="/usr/bin:/bin:$PATH"
here=$(cd "$(dirname "$0")" && pwd)
set -- "${1:-$here/../build-win}" "$here/.." "${2:-7}"
source "$here/../tests/e2e/lib.sh"
RUNS=$3
for exe in ladoslov.scr win32_minimal_window.exe; do [[ -f "$BUILD/$exe" ]] || fail "no $BUILD/$exe"; done
source "$here/../tests/win32/wine_lib.sh"
start_display 1024x768
wine_prefix "$(date '+%F %T')"
mkdir -p "$WORK/cwd" "$WORK/quiet/cwd" "$WORK/quiet/bin"
cp -r "$SRC/Data" "$SRC/muz" "$WORK/cwd/"
# The same screensaver without a tune: no muz folder where it looks.
cp -r "$SRC/Data" "$WORK/quiet/cwd/"
cp "$BUILD/ladoslov.scr" "$WORK/quiet/bin/"
export LADOSLOV_FIRST_FRAME=1

# one_run EXE [CWD]: prints "MS KB" for one start of EXE.
one_run() {
  local start ms kb
  start=$(now_ms)
  SCR_COPY="$1" CWD="${2:-}" start_scr /s
  until grep -q first-frame "$WORK/stderr.$APP_PID" 2>/dev/null; do
    kill -0 "$APP_PID" 2>/dev/null || fail "$1 ended before its first frame"
    sleep 0.005
  done
  ms=$(($(now_ms) - start))
  sleep 1.5
  kb=$(memory_kb VmHWM)
  xdotool key x
  [[ $(app_exit_code 15) == 0 ]] || fail "$1 did not end on a key"
  echo "$ms $kb"
}

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# A first start of each warms wine's caches; it is not counted.
one_run "$BUILD/ladoslov.scr" >/dev/null
one_run "$WORK/quiet/bin/ladoslov.scr" "$WORK/quiet/cwd" >/dev/null
one_run "$BUILD/win32_minimal_window.exe" >/dev/null
: >"$WORK/scr.txt"
: >"$WORK/quiet.txt"
: >"$WORK/min.txt"
for _ in $(seq "$RUNS"); do
  one_run "$BUILD/ladoslov.scr" >>"$WORK/scr.txt"
  one_run "$WORK/quiet/bin/ladoslov.scr" "$WORK/quiet/cwd" >>"$WORK/quiet.txt"
  one_run "$BUILD/win32_minimal_window.exe" >>"$WORK/min.txt"
done
min_ms=$(cut -d' ' -f1 "$WORK/min.txt" | median)
min_kb=$(cut -d' ' -f2 "$WORK/min.txt" | median)
printf '%-34s %12s %14s %11s %13s\n' "" "first frame" "peak memory" "time ratio" "memory ratio"
# row NAME FILE: the medians of one program against the minimal window's.
row() {
  awk -v name="$1" -v a="$(cut -d' ' -f1 "$2" | median)" -v b="$(cut -d' ' -f2 "$2" | median)" -v c="$min_ms" \
    -v d="$min_kb" 'BEGIN { printf "%-34s %9d ms %11.1f MB %10.2fx %12.2fx\n", name, a, b / 1024, a / c, b / d }'
}
row "ladoslov.scr (with its tune)" "$WORK/scr.txt"
row "ladoslov.scr, no tune" "$WORK/quiet.txt"
row "minimal Win32 window" "$WORK/min.txt"
echo "(medians of $RUNS runs each, under wine $(wine --version 2>/dev/null))"
