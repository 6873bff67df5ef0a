#!/usr/bin/env bash
# The program as a hack of the real xscreensaver, run by a normal user (xscreensaver runs no hacks as
# root): activated, the calendar fills xscreensaver's window from inside it and the program has no
# top-level window of its own; deactivated, the program is gone within a second, with nothing left behind.
source "$(dirname "$0")/lib.sh"

command -v xscreensaver >/dev/null || fail "xscreensaver is not installed"
plain_background "#6080a0"
start_display 1024x768

# The program installed as a package installs it: the hack is the link in libexec.
cmake --install "$BUILD" --prefix "$WORK/prefix" >/dev/null || fail "cmake --install failed"
HACK="$WORK/prefix/libexec/xscreensaver/ladoslov"
[[ -L "$HACK" ]] || fail "no hack link at $HACK"
PROGRAM="$WORK/prefix/bin/ladoslov"

USER_NAME=$(id -un)
as_user=()
if ((EUID == 0)); then
  USER_NAME=ladoslov-e2e
  test_user "$USER_NAME"
  as_user=(runuser -u "$USER_NAME" --)
fi
USER_HOME=$(getent passwd "$USER_NAME" | cut -d: -f6)
chmod 755 "$WORK"
chmod 1777 "$WORK/sanitizer"
RUN="$WORK/user-run"
mkdir -p "$RUN" && chmod 700 "$RUN" && chown "$USER_NAME" "$RUN"
chown -R "$USER_NAME" "$WORK/cwd"

cat >"$USER_HOME/.xscreensaver" <<CONF
mode:		one
selected:	0
timeout:	0:30:00
cycle:		0:00:00
lock:		False
fade:		False
unfade:		False
splash:		False
dpmsEnabled:	False
programs:	"Ladoslov" $HACK --root \n
CONF
chown "$USER_NAME" "$USER_HOME/.xscreensaver"

# The suppressions of a sanitized build, where the user can read them.
if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]+) ]]; then
  cp "${BASH_REMATCH[1]}" "$WORK/lsan.supp" && chmod 644 "$WORK/lsan.supp"
  LSAN_OPTIONS=${LSAN_OPTIONS/${BASH_REMATCH[1]}/$WORK/lsan.supp}
fi
user_env=(env HOME="$USER_HOME" DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="$RUN" SDL_AUDIODRIVER=dummy
  ASAN_OPTIONS="$ASAN_OPTIONS" UBSAN_OPTIONS="$UBSAN_OPTIONS" LSAN_OPTIONS="${LSAN_OPTIONS:-}")
(cd "$WORK/cwd" && exec "${as_user[@]}" "${user_env[@]}" xscreensaver -no-splash >"$WORK/stderr.xscreensaver" 2>&1) &
XSS_PID=$!
STARTED_PIDS+=("$XSS_PID")
xss() { "${as_user[@]}" "${user_env[@]}" xscreensaver-command "$@" 2>>"$WORK/stderr.command"; }
# xscreensaver goes with the test, however it ends.
stop_xscreensaver() {
  xss -exit >/dev/null 2>&1 || true
  local deadline=$((SECONDS + 5))
  while kill -0 "$XSS_PID" 2>/dev/null && ((SECONDS < deadline)); do sleep 0.1; done
}
# Without set +e a failed test's status, put back by (exit $rc), would end the shell before cleanup.
trap '{ rc=$?; set +e; stop_xscreensaver; (exit $rc); cleanup; }' EXIT
deadline=$((SECONDS + 20))
until xss -time >/dev/null; do
  ((SECONDS < deadline)) || fail "xscreensaver did not start"
  sleep 0.2
done

xss -activate >/dev/null || fail "xscreensaver-command -activate failed"
deadline=$((SECONDS + 20))
while APP_PID=$(copies_of "$PROGRAM"); [[ -z "$APP_PID" ]]; do
  ((SECONDS < deadline)) || fail "xscreensaver did not start the hack"
  sleep 0.1
done
STARTED_PIDS+=("$APP_PID")
HOST=$(tr '\0' '\n' <"/proc/$APP_PID/environ" | sed -n 's/^XSCREENSAVER_WINDOW=//p')
[[ -n "$HOST" ]] || fail "the hack has no XSCREENSAVER_WINDOW"
hack_fills_host "$HOST" "xscreensaver's"
xss -deactivate >/dev/null || fail "xscreensaver-command -deactivate failed"
hack_gone_after "the deactivation" copies_of "$PROGRAM"
echo "PASS"
