#!/usr/bin/env python3
"""Pixels of a binary PPM screenshot, for the window tests.
  screen_pixels.py FILE find RRGGBB   -> "x y" of the first pixel of that colour (row by row)
  screen_pixels.py FILE at X Y        -> RRGGBB of that pixel
  screen_pixels.py FILE rows X Y0 Y1  -> "y RRGGBB" for each pixel of column X from Y0 to Y1"""
import sys


def load(path):
    data = open(path, "rb").read()
    fields, pos = [], 0
    while len(fields) < 4:  # magic, width, height, maximum
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or fields[3] != b"255":
        sys.exit("not an 8-bit binary PPM")
    return int(fields[1]), int(fields[2]), data[pos + 1:]


def colour(pixels, width, x, y):
    i = 3 * (y * width + x)
    return pixels[i:i + 3].hex()


width, height, pixels = load(sys.argv[1])
command = sys.argv[2]
if command == "find":
    wanted = bytes.fromhex(sys.argv[3])
    i = pixels.find(wanted)
    while i != -1 and i % 3 != 0:
        i = pixels.find(wanted, i + 1)
    if i == -1:
        sys.exit(1)
    print(i // 3 % width, i // 3 // width)
elif command == "at":
    print(colour(pixels, width, int(sys.argv[3]), int(sys.argv[4])))
elif command == "rows":
    x = int(sys.argv[3])
    for y in range(int(sys.argv[4]), int(sys.argv[5]) + 1):
        print(y, colour(pixels, width, x, y))
