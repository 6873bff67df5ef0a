#!/usr/bin/env bash
# The Windows installer under wine, in a fresh prefix: its Отмена asks before it quits; ladoslov-setup.exe /S
# installs the screensaver for the user and chooses it; the chosen screensaver, started as the host starts it in another folder, shows the
# calendar with its background and today's saints and plays its tune; the registered uninstaller with /S
# leaves nothing behind, and keeps a screensaver the user chose since.
#   bash tests/win32/installer_test.sh BUILD_WIN_DIR SOURCE_DIR
export PATH="/usr/bin:/bin:$PATH"
source "$(dirname "$0")/../e2e/lib.sh"

SETUP="$BUILD/ladoslov-setup.exe"
[[ -f "$SETUP" ]] || fail "no $SETUP"
[[ -n "$FAKETIME_LIB" ]] || fail "libfaketime is not installed"
VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")

source "$(dirname "$0")/wine_lib.sh"
# A Russian user's name, with a space: the installed path has letters outside ASCII and spaces, so the
# choice holds its short form, which is what the host starts and what the uninstaller must recognise.
export USER="Иван Петров"
start_display 1024x768
t0=$SECONDS
wine_prefix "2026-12-08 09:05:00"
echo "  wine prefix ready in $((SECONDS - t0)) s"

UNINST='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ladoslov'
DESKTOP='HKCU\Control Panel\Desktop'
DIR_WIN="$(wine_cmd 'echo %LOCALAPPDATA%')\\Programs\\Ladoslov"
DIR=$(winepath -u "$DIR_WIN")

# installed: the installation's files are those of the build, and nothing else is there.
installed() {
  local f
  cmp -s "$DIR/ladoslov.scr" "$BUILD/ladoslov.scr" || fail "ladoslov.scr is not installed"
  for f in Data/name.txt Data/ladoslov.jpg muz/ladoslov.mp3; do
    cmp -s "$DIR/$f" "$SRC/$f" || fail "$f is not installed"
  done
  [[ -f "$DIR/uninstall.exe" ]] || fail "no uninstaller"
  [[ $(find "$DIR" -type f | wc -l) == 5 ]] || fail "more files than the program's: $(find "$DIR" -type f)"
}

