#!/usr/bin/env bash
# Build the name-file fuzzer with clang++ into BUILD_DIR and run it for SECONDS (default 30).
# Exits non-zero on a crash, leak, timeout or failed build.
#   tests/fuzz/run_name_file_fuzz.sh BUILD_DIR [SECONDS]
set -euo pipefail

if [[ $# -lt 1 || $# -gt 2 ]]; then
    echo "usage: $0 BUILD_DIR [SECONDS]" >&2
    exit 2
fi
build_dir=$1
seconds=${2:-30}
if ! [[ $seconds =~ ^[0-9]+$ ]] || (( seconds < 1 )); then
    echo "$0: SECONDS must be a positive whole number" >&2
    exit 2
fi

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
mkdir -p "$build_dir/name_file_corpus" "$build_dir/name_file_artifacts"
build_dir=$(cd "$build_dir" && pwd)
fuzzer=$build_dir/name_file_fuzz

clang++ -std=c++20 -g -O1 -Wall -Wextra -Wpedantic -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=undefined -I "$root/src" \
    "$root/src/calendar/date.cpp" "$root/src/namedays/name_file.cpp" "$root/src/services/skip_on_failure.cpp" "$root/tests/fuzz/name_file_fuzz.cpp" \
    -o "$fuzzer"

# Seeds: the shipped file, and a few shapes the reader must survive.
seeds=$build_dir/name_file_seeds
mkdir -p "$seeds"
cp "$root/Data/name.txt" "$seeds/shipped" 2>/dev/null || true
printf '06.12 \xc8\xe2\xe0\xed\r\n29.02 \xd1\r\n06.12\n' > "$seeds/small"
printf '06.12 a\r\r\n01.01 \x98\x00\xff\n31.02 x\n' > "$seeds/odd"

# -max_len covers a line past the 64 KiB cut; -timeout catches a hang, -rss_limit_mb a runaway line.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=70000 \
    -artifact_prefix="$build_dir/name_file_artifacts/" -print_final_stats=1 \
    "$build_dir/name_file_corpus" "$seeds"
