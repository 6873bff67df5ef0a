# Sourced after tests/e2e/lib.sh by the wine tests and the wine benchmark: a wine prefix of this run and
# the screensaver (or another Windows program) started in it.

export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The default sound device is ALSA's null device: nothing is heard, the tune still plays.
export HOME="$WORK/home"
mkdir -p "$HOME"
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$HOME/.asoundrc"
# Russian regional settings: wine takes the user's locale from the Unix one, made here for this run only.
mkdir -p "$WORK/locale"
localedef -i ru_RU -f UTF-8 "$WORK/locale/ru_RU.UTF-8" 2>/dev/null || true
WINE_LOCALE=(LOCPATH="$WORK/locale" LC_ALL=ru_RU.UTF-8)
# Errors do not end the handler early: cleanup must run, and takes the script's status from (exit $rc).
trap 'rc=$?; set +e; [[ -n "${WINEPREFIX:-}" ]] && wineserver -k 2>/dev/null; (exit $rc); cleanup' EXIT

# wine_prefix "YYYY-MM-DD HH:MM:SS": a fresh prefix in $BUILD/wine-prefix, made at that faked time (a prefix
# made later than a program's faked time is updated at its first start, ~20 s), with the fonts the screen
# asks for, kept alive by a persistent server until the script ends.
wine_prefix() {
  export WINEPREFIX="$BUILD/wine-prefix"
  rm -rf "$WINEPREFIX"
  env "${WINE_LOCALE[@]}" LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@$1" NO_FAKE_STAT=1 wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/tahoma*.ttf "$fonts/"
  cp /usr/share/fonts/truetype/liberation/LiberationSans-*.ttf /usr/share/fonts/truetype/liberation/LiberationSerif-*.ttf "$fonts/"
  cat >"$WORK/setup.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Times New Roman"="Liberation Serif"
"MS Sans Serif"="Liberation Sans"
REG
  env "${WINE_LOCALE[@]}" wine regedit /S "$WORK/setup.reg" >/dev/null 2>&1
  wineserver -w
  wineserver -p
}

# wine_monitors_by_xinerama: wine's monitors are RandR's monitors, as start_two_monitors sets them (by
# default wine asks for the outputs: one monitor, the whole screen). The primary stands at (0, 0) in
# Windows' coordinates, the other where it lies from it, left or above in negative coordinates. Wine reads
# the monitors when its server starts, so the server is started again: call it after wine_prefix, before
# any program.
wine_monitors_by_xinerama() {
  env "${WINE_LOCALE[@]}" wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /d N /f >/dev/null 2>&1 ||
    fail "could not set UseXRandR"
  wineserver -k
  wineserver -w
  wineserver -p
}

# wine_dpi DPI: the system's dots per inch (LogPixels) for every Windows program started from now on; wine
# scales no program for it, aware of it or not.
wine_dpi() {
  env "${WINE_LOCALE[@]}" wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
    >/dev/null 2>&1 || fail "could not set LogPixels"
}

# start_preview_host /p|/c:|/c|/s [W H]: the system's screensaver dialog (preview_host.exe) starting the
# screensaver ${SCR_COPY:-$SCR} with that switch; PREVIEW_HOST_PID is its process, HOST_WINDOW and HOST_PANE
# its window's and its pane's handles (decimal). host_say COMMAND sends it a command ("r", "W H", "s", "q");
# host_line REGEX waits for its next line of output that matches, into HOST_LINE ("ended 0", "pane …").
start_preview_host() {
  local mode=$1 scr=${SCR_COPY:-$SCR}
  shift
  [[ $scr == /* ]] && scr=$(winepath -w "$scr" 2>/dev/null)
  rm -f "$WORK/host.in"
  mkfifo "$WORK/host.in"
  : >"$WORK/host.out"
  HOST_LINES=0
  # Held open for writing until the script ends: each command is a line of its own.
  sleep infinity >"$WORK/host.in" &
  STARTED_PIDS+=("$!")
  env "${WINE_LOCALE[@]}" wine "$BUILD/preview_host.exe" "$mode" "$scr" "$@" <"$WORK/host.in" \
    >"$WORK/host.out" 2>"$WORK/stderr.preview-host" &
  PREVIEW_HOST_PID=$!
  STARTED_PIDS+=("$PREVIEW_HOST_PID")
  host_line '^window '
  read -r _ HOST_WINDOW _ HOST_PANE <<<"$HOST_LINE"
}
host_say() { echo "$1" >"$WORK/host.in"; }
host_line() {
  local deadline=$((SECONDS + 30)) n
  while ((SECONDS < deadline)); do
    n=$(wc -l <"$WORK/host.out")
    while ((HOST_LINES < n)); do
      HOST_LINES=$((HOST_LINES + 1))
      HOST_LINE=$(sed -n "${HOST_LINES}p" "$WORK/host.out" | tr -d '\r')
      [[ $HOST_LINE =~ $1 ]] && return 0
    done
    sleep 0.05
  done
  fail "the preview host printed no line like \"$1\" (it printed: $(tr -d '\r' <"$WORK/host.out" | tr '\n' '|'))"
}

# start_scr [args…]: ${SCR_COPY:-$SCR} (the screensaver) under wine in ${CWD:-$WORK/cwd}, as launch_in
# starts it; FAKETIME_AT fixes the clock.
start_scr() {
  local cwd=${CWD:-$WORK/cwd} env=(env "${WINE_LOCALE[@]}")
  mkdir -p "$cwd"
  # Only the date and time are faked: the program's timers run on the wine server's real monotonic clock.
  [[ -n "${FAKETIME_AT:-}" ]] && env+=(LD_PRELOAD="$FAKETIME_LIB" FAKETIME="@$FAKETIME_AT" FAKETIME_DONT_RESET=1
    FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1)
  launch_in "$cwd" "${env[@]}" wine "${SCR_COPY:-$SCR}" "$@"
}

# wine_cmd COMMAND_LINE: what cmd.exe prints for COMMAND_LINE, in UTF-8 and without carriage returns (/u:
# UTF-16 into the pipe, where it would otherwise write a code page of its own choosing).
wine_cmd() { env "${WINE_LOCALE[@]}" wine cmd /u /c "$1" 2>/dev/null | iconv -f UTF-16LE -t UTF-8 | tr -d '\r'; }

# reg_value KEY NAME: the data of the value NAME under KEY, as `wine reg query` prints it (into a pipe in
# the OEM code page, CP866 in the Russian locale); fails when there is none.
reg_value() {
  env "${WINE_LOCALE[@]}" wine reg query "$1" /v "$2" 2>/dev/null | iconv -f CP866 -t UTF-8 | tr -d '\r' |
    awk -v head="    $2    " 'index($0, head) == 1 { sub(/^    [^ ]+    REG_[A-Z_]+(    )?/, ""); print; found = 1 }
      END { exit !found }'
}

# read_saints SHOT: the text of Label113 (today's saints, or the prayer) on a 1024 × 768 screen, with OCR.
read_saints() {
  convert "$1" -crop 512x140+192+299 +repage -colorspace Gray -resize 200% "$WORK/saints-big.png"
  tesseract "$WORK/saints-big.png" - -l rus --psm 6 2>/dev/null | tr '\n' ' '
}
