#!/usr/bin/env bash
# The Windows desktop as its users have it, under wine: the dialog's Settings button and its live preview
# (preview_host.exe stands in for the dialog), two monitors with the primary on the right, and screens the
# design does not fit (1920x1080 at 144 dpi, 1280x720).   bash tests/win32/wine_desktop_test.sh BUILD_WIN_DIR SOURCE_DIR
export PATH="/usr/bin:/bin:$PATH"
source "$(dirname "$0")/../e2e/lib.sh"

SCR="$BUILD/ladoslov.scr"
[[ -f "$SCR" && -f "$BUILD/preview_host.exe" ]] || fail "no $SCR or preview_host.exe"
[[ -n "$FAKETIME_LIB" ]] || fail "libfaketime is not installed"
source "$(dirname "$0")/wine_lib.sh"

background="#406090"
plain_background "$background"
mkdir -p "$WORK/cwd/muz"
cp "$SRC/muz/ladoslov.mp3" "$WORK/cwd/muz/"
t0=$SECONDS
start_two_monitors "1280x1024+0+0" "1024x768+1280+0*"
wine_prefix "2026-12-08 09:05:00"
wine_monitors_by_xinerama
echo "  wine prefix with two monitors ready in $((SECONDS - t0)) s"

screens() { xdotool search --onlyvisible --name '^Form1$' 2>/dev/null | wc -l; }
message_box() { xdotool search --onlyvisible --name '^Ладослов$' 2>/dev/null | head -n1; }
mci_plays() { grep -cF 'mciExecute (play ' "$@" || true; }

# ---- the dialog's Settings button: /c:<its window>, and /c <handle> -----------------------------------
cd "$WORK/cwd"
start_preview_host /c:
wait_for "/c:<window> shows no message box" eval '[[ -n $(message_box) ]]'
(($(screens) == 0)) || fail "/c:<window> shows the screensaver"
# The box is the dialog's: the window manager is told it belongs to the host's window.
owner=$(xprop -id "$(message_box)" WM_TRANSIENT_FOR | grep -o '0x[0-9a-f]*' || true)
[[ -n $owner && $((owner)) == "$(xdotool search --name '^Preview host$' | head -n1)" ]] ||
  fail "the message box of /c:<window> is not owned by that window (${owner:-none})"
xdotool key --window "$(message_box)" Return
host_line '^ended '
[[ $HOST_LINE == "ended 0" ]] || fail "/c:<window> ended with ${HOST_LINE#ended }"
host_say q
start_scr /c 123456
wait_for "/c <handle> shows no message box" eval '[[ -n $(message_box) ]]'
(($(screens) == 0)) || fail "/c <handle> shows the screensaver"
xdotool key --window "$(message_box)" Return
[[ $(app_exit_code 15) == 0 ]] || fail "/c <handle> did not end with 0 when its box was closed"
echo "  /c:<window> and /c <handle>: the message, owned by the dialog"

# ---- the preview in the dialog's pane: drawn there, following it, silent, ending with it ---------------
WINEDEBUG=-all,+mci start_preview_host /p
child_of_pane() {
  host_say s
  host_line '^pane '
  [[ $HOST_LINE =~ ^pane\ $1\ $2\ child\ [0-9]+\ $1\ $2$ ]]
}
wait_for "no window of the screensaver fills the 152 x 112 pane" child_of_pane 152 112
(($(screens) == 0)) || fail "the preview opened a window of its own"
host_say r
resized=$(now_ms)
until child_of_pane 300 225; do
  (($(now_ms) - resized < 1000)) || fail "the preview did not follow the pane to 300 x 225 within a second ($HOST_LINE)"
