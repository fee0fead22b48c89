#!/usr/bin/python3
# What the sink played, from a raw s16le stereo 44.1 kHz capture of its
# monitor: the tone's frequency and its level at the start and at the end of
# the sounding stretch, printed as "HZ RMS_FIRST RMS_LAST".
import sys
import numpy as np

samples = np.fromfile(sys.argv[1], dtype="<i2").reshape(-1, 2)[:, 0].astype(np.float64)
loud = np.flatnonzero(np.abs(samples) > 200)
if len(loud) < 44100:
    sys.exit(f"less than a second of sound at the sink ({len(loud)} samples)")
sound = samples[loud[0]:loud[-1]]
first, last = sound[2205:2205 + 22050], sound[-2205 - 8820:-2205]
spectrum = np.abs(np.fft.rfft(first * np.hanning(len(first))))
hz = np.argmax(spectrum) * 44100 / len(first)
rms = lambda part: np.sqrt(np.mean(part ** 2))
print(f"{hz:.1f} {rms(first):.0f} {rms(last):.0f}")
