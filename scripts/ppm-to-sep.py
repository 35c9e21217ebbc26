#!/usr/bin/env python3
"""Writes one page of csepdjvu's separated input: a foreground PPM turned into
the colour run-length format ("R6"), white pixels transparent, followed by an
optional background PPM copied as it is.

    ppm-to-sep.py FOREGROUND.ppm [BACKGROUND.ppm] > page.sep

Both images must be binary 8-bit PPM (P6, maxval 255); several pages are made
by concatenating the outputs. The foreground may hold at most 4080 colours
besides white.
"""
import re
import sys

TRANSPARENT = 0xFFF
WHITE = b"\xff\xff\xff"
# One run of identical pixels; matches start on pixel boundaries because every
# match is a whole number of 3-byte pixels.
RUN = re.compile(rb"(...)\1*", re.S)


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        m = re.compile(rb"\s*(#[^\n]*\n\s*)*(\S+)").match(data, pos)
        if m is None:
            raise SystemExit(f"{path}: not a PPM")
        fields.append(m.group(2))
        pos = m.end()
    if fields[0] != b"P6" or fields[3] != b"255":
        raise SystemExit(f"{path}: need a binary 8-bit PPM (P6, maxval 255)")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:pos + 1 + 3 * width * height]
    if len(pixels) != 3 * width * height:
        raise SystemExit(f"{path}: pixel data cut short")
    return width, height, data, pixels


def encode_rows(width, height, pixels):
    palette = {}
    runs = bytearray()
    row_bytes = 3 * width
    for y in range(height):
        row = pixels[y * row_bytes:(y + 1) * row_bytes]
        for m in RUN.finditer(row):
            colour = m.group(1)
            length = (m.end() - m.start()) // 3
            if colour == WHITE:
                index = TRANSPARENT
            else:
                index = palette.setdefault(colour, len(palette))
                if index >= 0xFF0:
                    raise SystemExit("too many colours for the run-length format")
            # A run length has 20 bits; longer runs are split.
            while length > 0:
                piece = min(length, 0xFFFFF)
                runs += ((index << 20) | piece).to_bytes(4, "big")
                length -= piece
    return palette, runs


def main():
    if len(sys.argv) not in (2, 3):
        raise SystemExit(__doc__)
    width, height, _, pixels = read_ppm(sys.argv[1])
    palette, runs = encode_rows(width, height, pixels)
    out = sys.stdout.buffer
    out.write(b"R6\n%d %d %d\n" % (width, height, len(palette)))
    for colour in sorted(palette, key=palette.get):
        out.write(colour)
    out.write(runs)
    if len(sys.argv) == 3:
        _, _, data, _ = read_ppm(sys.argv[2])
        out.write(data)


if __name__ == "__main__":
    main()
