#!/usr/bin/env bash
# Runs the end-to-end tests and the wine tests ROUNDS times in a row, two at a time as the CI runs them and
# beside two busy processes, and prints each failure (round, test, the failing check's line), then the
# totals. For before a submission that touches the tests or their timing; not part of the CI.
#   scripts/flake-hunt.sh [-n ROUNDS] [--no-wine | --no-e2e] [--load N] [BUILD_DIR]
# Builds nothing: BUILD_DIR (build/ by default) and, for wine, build-win/ must be built already. --load sets
# the number of busy processes (0 beside a hunt that brings its own).
set -euo pipefail
cd "$(dirname "$0")/.."

rounds=5 e2e=yes wine=yes load_n=2 build=build
while (($#)); do
  case $1 in
    -n) rounds=${2:?-n needs a number}; shift 2 ;;
    --no-wine) wine=no; shift ;;
    --no-e2e) e2e=no; shift ;;
    --load) load_n=${2:?--load needs a number}; shift 2 ;;
    -h | --help) sed -n '2,7s/^# \{0,1\}//p' "$0"; exit 0 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) build=$1; shift ;;
  esac
done
[[ $rounds =~ ^[1-9][0-9]*$ ]] || { echo "-n takes a positive number, not '$rounds'" >&2; exit 2; }
[[ $load_n =~ ^[0-9]+$ ]] || { echo "--load takes a number, not '$load_n'" >&2; exit 2; }
[[ $e2e == no || -f $build/CTestTestfile.cmake ]] || { echo "no tests in $build: build it first" >&2; exit 2; }
if [[ $wine == yes && ! -f build-win/ladoslov-setup.exe ]]; then
  echo "no build-win/ladoslov-setup.exe: run scripts/build-windows.sh first, or give --no-wine" >&2
  exit 2
fi
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent

logs=$(mktemp -d /tmp/flake-hunt.XXXXXX)
# The load: processes that keep a core busy each, and end with the hunt even if it is killed outright.
hunt=$$ load=()
for ((i = 0; i < load_n; i++)); do
  (while kill -0 "$hunt" 2>/dev/null; do :; done) &
  load+=($!)
done
trap '((${#load[@]} == 0)) || kill "${load[@]}" 2>/dev/null || true' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

ran=0 failed=0
: >"$logs/failures"
# failure ROUND TEST LOG [STATUS]: notes a failed test with the first line its checks failed on, or else
# (a timeout, a crash of the script) ctest's word for it and the last line of its output.
failure() {
  local message
  message=$(grep -m1 '^FAIL: ' "$3") || message="${4:-Failed}; last output: $(grep -v '^[[:space:]]*$' "$3" | tail -n1)"
  echo "round $1: $2: ${message:-no output}" | tee -a "$logs/failures"
  failed=$((failed + 1))
}

# e2e_round ROUND: ctest's end-to-end tests, two at a time.
e2e_round() {
  local log=$logs/e2e.$1 name status
  echo "== round $1 of $rounds: end to end (log: $log)"
  (cd "$build" && ctest -j2 -L e2e --output-on-failure --timeout 600) >"$log" 2>&1 || true
  # ctest prints each test's status line as it ends, a failed one's output after it: split it there.
  awk -v dir="$logs" -v round="$1" '
    /Test +#[0-9]+: / {
      line = $0; sub(/.*Test +#[0-9]+: /, "", line)
      name = line; sub(/ .*/, "", name)
      status = line; sub(/^[^ ]+ +[.]* *[*]*/, "", status); sub(/ .*/, "", status)
      out = status == "Passed" ? "" : dir "/" name "." round
      if (out != "") printf "" > out
      print name, status
      next
    }
    /^[0-9]+% tests passed/ { out = "" }
    /^ +Start +[0-9]+: / { next }
    out != "" { print > out }' "$log" >"$logs/status.$1"
  [[ -s $logs/status.$1 ]] || { echo "ctest ran no test: see $log" >&2; exit 1; }
  while read -r name status; do
    ran=$((ran + 1))
    [[ $status == Passed ]] || failure "$1" "$name" "$logs/$name.$1" "$status"
  done <"$logs/status.$1"
}

# wine_round ROUND: the wine tests, one after the other as scripts/test-windows.sh runs them.
wine_round() {
  local test
  for test in wine_e2e installer_test; do
    echo "== round $1 of $rounds: $test (log: $logs/$test.$1)"
    ran=$((ran + 1))
    bash "tests/win32/$test.sh" build-win . >"$logs/$test.$1" 2>&1 || failure "$1" "win32.$test" "$logs/$test.$1"
  done
}

for ((round = 1; round <= rounds; round++)); do
  start=$SECONDS
  [[ $e2e == no ]] || e2e_round "$round"
  [[ $wine == no ]] || wine_round "$round"
  echo "   round $round took $((SECONDS - start)) s; $failed failed so far"
done

echo "== failures:"
[[ -s $logs/failures ]] && cat "$logs/failures" || echo "none"
echo "$rounds rounds, $ran tests run, $failed failed (logs in $logs)"
((failed == 0))
