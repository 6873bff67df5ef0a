#!/usr/bin/python3
"""Writes the program's tune, muz/ladoslov.mp3: Bortniansky's hymn "Коль славен наш Господь в Сионе"
(1794, public domain) set for four-part choir over a quiet church organ, one verse and an Amen.

The melody line was written down from memory and the four-part setting is our own. The setting is
written as MIDI, which is the source; the shipped file is that MIDI rendered once, here, so that playing
it needs no synthesiser.

    /usr/bin/python3 tools/tune/make_tune.py [OUTPUT]       render (default: muz/ladoslov.mp3)
    /usr/bin/python3 tools/tune/make_tune.py --midi OUTPUT  write the MIDI source only
    /usr/bin/python3 tools/tune/make_tune.py --check FILE   exit 1 unless FILE was rendered from what this
                                                            script writes now and lasts as long as the tune

Rendering needs Debian's fluidsynth, fluid-soundfont-gm and lame; the rest is the standard library. The
output depends on nothing but this file and those packages' versions: FluidSynth at 44.1 kHz stereo
with its built-in reverb and chorus, lame at VBR quality 2. The MP3's comment carries a digest of the
MIDI and these settings, which --check compares.
"""

import hashlib
import shutil
import struct
import subprocess
import sys
import tempfile
import wave
from pathlib import Path

TICKS = 480  # per quarter note
BAR = 3      # beats; the hymn is in 3/4 with a one-beat upbeat

NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def pitch(name):
    """'Bb3' -> MIDI note number (C4 = 60)."""
    step, rest = NAMES[name[0]], name[1:]
    while rest and rest[0] in "b#":
        step += -1 if rest[0] == "b" else 1
        rest = rest[1:]
    return 12 * (int(rest) + 1) + step


# One row a syllable: beats, then soprano, alto, tenor, bass. A part given as a list of
# (name, beats) moves within the syllable. '|' ends a sung line (the choir breathes there).
# F major.
LINE_A = [  # Коль славен наш Господь в Сионе / Велик Он в небесах на троне
    (1, "C4", "A3", "F3", "F2"),
    (2, "F4", "C4", "A3", "F3"),
    (1, "G4", "C4", "G3", "E3"),
    (2, "A4", "F4", "C4", "F3"),
    (1, "Bb4", "F4", "D4", "Bb2"),
    (2, "C5", "F4", "C4", "A2"),
    (1, "Bb4", "E4", "C4", "C3"),
    (3, "A4", "F4", "A3", "D3"),
    (2, "G4", "E4", "C4", "C3"), "|",
]
LINE_B = [  # Не может изъяснить язык / В былинках на земле велик
    (1, "A4", "F4", "C4", "F3"),
    (2, "Bb4", "F4", "D4", "Bb2"),
    (1, "A4", "F4", "C4", "A2"),
    (2, "G4", "D4", "Bb3", "Bb2"),
    (1, "F4", "D4", "A3", "D3"),
    (2, "G4", "E4", "C4", "C3"),
    (1, "E4", "C4", "Bb3", "C3"),
    (2, "F4", "C4", "A3", "F2"), "|",
]
LINE_C = [  # Везде, Господь, везде Ты славен (turning to C major)
    (1, "C5", "F4", "A3", "F3"),
    (2, "C5", "E4", "A3", "A2"),
    (1, "A4", "F4", "D4", "D3"),
    (2, "D5", "G4", "B3", "G2"),
    (1, "C5", "G4", "E4", "C3"),
    (2, "B4", "G4", "D4", "G2"),
    (1, "C5", "E4", "A3", "A2"),
    (3, "D5", "G4", [("B3", 2), ("F4", 1)], "G2"),
    (2, "C5", "G4", "E4", "C3"), "|",
]
LINE_D = [  # Во дни, в нощи сияньем равен (home again, down the scale to the close)
    (1, "C5", "Bb4", "E4", "C3"),
    (2, "F5", "A4", "F4", "F3"),
    (1, "E5", "G4", "C4", "E3"),
    (2, "D5", "F4", "A3", "D3"),
    (1, "C5", "F4", "C4", "A2"),
    (2, "Bb4", "G4", "D4", "G2"),
    (1, "A4", "F4", "C4", "C3"),
    (3, "G4", "E4", [("C4", 2), ("Bb3", 1)], "C3"),
    (3, "F4", "C4", "A3", "F2"), "|",
]
AMEN = [
    (3, "F4", "D4", "Bb3", "Bb2"),
    (6, "F4", "C4", "A3", "F2"), "|",
]
HYMN = LINE_A + LINE_B + LINE_A + LINE_B + LINE_C + LINE_D + AMEN

