#!/usr/bin/python3
# Writes SECONDS of full-range pseudo-random 44.1 kHz 16-bit stereo to PATH, the
# same frames on every run: any lost, repeated or changed frame of a recording
# of it shows.
#   write_noise_wav.py PATH SECONDS
import random, sys, wave

with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(2); w.setsampwidth(2); w.setframerate(44100)
    w.writeframes(random.Random(7).randbytes(int(44100 * float(sys.argv[2])) * 4))
