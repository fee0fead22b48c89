#!/usr/bin/python3
# A recording of the played signal (both 44.1 kHz 16-bit stereo WAV), after its
# leading silence, cut into the longest bit-exact stretches of the signal: one
# line "FRAMES PLAYED_OFFSET" per stretch. Fails when some frame of the
# recording is nowhere in the signal.
#   exact_stretches.py PLAYED.wav RECORDED.wav
import sys, wave


def frames(path):
    with wave.open(path) as w:
        if (w.getnchannels(), w.getsampwidth(), w.getframerate()) != (2, 2, 44100):
            sys.exit(f"{path}: not 44.1 kHz s16 stereo")
        return w.readframes(w.getnframes())


def common(a, i, b, j):
    """Length of the common prefix of a[i:] and b[j:]."""
    n, step = 0, 1 << 16
    while step:
        if a[i + n:i + n + step] == b[j + n:j + n + step] and len(a) >= i + n + step and len(b) >= j + n + step:
            n += step
        else:
            step >>= 1
    return n


played, recorded = frames(sys.argv[1]), frames(sys.argv[2])
pos = 0
while recorded[pos:pos + 4] == b"\0\0\0\0": pos += 4
while pos < len(recorded):
    key, at = recorded[pos:pos + 32], played.find(recorded[pos:pos + 32])
    while at >= 0 and at % 4: at = played.find(key, at + 1)
    if len(key) < 32 or at < 0: sys.exit(f"frame {pos // 4} of the recording on is not in the played signal")
    n = common(recorded, pos, played, at) // 4 * 4
    print(n // 4, at // 4)
    pos += n
