#!/usr/bin/python3
# The samples of a 22050 Hz 16-bit mono WAV (44-byte header) under a header
# that declares CHANNELS channels, with the byte rate and alignment of mono:
# 2 plays them as half as long in stereo, 0 makes a header no player accepts.
#   wav_declaring_channels.py SOURCE.wav TARGET.wav CHANNELS
import struct, sys

data = open(sys.argv[1], "rb").read()[44:]
channels = int(sys.argv[3])
open(sys.argv[2], "wb").write(b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt " +
    struct.pack("<IHHIIHH", 16, 1, channels, 22050, 44100, 2, 16) + b"data" + struct.pack("<I", len(data)) + data)
