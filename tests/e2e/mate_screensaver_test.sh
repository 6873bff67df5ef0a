#!/usr/bin/env bash
# The program as a theme of the real mate-screensaver, run by a normal user in a session bus of its own:
# activated, the calendar fills MATE's window from inside it and the program has no top-level window of
# its own; deactivated, the program is gone within a second, with nothing left behind.
source "$(dirname "$0")/lib.sh"

command -v mate-screensaver >/dev/null || fail "mate-screensaver is not installed"
command -v dbus-run-session >/dev/null || fail "dbus-run-session is not installed"
plain_background "#6080a0"
start_display 1024x768

# The theme and the hack as the package installs them.
cmake --install "$BUILD" --prefix "$WORK/prefix" >/dev/null || fail "cmake --install failed"
THEME="$WORK/prefix/share/applications/screensavers/ladoslov.desktop"
[[ -f "$THEME" ]] || fail "no theme at $THEME"
HACK_DIR=/usr/libexec/xscreensaver
HACK_PATH=$HACK_DIR/ladoslov
[[ "$(sed -n 's/^Exec=//p' "$THEME")" == "$HACK_PATH --root" ]] || fail "the theme does not run $HACK_PATH --root"
[[ "$(sed -n 's/^TryExec=//p' "$THEME")" == "$HACK_PATH" ]] || fail "the theme's TryExec is not $HACK_PATH"
PROGRAM="$WORK/prefix/bin/ladoslov"
TARGET="$WORK/prefix/libexec/xscreensaver/ladoslov"

