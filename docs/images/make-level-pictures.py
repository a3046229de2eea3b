#!/usr/bin/env python3
# Remakes the small level pictures of docs/levels.md and the README's contact sheet with the headless replay.
#   python3 docs/images/make-level-pictures.py [BUILD_DIR]
# Every level of the build's data.lvl is started with `brimvale-tool replay
# --start INDEX --png`, and its 384x384 screen is shrunk to a quarter
# (each picture pixel the mean of a 4x4 square) into docs/images/levels/NNN.png.
# The first page of the level list (levels 1 to 30) is also laid out, six to a
# row, as docs/images/page1.png. Needs only Python 3's standard library.
import os
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SCALE = 4
PAGE = 30
COLUMNS = 6
GAP = 4


def read_png(path):
    """The width, height and rows (bytes of RGB) of an 8-bit RGB PNG."""
    data = open(path, "rb").read()
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            if depth != 8 or colour != 2:
                raise ValueError(path + ": not an 8-bit RGB PNG")
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * 3
    rows, prev = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 3] if i >= 3 else 0
            b = prev[i]
            c = prev[i - 3] if i >= 3 else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        prev = line
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + bytes(r) for r in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def shrink(width, height, rows):
    w, h = width // SCALE, height // SCALE
    out = []
    for y in range(h):
        line = bytearray(w * 3)
        for x in range(w):
            for ch in range(3):
                total = sum(rows[y * SCALE + j][(x * SCALE + i) * 3 + ch] for j in range(SCALE) for i in range(SCALE))
                line[x * 3 + ch] = total // (SCALE * SCALE)
        out.append(line)
    return w, h, out


def sheet(pictures):
    w, h = pictures[0][0], pictures[0][1]
    lines = (len(pictures) + COLUMNS - 1) // COLUMNS
    width, height = COLUMNS * w + (COLUMNS + 1) * GAP, lines * h + (lines + 1) * GAP
    rows = [bytearray(width * 3) for _ in range(height)]
    for k, (_, _, picture) in enumerate(pictures):
        x0, y0 = GAP + (k % COLUMNS) * (w + GAP), GAP + (k // COLUMNS) * (h + GAP)
        for y in range(h):
            rows[y0 + y][x0 * 3:(x0 + w) * 3] = picture[y]
    return width, height, rows


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "..", "build")
    tool = os.path.join(build, "brimvale-tool")
    data = os.path.join(build, "data")
    count = os.path.getsize(os.path.join(data, "data.lvl")) // 256
    os.makedirs(os.path.join(HERE, "levels"), exist_ok=True)
    first_page = []
    with tempfile.TemporaryDirectory() as tmp:
        shot = os.path.join(tmp, "shot.png")
        for index in range(count):
            subprocess.run([tool, "replay", "--data", data, "--start", str(index), "--png", shot], check=True,
                           stdout=subprocess.DEVNULL)
            small = shrink(*read_png(shot))
            write_png(os.path.join(HERE, "levels", "%03d.png" % (index + 1)), *small)
            if index < PAGE:
                first_page.append(small)
    write_png(os.path.join(HERE, "page1.png"), *sheet(first_page))
    print("%d level pictures and the first page's sheet written to %s" % (count, HERE))


if __name__ == "__main__":
    main()