# Loudness by syllable index: the second half rises to "Во дни" and settles for the Amen.
def loudness(index):
    starts = [0, 9, 17, 26, 34, 43, 52]  # first syllable of each line and of the Amen
    line = sum(1 for s in starts if index >= s) - 1
    return [78, 80, 82, 84, 90, 96, 70][line] - (10 if line == 5 and index >= 48 else 0)


# Beat at which the tempo changes -> quarter notes per minute. Calm, broadening at the end.
TEMPI = {0: 76, 76: 73, 79: 69, 82: 64, 85: 60, 88: 54}


def score():
    """The hymn as parts: {part: [(start_beat, beats, note, velocity, breath_after)]}."""
    parts = {name: [] for name in "SATB"}
    beat = 0
    syllable = 0
    rows = [row for row in HYMN if row != "|"]
    line_ends = set()
    for i, row in enumerate(HYMN):
        if row == "|":
            line_ends.add(len([r for r in HYMN[:i] if r != "|"]) - 1)
    for index, row in enumerate(rows):
        beats = row[0]
        velocity = loudness(syllable)
        for name, part in zip("SATB", row[1:]):
            moves = part if isinstance(part, list) else [(part, beats)]
            at = beat
            for k, (note, length) in enumerate(moves):
                last = k == len(moves) - 1
                parts[name].append((at, length, pitch(note), velocity, last and index in line_ends))
                at += length
        beat += beats
        syllable += 1
    return parts, beat


def sung(notes, tie_repeats):
    """Choir articulation: each syllable sounds separately, a breath at line ends; the lower parts hold a
    repeated note through the line instead of striking it again."""
    out = []
    for start, beats, note, velocity, breath in notes:
        if tie_repeats and out and out[-1][2] == note and not out[-1][4]:
            s, b, n, v, _ = out[-1]
            out[-1] = (s, b + beats, n, v, breath)
            continue
        out.append((start, beats, note, velocity, breath))
    events = []
    for start, beats, note, velocity, breath in out:
        gap = 0.4 if breath else 0.08
        events.append((start, max(beats - gap, 0.25), note, velocity))
    return events


def legato(notes):
    """Organ: held straight on, repeated notes tied, the last chord held a little longer."""
    out = []
    for start, beats, note, velocity, _ in notes:
        if out and out[-1][2] == note:
            s, b, n, v = out[-1]
            out[-1] = (s, b + beats, n, v)
            continue
        out.append((start, beats, note, velocity))
    events = [(s, b - 0.03, n, v) for s, b, n, v in out]
    s, b, n, v = events[-1]
    events[-1] = (s, b + 0.5, n, v)
    return events


def var_length(value):
    data = [value & 0x7F]
    value >>= 7
    while value:
        data.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(data))


def ticks(beats):
    return int(round(beats * TICKS))


def track(events):
    """events: (tick, order, bytes); order puts note-offs before note-ons at the same tick."""
    data = bytearray()
    now = 0
    for tick, _, message in sorted(events, key=lambda e: (e[0], e[1])):
        data += var_length(tick - now) + message
        now = tick
    data += var_length(0) + b"\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(data)) + bytes(data)


