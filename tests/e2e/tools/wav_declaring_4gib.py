#!/usr/bin/python3
# A copy of a WAV (44-byte header) whose RIFF and data sizes both declare
# 4 GiB, whatever it holds.
#   wav_declaring_4gib.py SOURCE.wav TARGET.wav
import sys

data = bytearray(open(sys.argv[1], "rb").read())
data[4:8] = data[40:44] = b"\xff\xff\xff\xff"
open(sys.argv[2], "wb").write(data)
