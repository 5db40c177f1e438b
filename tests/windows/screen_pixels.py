#!/usr/bin/env python3
"""Pixels of a binary PPM screenshot, for the window tests.
  screen_pixels.py FILE find RRGGBB   -> "x y" of the first pixel of that colour (row by row)
  screen_pixels.py FILE at X Y        -> RRGGBB of that pixel
  screen_pixels.py FILE rows X Y0 Y1  -> "y RRGGBB" for each pixel of column X from Y0 to Y1"""
import re
import sys

data = open(sys.argv[1], "rb").read()
# Magic, width, height and maximum, each after blanks and "#" comment lines.
header = re.match(rb"P6" + rb"(?:\s+(?:#[^\n]*\n\s*)*(\d+))" * 3 + rb"\s", data)
if header is None or header.group(3) != b"255":
    sys.exit("not an 8-bit binary PPM")
width, pixels = int(header.group(1)), data[header.end():]
args = sys.argv[2:]


def colour(x, y):
    i = 3 * (y * width + x)
    return pixels[i:i + 3].hex()


if args[0] == "find":
    i = pixels.find(bytes.fromhex(args[1]))
    while i != -1 and i % 3 != 0:
        i = pixels.find(bytes.fromhex(args[1]), i + 1)
    if i == -1:
        sys.exit(1)
    print(i // 3 % width, i // 3 // width)
elif args[0] == "at":
    print(colour(int(args[1]), int(args[2])))
elif args[0] == "rows":
    for y in range(int(args[2]), int(args[3]) + 1):
        print(y, colour(int(args[1]), y))
