#!/usr/bin/python3
# A recording of the played signal (both WAV in one PCM format, 44.1 kHz
# 16-bit stereo unless --any-format), after its leading silence, cut into the
# longest bit-exact stretches of the signal: one line "FRAMES PLAYED_OFFSET"
# per stretch. Fails when some frame of the recording is nowhere in the signal.
# With --underruns a run of silence inside the recording (a sound server that
# ran late and played silence) is a line "SILENT FRAMES" instead of a failure.
#   exact_stretches.py [--any-format] [--underruns] PLAYED.wav RECORDED.wav
import sys, wave


any_format = "--any-format" in sys.argv
underruns = "--underruns" in sys.argv
sys.argv = [a for a in sys.argv if a not in ("--any-format", "--underruns")]


def frames(path):
    with wave.open(path) as w:
        if not any_format and (w.getnchannels(), w.getsampwidth(), w.getframerate()) != (2, 2, 44100):
            sys.exit(f"{path}: not 44.1 kHz s16 stereo")
        return (w.getnchannels(), w.getsampwidth(), w.getframerate()), w.readframes(w.getnframes())


def common(a, i, b, j):
    """Length of the common prefix of a[i:] and b[j:]."""
    n, step = 0, 1 << 16
    while step:
        if a[i + n:i + n + step] == b[j + n:j + n + step] and len(a) >= i + n + step and len(b) >= j + n + step:
            n += step
        else:
            step >>= 1
    return n


(played_format, played), (recorded_format, recorded) = frames(sys.argv[1]), frames(sys.argv[2])
if played_format != recorded_format: sys.exit(f"formats differ: {played_format} {recorded_format}")
size = played_format[0] * played_format[1]
silence = (b"\x80" if played_format[1] == 1 else b"\0\0") * played_format[0]  # 8-bit is unsigned
pos = 0
while recorded[pos:pos + size] == silence: pos += size
while pos < len(recorded):
    key, at = recorded[pos:pos + 32], played.find(recorded[pos:pos + 32])
    while at >= 0 and at % size: at = played.find(key, at + 1)
    if len(key) < 32 or at < 0:
        quiet = 0
        while recorded[pos + quiet:pos + quiet + size] == silence: quiet += size
        if underruns and quiet > 0 and pos + quiet < len(recorded):
            print("SILENT", quiet // size)
            pos += quiet
            continue
        sys.exit(f"frame {pos // size} of the recording on is not in the played signal"
                 f" ({quiet // size} silent frames, then {len(recorded) - pos - quiet} bytes)")
    n = common(recorded, pos, played, at) // size * size
    print(n // size, at // size)
    pos += n
