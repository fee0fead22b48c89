#!/usr/bin/python3
# The rows the file list must show for FOLDER, one a line in name order: its
# regular WAV, MP3 and WMA files of 50 bytes or more (a newline in a name
# printed as \n).
#   expected_list_rows.py FOLDER
import os, stat, sys

folder = sys.argv[1].encode()
for name in sorted(os.listdir(folder)):
    info = os.lstat(os.path.join(folder, name))
    if stat.S_ISREG(info.st_mode) and name.lower().rsplit(b".", 1)[-1] in (b"wav", b"mp3", b"wma") and info.st_size >= 50:
        print(name.decode(errors="replace").replace("\n", "\\n"))