def meta(kind, payload):
    return bytes([0xFF, kind]) + var_length(len(payload)) + payload


def voice_track(name, channel, program, volume, pan, notes, end_tick):
    events = [
        (0, 0, meta(0x03, name.encode("ascii"))),
        (0, 1, bytes([0xB0 | channel, 0, 0])),        # bank: General MIDI
        (0, 2, bytes([0xC0 | channel, program])),
        (0, 3, bytes([0xB0 | channel, 7, volume])),
        (0, 3, bytes([0xB0 | channel, 10, pan])),
        (0, 3, bytes([0xB0 | channel, 91, 72])),      # reverb: a church, not a studio
        (0, 3, bytes([0xB0 | channel, 93, 12])),
    ]
    for start, beats, note, velocity in notes:
        on, off = ticks(start), ticks(start + beats)
        events.append((on, 5, bytes([0x90 | channel, note, velocity])))
        events.append((off, 4, bytes([0x80 | channel, note, 0])))
    events.append((end_tick, 6, bytes([0xB0 | channel, 123, 0])))  # all notes off, whatever happened
    return track(events)


def conductor(end_tick):
    events = [
        (0, 0, meta(0x03, b"Kol slaven nash Gospod v Sione")),
        (0, 0, meta(0x01, b"D. Bortniansky, 1794. Setting for four-part choir and organ.")),
        (0, 1, meta(0x58, bytes([3, 2, 24, 8]))),   # 3/4
        (0, 1, meta(0x59, bytes([0xFF, 0]))),       # F major (one flat)
    ]
    for beat, bpm in TEMPI.items():
        events.append((ticks(beat), 2, meta(0x51, (60_000_000 // bpm).to_bytes(3, "big"))))
    events.append((end_tick, 9, meta(0x06, b"Amen")))
    return track(events)


def check_notes(notes):
    """Every note starts after the previous note of the same pitch has ended."""
    busy = {}
    for start, beats, note, _ in sorted(notes):
        if beats <= 0 or busy.get(note, -1) > start + 1e-9:
            raise SystemExit(f"overlapping or empty note {note} at beat {start}")
        busy[note] = start + beats


def seconds(total_beats):
    changes = sorted(TEMPI.items())
    total = 0.0
    for (beat, bpm), nxt in zip(changes, changes[1:] + [(total_beats, None)]):
        total += (min(nxt[0], total_beats) - beat) * 60.0 / bpm
    return total


def build():
    parts, total_beats = score()
    soprano = sung(parts["S"], tie_repeats=False)
    alto_tenor = sung(parts["A"], True) + sung(parts["T"], True)
    bass = sung(parts["B"], True)
    organ = legato(parts["A"]) + legato(parts["T"]) + legato(parts["B"])
    # Parts sharing a channel must not hold the same note at once, or one note-off would end both.
    for notes in (soprano, sung(parts["A"], True), sung(parts["T"], True), bass,
                  legato(parts["A"]), legato(parts["T"]), legato(parts["B"])):
        check_notes(notes)
    for shared in (alto_tenor, organ):
        check_notes(shared)
    end_tick = ticks(total_beats + 1.5)
    tracks = [
        conductor(end_tick),
        voice_track("Soprano", 0, 52, 96, 52, soprano, end_tick),
        voice_track("Alto and tenor", 1, 52, 84, 76, alto_tenor, end_tick),
        voice_track("Bass", 2, 52, 88, 64, bass, end_tick),
        voice_track("Organ", 3, 19, 52, 64, organ, end_tick),
    ]
    header = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), TICKS)
    return header + b"".join(tracks), seconds(total_beats)


SOUNDFONT = Path("/usr/share/sounds/sf2/FluidR3_GM.sf2")
RATE = 44100
GAIN = 1.4       # FluidSynth's master gain: the loudest chord peaks near -2 dB full scale
QUALITY = "2"    # lame's VBR quality, about 190 kbit/s for this
TAIL = 0.5       # seconds kept after the last audible sample; FluidSynth renders on in silence
RENDERING = f"{SOUNDFONT.name} {RATE} Hz gain {GAIN}; lame -V{QUALITY}; tail {TAIL} s"


def digest(midi):
    return hashlib.sha256(midi + RENDERING.encode("ascii")).hexdigest()


def trim(wav_path):
    """Cuts the silence the synthesiser renders after the music, TAIL seconds after the last sound."""
    with wave.open(str(wav_path), "rb") as w:
        params = w.getparams()
        frames = w.readframes(w.getnframes())
    samples = memoryview(frames).cast("h")
    last = max((i for i in range(len(samples) - 1, -1, -1) if abs(samples[i]) > 30), default=0)
    keep = min(len(samples) // 2, last // 2 + 1 + int(TAIL * RATE))
    with wave.open(str(wav_path), "wb") as w:
        w.setparams(params)
        w.writeframes(frames[:keep * 4])


def render(midi, out):
    for tool in ("fluidsynth", "lame"):
        if not shutil.which(tool):
            raise SystemExit(f"{tool} is missing: apt-get install fluidsynth fluid-soundfont-gm lame")
    if not SOUNDFONT.is_file():
        raise SystemExit(f"{SOUNDFONT} is missing: apt-get install fluid-soundfont-gm")
    with tempfile.TemporaryDirectory() as tmp:
        mid, wav = Path(tmp) / "tune.mid", Path(tmp) / "tune.wav"
        mid.write_bytes(midi)
        # -f /dev/null: no user or system configuration of FluidSynth takes part.
        subprocess.run(["fluidsynth", "-ni", "-q", "-f", "/dev/null", "-g", str(GAIN), "-r", str(RATE),
                        "-T", "wav", "-O", "s16", "-F", str(wav), str(SOUNDFONT), str(mid)],
                       check=True, stdout=subprocess.DEVNULL)
        trim(wav)
        subprocess.run(["lame", "--quiet", "-V", QUALITY, "--noreplaygain", "--add-id3v2",
                        "--tt", "Kol slaven nash Gospod v Sione", "--ta", "D. Bortniansky", "--ty", "1794",
                        "--tc", digest(midi), str(wav), str(out)], check=True)


def mp3_seconds(data):
    """The length the encoder wrote into the first frame's Xing/Info header, or None."""
    audio = 10 + sum(b << 7 * (3 - i) for i, b in enumerate(data[6:10])) if data[:3] == b"ID3" else 0
    for tag in (b"Xing", b"Info"):
        at = data.find(tag, audio, audio + 200)
        if at >= 0 and int.from_bytes(data[at + 4:at + 8], "big") & 1:
            return int.from_bytes(data[at + 8:at + 12], "big") * 1152 / RATE
    return None


def check(path, midi, length):
    data = Path(path).read_bytes()
    if digest(midi).encode("utf-16-le") not in data[:4096]:  # lame writes its ID3v2 texts so
        print(f"{path} was not rendered from what {sys.argv[0]} writes; run it again", file=sys.stderr)
        return 1
    seconds = mp3_seconds(data)
    if seconds is None or not length < seconds < length + 3:
        print(f"{path} lasts {seconds} s, the tune {length:.1f} s", file=sys.stderr)
        return 1
    return 0


def main(argv):
    midi, length = build()
    if len(argv) == 3 and argv[1] == "--check":
        return check(argv[2], midi, length)
    if len(argv) == 3 and argv[1] == "--midi":
        Path(argv[2]).write_bytes(midi)
        return 0
    out = Path(argv[1]) if len(argv) > 1 else Path(__file__).resolve().parents[2] / "muz" / "ladoslov.mp3"
    out.parent.mkdir(parents=True, exist_ok=True)
    render(midi, out)
    print(f"{out}: {out.stat().st_size} bytes, {mp3_seconds(out.read_bytes()):.1f} s ({length:.1f} s of music)")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
