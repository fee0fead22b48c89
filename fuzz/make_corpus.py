#!/usr/bin/env python3
"""Writes the seed inputs of every fuzz target into OUT/<target>/: small files
made here (and, for the playback decoder, encoded by ffmpeg from them), so the
fuzzer starts from well-formed files and mutates from there."""
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile


def wav(channels=2, rate=8000, bits=16, frames=200, fmt_size=16, tag=1, extra_chunks=b"", data_size=None):
    block = channels * bits // 8
    samples = bytearray()
    for i in range(frames):
        value = int(8000 * math.sin(i / 5))
        for _ in range(channels):
            samples += struct.pack("<h", value) if bits == 16 else bytes([(value >> 8) + 128 & 0xFF])
    fmt = struct.pack("<HHIIHH", tag, channels, rate, rate * block, block, bits)
    if fmt_size >= 18:
        fmt += struct.pack("<H", fmt_size - 18)
    if fmt_size == 40:
        fmt += struct.pack("<HI", bits, 3 if channels == 2 else 4)
        fmt += struct.pack("<H", 1) + bytes([0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71])
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + extra_chunks
    body += b"data" + struct.pack("<I", len(samples) if data_size is None else data_size) + samples
    if len(samples) % 2:
        body += b"\0"
    return b"RIFF" + struct.pack("<I", len(body)) + body


def tag(title=b"Title", artist=b"Artist", album=b"Album", year=b"2024", comment=b"Comment", genre=17):
    def field(text, width):
        return text[:width].ljust(width, b"\0")
    return b"TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) + field(comment, 30) + bytes([genre])


def frames(header, count=4, size=417):
    return (header + bytes(size - 4)) * count


WAVS = {
    "stereo16": wav(),
    "mono8": wav(channels=1, bits=8, frames=101),
    "extensible": wav(fmt_size=40, tag=0xFFFE),
    "fmt18_list": wav(channels=1, fmt_size=18, extra_chunks=b"LIST\x05\0\0\0INFOx\0fact\4\0\0\0\1\0\0\0"),
    "float": wav(tag=3, bits=32, frames=20),
    "cut": wav()[:60],
    "huge_data": wav(frames=10, data_size=0xFFFFFFF0),
}

MP3S = {
    "mpeg1_stereo_tag": bytes(100) + frames(b"\xff\xfb\x90\x64") + tag(),
    "mpeg2_mono": frames(b"\xff\xf3\x84\xc4", size=300),
    "mpeg25_reserved_rate": b"ID3\3\0\0\0\0\0\0" + frames(b"\xff\xe3\x8c\xc0", size=300) + tag(genre=200),
    "no_sync": bytes(3200) + b"\xff\xfb\x90\x64" + bytes(100),
}

INIS = {
    "saved": "[Folder]\nName=/home/user/Music\n[Record Settings]\nWav=0\nSamplePerSecond=44100\nBitPerSample=16\n"
             "Channels=2\nMP3=1\nBitRate=128\nMode=1\nVBR=1\nMinBitRate=32\nMaxBitRate=320\nVBRQuality=2\n"
             "Copyright=0\nOriginal=1\nPrivate=0\n[Grid Column Width]\nCol0=160\nCol1=40\nCol2=160\n[Settings]\nSort=-2\n",
    "hand_edited": "; comment\r\n[record settings]\r\n  channels = 0x1 \r\nwav=1\r\nmp3=1\r\n[FOLDER]\r\nname =  C:\\x \r\n",
    "odd": "[Folder\nName\n=\n[]\n[Settings]]\nSort=+0x7fffffff9\n[Folder]\nName=a=b;c\n",
}

LABELS = {
    "marks": "2.041633\t2.041633\tMark 1\n5.002268\t5.002268\tMark 2\n",
    "regions_crlf": "0.5\t1.25\tIntro\r\n10\t9\tbackwards\r\n3.000000\t3.000000\r\n",
    "odd": b"1e3\t1e3\tx\n-1\t-1\tneg\nnan\tnan\n\t\t\n1.5\t1.5\t\xc3\x28\n",
}


def date_input(last_write, spaces, date_format, time_format):
    return struct.pack("<qb", last_write, spaces) + date_format + b"\0" + time_format


DATES = {
    "plain": date_input(1718459110, 2, b"%d.%m.%Y", b"%H:%M:%S"),
    "long_date": date_input(2 ** 62, -3, b"%A, %d. %B %Y %j", b"%I:%M:%S %p"),
    "utf8": date_input(0, 5, "%Y年%m月%d日".encode(), "%H時%M分".encode()),
    "bad_pattern": date_input(-2 ** 40, 127, b"%E%O%%%-%", b"%"),
}


def encoded(tmp, source, name, arguments):
    """The WAV at `source` encoded by ffmpeg, or None when ffmpeg is missing."""
    if shutil.which("ffmpeg") is None:
        return None
    target = os.path.join(tmp, name)
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-i", source, *arguments, target], check=True)
    with open(target, "rb") as f:
        return f.read()


def main(out):
    def write(target, name, content):
        os.makedirs(os.path.join(out, target), exist_ok=True)
        with open(os.path.join(out, target, name), "wb") as f:
            f.write(content.encode() if isinstance(content, str) else content)

    for name, content in WAVS.items():
        for target in ("wave_info", "wav_source", "media_decoder"):
            write(target, name, content)
    for name, content in MP3S.items():
        write("mp3_description", name, content)
        write("id3v1", name, content[-128:])
    write("id3v1", "fields", b"audio\0Title\0Artist\0Album\0" + b"1999\0A comment that is too long for the tag\0Rock")
    write("id3v1", "over_tag", bytes(range(1, 256)) + tag()[:-1] + b"\x11\0\0\0\0\0\0Blues")
    for name, content in INIS.items():
        write("settings", name, content)
    for name, content in DATES.items():
        write("date_time_text", name, content)
    for name, content in LABELS.items():
        write("label_file", name, content)

    with tempfile.TemporaryDirectory() as tmp:
        for channels in (1, 2):
            source = os.path.join(tmp, f"source{channels}.wav")
            with open(source, "wb") as f:
                f.write(wav(channels=channels, rate=8000, frames=1600))
            for name, arguments in ((f"mp3_{channels}ch", ["-b:a", "16k"]), (f"wma_{channels}ch", ["-c:a", "wmav2", "-b:a", "24k"])):
                extension = ".mp3" if name.startswith("mp3") else ".wma"
                content = encoded(tmp, source, name + extension, arguments)
                if content is None:
                    continue
                # The decoder target picks the file name extension from the first byte.
                write("media_decoder", name, content)
                if extension == ".mp3":
                    write("mp3_description", name, content)
        stereo, mono = (os.path.join(tmp, f"mp3_{c}ch.mp3") for c in (2, 1))
        if os.path.exists(stereo) and os.path.exists(mono):
            with open(stereo, "rb") as a, open(mono, "rb") as b:
                write("media_decoder", "mp3_stereo_then_mono", a.read() + b.read())


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_corpus.py OUT_FOLDER")
    main(sys.argv[1])