# uninstall: the registered uninstaller with /S. It runs a copy of itself and returns at once; the copy
# removes the Uninstall key last.
uninstall() {
  local command
  command=$(reg_value "$UNINST" UninstallString) || fail "no UninstallString"
  [[ $command == \"*\" ]] || fail "UninstallString is not a quoted path: $command"
  command=${command#\"}
  env "${WINE_LOCALE[@]}" wine "${command%\"}" /S >/dev/null 2>&1
  key_gone() { ! reg_value "$UNINST" DisplayName >/dev/null; }
  wait_for "the uninstaller did not remove its key" key_gone
  [[ ! -e "$DIR" ]] || fail "the uninstaller left $(find "$DIR")"
}

# ---- Отмена asks first: "Нет" goes on with the installation, "Да" ends it with nothing installed ----------
# The question is a second window of the installer's title; keys go to the window under the pointer, and
# Escape is Отмена.
launch_in "$WORK" env "${WINE_LOCALE[@]}" wine "$SETUP"
setup_windows_are() { [[ $(xdotool search --onlyvisible --name '^Установка Ладослов$' 2>/dev/null | wc -l) == "$1" ]]; }
asks() {
  [[ $(app_exit_code 0) == running ]] || fail "Отмена ended the installer without asking"
  setup_windows_are 2
}
wait_for "the installer showed no window" setup_windows_are 1
eval "$(xdotool getwindowgeometry --shell "$(xdotool search --onlyvisible --name '^Установка Ладослов$')")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
xdotool key Escape
wait_for "Отмена did not ask before quitting" asks
# Tab moves from "Да", the default, to "Нет".
xdotool key Tab space
wait_for "\"Нет\" did not close the question" setup_windows_are 1
keeps_running "the installer quit on \"Нет\""
xdotool key Escape
wait_for "Отмена did not ask again" asks
xdotool key space
[[ $(app_exit_code 30) != running ]] || fail "\"Да\" did not end the installer"
[[ ! -e "$DIR" ]] || fail "the cancelled installer left $(find "$DIR")"
echo "  Отмена asked before quitting; \"Нет\" went on, \"Да\" quit"

# ---- installed silently: the files, the Uninstall key and the choice -------------------------------------
env "${WINE_LOCALE[@]}" wine "$SETUP" /S >/dev/null 2>&1 || fail "ladoslov-setup.exe /S failed"
installed
# NAME EXPECTED: the Uninstall key's values ("*" is any text but none).
while read -r name want; do
  got=$(reg_value "$UNINST" "$name") || fail "no $name under $UNINST"
  [[ $want == "*" && -n $got || $got == "$want" ]] || fail "$name is \"$got\", not \"$want\""
done <<EOF
DisplayName Ладослов
DisplayVersion $VERSION
Publisher *
DisplayIcon $DIR_WIN\\ladoslov.scr
UninstallString "$DIR_WIN\\uninstall.exe"
EOF
chosen=$(reg_value "$DESKTOP" SCRNSAVE.EXE) || fail "no SCRNSAVE.EXE: the screensaver is not chosen"
[[ $(realpath "$(winepath -u "$chosen")") == $(realpath "$DIR/ladoslov.scr") ]] || fail "SCRNSAVE.EXE is $chosen"
[[ $(reg_value "$DESKTOP" ScreenSaveActive) == 1 ]] || fail "screensavers are not switched on"
echo "  installed in $DIR_WIN, chosen as $chosen"

# ---- the chosen screensaver as the host starts it: /s in the system folder -------------------------------
# The picture built into the program is the shipped one: a plain one in its place tells the file that
# was read from the one built in.
convert -size 1680x1260 "xc:#406090" -quality 95 "$DIR/Data/ladoslov.jpg"
CWD=$(winepath -u 'C:\windows\system32') SCR_COPY=$chosen FAKETIME_AT="2026-12-08 09:05:07" \
  WINEDEBUG=-all,+mci start_scr /s
wait_window 90 >/dev/null
xdotool mousemove 300 470
# The background fills the bare screen, and 8 December's saints (Климент, …) stand under the title.
deadline=$((SECONDS + 60))
until screenshot "$WORK/shown.png" &&
  (($(pixels count "$WORK/shown.png" 0 0 1024 768 "#406090" 24) > 1024 * 768 / 3)) &&
  saints=$(read_saints "$WORK/shown.png") && grep -q "Климент" <<<"$saints"; do
  ((SECONDS < deadline)) || fail "no background or saints on the screen (saints read: ${saints:-nothing})"
done
# The tune by its full path: the working directory has no muz.
grep -qE 'mciExecute \(play "[A-Za-z]:\\.*\\muz\\ladoslov\.mp3"\)' "$WORK/stderr.$APP_PID" ||
  fail "the installed tune was not played"
xdotool key x
[[ $(app_exit_code 15) == 0 ]] || fail "a key did not end the screensaver"
echo "  the chosen screensaver showed the background and today's saints: $saints"

# ---- uninstalled silently: no file, no folder, no key, no choice -----------------------------------------
uninstall
! reg_value "$DESKTOP" SCRNSAVE.EXE >/dev/null || fail "the uninstaller left the choice"
[[ $(reg_value "$DESKTOP" ScreenSaveActive) == 0 ]] || fail "screensavers are switched on, with none chosen"

# ---- another screensaver chosen since (the zip's copy, by the same file name) stays chosen ---------------
env "${WINE_LOCALE[@]}" wine "$SETUP" /S >/dev/null 2>&1 || fail "ladoslov-setup.exe /S failed again"
installed
mkdir -p "$WINEPREFIX/drive_c/ladoslov"
cp "$BUILD/ladoslov.scr" "$WINEPREFIX/drive_c/ladoslov/"
other='C:\ladoslov\ladoslov.scr'
wine reg add "$DESKTOP" /v SCRNSAVE.EXE /d "$other" /f >/dev/null 2>&1 || fail "could not choose $other"
uninstall
[[ $(reg_value "$DESKTOP" SCRNSAVE.EXE) == "$other" ]] || fail "the uninstaller took the user's choice"
[[ $(reg_value "$DESKTOP" ScreenSaveActive) == 1 ]] || fail "the uninstaller switched the user's screensaver off"
echo "PASS ($((SECONDS - t0)) s)"
