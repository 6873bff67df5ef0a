#!/bin/sh
# Writes beside this script tone.mp3, two seconds of 440 Hz at half scale (mono, 44.1 kHz, 64 kbit/s),
# and blip.mp3, 0.3 s of it then 1.2 s of silence (mono, 22.05 kHz: the player converts rate and channels).
# Needs Debian's "lame" package; the fixtures are committed, so the tests themselves do not.
set -eu
cd "$(dirname "$0")"
wav=$(mktemp --suffix=.wav)
trap 'rm -f "$wav"' EXIT
tone() {  # RATE TONE_SECONDS SILENCE_SECONDS
  /usr/bin/python3 - "$wav" "$@" <<'PY'
import math, struct, sys, wave
rate, tone, silence = int(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4])
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1)
    w.setsampwidth(2)
    w.setframerate(rate)
    n = int(rate * tone)
    fade = int(rate * 0.01)
    w.writeframes(b"".join(
        struct.pack("<h", int(16384 * min(1, i / fade, (n - i) / fade) * math.sin(2 * math.pi * 440 * i / rate)))
        for i in range(n)) + b"\0\0" * int(rate * silence))
PY
}
tone 44100 2.0 0 && lame --quiet -b 64 -m m --noreplaygain "$wav" tone.mp3
tone 22050 0.3 1.2 && lame --quiet -b 32 -m m --noreplaygain "$wav" blip.mp3
