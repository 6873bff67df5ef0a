#!/bin/sh
# Writes tone.mp3 beside this script: two seconds of 440 Hz at half scale, mono, 44.1 kHz, 64 kbit/s.
# Needs Debian's "lame" package; the fixture is committed, so the tests themselves do not.
set -eu
cd "$(dirname "$0")"
wav=$(mktemp --suffix=.wav)
trap 'rm -f "$wav"' EXIT
/usr/bin/python3 - "$wav" <<'PY'
import math, struct, sys, wave
rate, seconds = 44100, 2.0
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1)
    w.setsampwidth(2)
    w.setframerate(rate)
    n = int(rate * seconds)
    fade = int(rate * 0.01)
    w.writeframes(b"".join(
        struct.pack("<h", int(16384 * min(1, i / fade, (n - i) / fade) * math.sin(2 * math.pi * 440 * i / rate)))
        for i in range(n)))
PY
lame --quiet -b 64 -m m --noreplaygain "$wav" tone.mp3