# MATE runs hacks from its hack folder alone, so the installed hack is linked there while the test runs.
((EUID == 0)) || fail "linking the hack into $HACK_DIR needs root"
[[ -d "$HACK_DIR" ]] || fail "no $HACK_DIR"
# Runs from other build folders take turns on a lock of that folder; holding it, a link into a work folder
# of this test is one that a killed run left behind.
exec 9<"$HACK_DIR"
flock -w 300 9 || fail "another run keeps $HACK_DIR"
[[ -L "$HACK_PATH" && "$(readlink "$HACK_PATH")" == /tmp/ladoslov-e2e.*/* ]] && rm -f "$HACK_PATH"
[[ -e "$HACK_PATH" || -L "$HACK_PATH" ]] && fail "$HACK_PATH exists (an installed package?): this test needs it free"

chmod 755 "$WORK"
chmod 1777 "$WORK/sanitizer"
if [[ $SANITIZED == yes ]]; then
  # MATE cuts its hacks' environment: the sanitizers' options, and suppressions the user can read, come
  # back through a script in the link's place.
  if [[ "${LSAN_OPTIONS:-}" =~ (^|:)suppressions=([^:]+) ]]; then
    cp "${BASH_REMATCH[2]}" "$WORK/lsan.supp" && chmod 644 "$WORK/lsan.supp" || fail "no ${BASH_REMATCH[2]}"
    LSAN_OPTIONS=${LSAN_OPTIONS/${BASH_REMATCH[2]}/$WORK/lsan.supp}
  fi
  cat >"$WORK/sanitized-hack" <<HACK
#!/bin/sh
export ASAN_OPTIONS='$ASAN_OPTIONS' UBSAN_OPTIONS='$UBSAN_OPTIONS' LSAN_OPTIONS='${LSAN_OPTIONS:-}'
exec '$TARGET' "\$@"
HACK
  chmod 755 "$WORK/sanitized-hack"
  TARGET="$WORK/sanitized-hack"
fi

USER_NAME=ladoslov-e2e
test_user "$USER_NAME"
as_user=(runuser -u "$USER_NAME" --)
# Without XDG_RUNTIME_DIR, which MATE does not pass on, the program keeps its lock in /tmp and Qt makes a
# runtime folder there: those the test made go with it.
MADE_HERE=()
for path in "/tmp/ladoslov-$(id -u "$USER_NAME").lock" "/tmp/runtime-$USER_NAME"; do
  [[ -e "$path" ]] || MADE_HERE+=("$path")
done
# The session's home and settings stay in the work folder.
mkdir -p "$WORK/home" "$WORK/user-run" && chmod 700 "$WORK/user-run"
chown -R "$USER_NAME" "$WORK/home" "$WORK/user-run" "$WORK/cwd"
user_env=(env -i HOME="$WORK/home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin LANG=C.UTF-8
  XDG_RUNTIME_DIR="$WORK/user-run" XDG_DATA_DIRS="$WORK/prefix/share:/usr/share")
mate() {
  # Without an address libdbus would launch a bus of its own, one that outlives the test.
  [[ -n "$BUS" ]] || return 1
  "${as_user[@]}" "${user_env[@]}" DBUS_SESSION_BUS_ADDRESS="$BUS" mate-screensaver-command "$@" \
    2>>"$WORK/stderr.command"
}

# MATE, its session bus and the link go with the test, however it ends.
SESSION_PID="" BUS="" LINKED=no
# The session's processes (the bus, the services it started) carry its XDG_RUNTIME_DIR; the hack does not.
session_pids() {
  local pid
  for pid in $(pgrep -u "$USER_NAME" || true); do
    { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "XDG_RUNTIME_DIR=$WORK/user-run" && echo "$pid"
  done
  return 0
}
stop_session() {
  [[ -n "$SESSION_PID" ]] || return 0
  [[ -n "$BUS" || ! -s "$WORK/user-run/bus" ]] || BUS=$(cat "$WORK/user-run/bus")
  local deadline=$SECONDS left
  mate --exit >/dev/null 2>&1 && deadline=$((SECONDS + 10))
  while left=$(session_pids); [[ -n "$left" ]] && ((SECONDS < deadline)); do sleep 0.1; done
  [[ -z "$left" ]] || kill $left 2>/dev/null || true
}
unlink_hack() {
  [[ $LINKED == yes && "$(readlink "$HACK_PATH")" == "$TARGET" ]] && rm -f "$HACK_PATH"
  rm -rf "${MADE_HERE[@]}"
  return 0
}
# cleanup reads the exit status from $?, so no failure here may end the shell before it.
trap '{ rc=$?; set +e; stop_session; unlink_hack; (exit $rc); cleanup; }' EXIT
trap 'exit 143' TERM
trap 'exit 130' INT
ln -s "$TARGET" "$HACK_PATH" || fail "could not link $HACK_PATH"
LINKED=yes

# The session: the bus's address for the commands, the theme chosen, locking off (deactivation then asks
# for no password), and MATE in the foreground; the bus ends with it.
session='
  echo "$DBUS_SESSION_BUS_ADDRESS" >"$1.new" && mv "$1.new" "$1"
  gsettings set org.mate.screensaver mode single &&
    gsettings set org.mate.screensaver themes "$3" &&
    gsettings set org.mate.screensaver lock-enabled false &&
    gsettings set org.mate.screensaver idle-activation-enabled false || exit 1
  echo $$ >"$2"
  exec mate-screensaver --no-daemon'
(cd "$WORK/cwd" && exec "${as_user[@]}" "${user_env[@]}" dbus-run-session -- \
  sh -c "$session" sh "$WORK/user-run/bus" "$WORK/user-run/mate.pid" "['screensavers-ladoslov']" \
  >"$WORK/stderr.mate" 2>&1 9<&-) &
SESSION_PID=$!
STARTED_PIDS+=("$SESSION_PID")
deadline=$((SECONDS + 20))
until [[ -s "$WORK/user-run/mate.pid" ]]; do
  ((SECONDS < deadline)) || fail "the session did not start"
  kill -0 "$SESSION_PID" 2>/dev/null || fail "the session ended before MATE started"
  sleep 0.1
done
MATE_PID=$(cat "$WORK/user-run/mate.pid")
BUS=$(cat "$WORK/user-run/bus")
deadline=$((SECONDS + 20))
until mate --query >/dev/null; do
  ((SECONDS < deadline)) || fail "mate-screensaver did not start"
  sleep 0.2
done

mate --activate >/dev/null || fail "mate-screensaver-command --activate failed"
deadline=$((SECONDS + 20))
until APP_PID=$(copies_of "$PROGRAM"); [[ -n "$APP_PID" ]]; do
  ((SECONDS < deadline)) || fail "mate-screensaver did not start the hack"
  sleep 0.1
done
[[ "$APP_PID" != *[^0-9]* && "$(ps -o ppid= -p "$APP_PID" | tr -d ' ')" == "$MATE_PID" ]] ||
  fail "not one hack run by MATE: $(ps -o pid=,ppid=,args= -p "${APP_PID//$'\n'/,}")"
STARTED_PIDS+=("$APP_PID")
HOST=$(tr '\0' '\n' <"/proc/$APP_PID/environ" | sed -n 's/^XSCREENSAVER_WINDOW=//p')
[[ -n "$HOST" ]] || fail "the hack has no XSCREENSAVER_WINDOW"
echo "  the hack: $(tr '\0' ' ' <"/proc/$APP_PID/cmdline")"
echo "  its environment: $(tr '\0' '\n' <"/proc/$APP_PID/environ" | cut -d= -f1 | sort | tr '\n' ' ')"
hack_fills_host "$HOST" "MATE's"
mate --deactivate >/dev/null || fail "mate-screensaver-command --deactivate failed"
hack_gone_after "the deactivation" copies_of "$PROGRAM"
echo "PASS"
