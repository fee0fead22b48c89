#!/usr/bin/python3
# A WAV file's marks, read independently of the recorder: first line the
# frames of its "data" chunk, then one line "FRAME<TAB>TEXT" per "cue " point
# with its "labl" text. Fails when the RIFF size does not cover the whole file,
# when a chunk runs past it, or when Python's wave module counts other frames.
#   wav_marks.py FILE.wav
import struct, sys, wave

path = sys.argv[1]
data = open(path, "rb").read()
if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
    sys.exit(f"{path}: not a RIFF WAVE file")
if struct.unpack_from("<I", data, 4)[0] != len(data) - 8:
    sys.exit(f"{path}: RIFF size {struct.unpack_from('<I', data, 4)[0]}, file {len(data)} bytes")
chunks, at = {}, 12
while at + 8 <= len(data):
    cid, size = data[at:at + 4], struct.unpack_from("<I", data, at + 4)[0]
    if at + 8 + size > len(data):
        sys.exit(f"{path}: chunk {cid!r} at {at} runs past the end")
    chunks.setdefault(cid, data[at + 8:at + 8 + size])
    at += 8 + size + (size & 1)
if at != len(data):
    sys.exit(f"{path}: {len(data) - at} bytes after the last chunk")
channels, _, _, align = struct.unpack_from("<HIIH", chunks[b"fmt "], 2)
frames = len(chunks[b"data"]) // align
with wave.open(path) as w:
    if w.getnframes() != frames:
        sys.exit(f"{path}: Python's wave counts {w.getnframes()} frames, the data chunk holds {frames}")
print(frames)
labels = {}
adtl = chunks.get(b"LIST", b"")
if adtl[:4] == b"adtl":
    at = 4
    while at + 12 <= len(adtl):
        cid, size, ident = adtl[at:at + 4], *struct.unpack_from("<II", adtl, at + 4)
        if cid == b"labl":
            labels[ident] = adtl[at + 12:at + 8 + size].rstrip(b"\0").decode()
        at += 8 + size + (size & 1)
cue = chunks.get(b"cue ", b"\0\0\0\0")
for i in range(struct.unpack_from("<I", cue)[0]):
    ident, position, chunk, _, _, offset = struct.unpack_from("<II4sIII", cue, 4 + 24 * i)
    if chunk != b"data" or position != offset:
        sys.exit(f"{path}: cue point {ident} is not a plain point in the data")
    print(f"{offset}\t{labels.get(ident, '')}")