done
# The dialog's Preview button starts the screensaver beside the little preview: it covers the screen.
FAKETIME_AT="2026-12-08 09:05:07" start_scr /s
wait_window 90 >/dev/null
xdotool key x
[[ $(app_exit_code 15) == 0 ]] || fail "the screensaver started beside the preview did not end with 0 on a key"
child_of_pane 300 225 || fail "the preview ended with the screensaver beside it"
host_say q
# Wine takes a while to take the dialog's window down; the preview ends once it is gone.
wait_for "the dialog's window did not go" eval '! xdotool search --onlyvisible --name "^Preview host\$" >/dev/null 2>&1'
gone=$(now_ms)
host_line '^ended '
(($(now_ms) - gone < 1000)) || fail "the preview ended $(($(now_ms) - gone)) ms after the dialog's window went"
[[ $HOST_LINE == "ended 0" ]] || fail "the preview ended with ${HOST_LINE#ended }"
(($(mci_plays "$WORK/stderr.preview-host") == 0)) || fail "the preview sent a play command"
echo "  /p: drawn into the pane, followed it, ended with it, no tune"

# ---- two monitors, the primary on the right ----------------------------------------------------------------
FAKETIME_AT="2026-12-08 09:05:07" WINEDEBUG=-all,+mci start_scr /s
windows_cover "1280x1024+0+0" "1024x768+1280+0"
xdotool mousemove 1300 470
wait_still "$WORK/two.png" 573 728 134 36 1725 600 134 36
for m in "1280x1024+0+0" "1024x768+1280+0"; do
  convert "$WORK/two.png" -crop "$m" +repage "$WORK/monitor.png"
  wine "$BUILD/ladoslov-cells.exe" --date 2026-12-08 --size "${m%%+*}" 2>/dev/null | tr -d '\r' >"$WORK/cells.txt"
  pixels cells "$WORK/monitor.png" "$WORK/cells.txt" || fail "the day cells of the monitor $m differ from the core's listing"
done
xdotool mousemove 40 512 click 1
[[ $(app_exit_code 15) == 0 ]] || fail "a click on the other monitor's background did not end the screensaver"
(($(mci_plays "$WORK/stderr.$APP_PID") == 1)) || fail "not one play command on two monitors"
echo "  two monitors: both covered, their cells right, a click on the other ends it, one tune"

# ---- screens the design does not fit -------------------------------------------------------------------------
for screen in "1920x1080 144" "1280x720 96"; do
  read -r size dpi <<<"$screen"
  w=${size%x*} h=${size#*x}
  kill "$XVFB_PID"
  wait "$XVFB_PID" 2>/dev/null || true
  wineserver -k
  wineserver -w
  start_display "$size"
  wine_dpi "$dpi"
  wineserver -k
  wineserver -w
  wineserver -p
  start_scr /s
  wait_window 90 >/dev/null
  xdotool mousemove $((w / 2)) $((h / 2))
  wait_still "$WORK/fit.png" $((w * 42 / 100)) $((h * 76 / 100)) $((w * 16 / 100)) $((h * 8 / 100))
  cp "$WORK/fit.png" "$WORK/fit-$size.png"
  [[ -n "${LADOSLOV_SHOTS:-}" ]] && cp "$WORK/fit-$size.png" "$LADOSLOV_SHOTS/wine-fit-$size.png"
  no_text_cut "$WORK/fit.png" "$w" "$h" "$background"
  (($(pixels count "$WORK/fit.png" 0 0 "$w" 60 "#0000ff") > 200)) || fail "$size: no title at the top"
  # The palette and the boat stand against their corners at any dpi.
  # (The boat's picture has a margin of its own: 8 design pixels right, 4 below.)
  (($(pixels differ "$WORK/fit.png" $((w - 2)) 0 2 100 "$background") > 0)) || fail "$size at $dpi dpi: the palette is off its corner"
  (($(pixels differ "$WORK/fit.png" $((w - 16)) $((h - 150)) 16 150 "$background") > 0 &&
    $(pixels differ "$WORK/fit.png" $((w - 200)) $((h - 10)) 200 10 "$background") > 0)) ||
    fail "$size at $dpi dpi: the boat is off its corner"
  xdotool key Escape
  [[ $(app_exit_code 15) == 0 ]] || fail "$size: a key did not end the screensaver"
  echo "  $size at $dpi dpi: the whole design, nothing cut, the pictures in their corners"
done
[[ -n "${LADOSLOV_SHOTS:-}" ]] && cp "$WORK/two.png" "$LADOSLOV_SHOTS/wine-two.png"
echo "PASS ($((SECONDS - t0)) s)"
