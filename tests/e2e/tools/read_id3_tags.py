#!/usr/bin/python3
# The ID3 fields of an MP3 as mutagen reads them, joined by "|" in the order
# title, artist, album, year, comment, genre ("-" for a missing one).
#   read_id3_tags.py FILE.mp3
import sys
from mutagen.id3 import ID3

tags = ID3(sys.argv[1])
print("|".join(str(tags.getall(key)[0]) if tags.getall(key) else "-" for key in ("TIT2", "TPE1", "TALB", "TDRC", "COMM", "TCON")))
