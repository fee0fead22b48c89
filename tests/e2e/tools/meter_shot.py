#!/usr/bin/python3
"""Measures the main window's meters on a screenshot taken at a scale.

    meter_shot.py SHOT SCALE

Prints two lines: the rows of the waveform display that are a solid silver
line (the separator of the two channels: one row at any scale when lines are
drawn one screen pixel wide), and the last lit column of the left level bar
(in screen pixels of the window).
"""
import subprocess
import sys

import numpy as np

SILVER = np.array([192, 192, 192])
BACKGROUND = np.array([0, 0, 160])


def pixels(path):
    size = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, text=True, check=True)
    width, height = map(int, size.stdout.split())
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    return np.frombuffer(raw, np.uint8).reshape(height, width, 3).astype(int)


def near(block, colour):
    return np.all(np.abs(block - colour) <= 16, axis=-1)


def main():
    image = pixels(sys.argv[1])
    scale = int(sys.argv[2])
    # The waveform display spans window pixels 16..186 x 95..210; its left
    # edge holds the channel letters, so the rows are judged right of them.
    scope = image[96 * scale:210 * scale, 30 * scale:185 * scale]
    rows = [96 * scale + y for y in range(scope.shape[0]) if near(scope[y], SILVER).mean() >= 0.9]
    print("line rows:", " ".join(map(str, rows)))
    # The left bar spans window rows 233..242 of the level display at 14..384.
    row = image[(237 * scale) + scale // 2, 20 * scale:384 * scale]
    lit = np.nonzero(~near(row, BACKGROUND))[0]
    print("level end:", 20 * scale + int(lit[-1]) if lit.size else -1)


if __name__ == "__main__":
    main()
