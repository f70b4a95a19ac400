#!/usr/bin/env python3
"""Writes the small test pictures under tests/data/pictures/.

Windows metafiles are written record by record (no tool on Debian writes
WMF), bitmaps by hand, JPEGs with ImageMagick's `convert`. Run it again
after changing it; the files are committed so the tests need no tools.
"""
import os
import struct
import subprocess
import sys

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "pictures")


def rec(function, *words, raw=b""):
    """One metafile record: size in 16-bit words, function, parameters."""
    body = b"".join(struct.pack("<h" if w < 0 else "<H", w) for w in words) + raw
    if len(body) % 2:
        body += b"\0"
    return struct.pack("<IH", 3 + len(body) // 2, function) + body


def colorref(r, g, b):
    return (b << 16) | (g << 8) | r


def lo_hi(v):
    return v & 0xFFFF, (v >> 16) & 0xFFFF


META_EOF = 0x0000
META_SETBKMODE = 0x0102
META_SETMAPMODE = 0x0103
META_SETTEXTCOLOR = 0x0209
META_SETWINDOWORG = 0x020B
META_SETWINDOWEXT = 0x020C
META_CREATEPENINDIRECT = 0x02FA
META_CREATEFONTINDIRECT = 0x02FB
META_CREATEBRUSHINDIRECT = 0x02FC
META_SELECTOBJECT = 0x012D
META_DELETEOBJECT = 0x01F0
META_POLYGON = 0x0324
META_ELLIPSE = 0x0418
META_RECTANGLE = 0x041B
META_TEXTOUT = 0x0521


def brush(r, g, b):
    return rec(META_CREATEBRUSHINDIRECT, 0, *lo_hi(colorref(r, g, b)), 0)


def pen(r, g, b, width=1):
    return rec(META_CREATEPENINDIRECT, 0, width, 0, *lo_hi(colorref(r, g, b)))


def font(height, face):
    name = face.encode("cp1252")[:31].ljust(32, b"\0")
    return rec(META_CREATEFONTINDIRECT, height, 0, 0, 0, 400,
               raw=bytes([0, 0, 0, 0, 0, 0, 0, 0]) + name)


def rectangle(left, top, right, bottom):
    return rec(META_RECTANGLE, bottom, right, top, left)


def ellipse(left, top, right, bottom):
    return rec(META_ELLIPSE, bottom, right, top, left)


def polygon(points):
    words = [len(points)]
    for x, y in points:
        words += [x, y]
    return rec(META_POLYGON, *words)


def textout(x, y, text):
    s = text.encode("cp1252")
    raw = s + (b"\0" if len(s) % 2 else b"")
    return rec(META_TEXTOUT, len(s), raw=raw + struct.pack("<hh", y, x))


META_DIBSTRETCHBLT = 0x0B41
SRCCOPY = 0x00CC0020


def dib_stretch(x, y, w, h, src_w, src_h, rows):
    """DIBSTRETCHBLT of a 24-bit DIB; rows are given top row first."""
    stride = (src_w * 3 + 3) & ~3
    pixels = b"".join(b"".join(bytes(p[::-1]) for p in row).ljust(stride, b"\0")
                      for row in reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, src_w, src_h, 1, 24, 0, len(pixels), 0, 0, 0, 0)
    params = struct.pack("<I", SRCCOPY) + struct.pack("<8h", src_h, src_w, 0, 0, h, w, y, x)
    body = params + info + pixels
    return struct.pack("<IH", 3 + len(body) // 2, META_DIBSTRETCHBLT) + body


def metafile(records, objects):
    body = b"".join(records) + rec(META_EOF)
    max_record = max(struct.unpack_from("<I", r)[0] for r in records + [rec(META_EOF)])
    size_words = (18 + len(body)) // 2
    header = struct.pack("<HHHIHIH", 1, 9, 0x0300, size_words, objects, max_record, 0)
    return header + body


def placeable(left, top, right, bottom, inch):
    words = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, left, top, right, bottom, inch, 0)
    checksum = 0
    for (w,) in struct.iter_unpack("<H", words):
        checksum ^= w
    return words + struct.pack("<H", checksum)


def shapes_records():
    """2 by 1 inch at 1440 units per inch: a red square on the left, a blue
    ellipse on the right, a green triangle and a line of text at the bottom."""
    return [
        rec(META_SETMAPMODE, 8),
        rec(META_SETWINDOWORG, 0, 0),
        rec(META_SETWINDOWEXT, 1440, 2880),
        rec(META_SETBKMODE, 1),
        pen(0, 0, 0),                       # object 0
        rec(META_SELECTOBJECT, 0),
        brush(255, 0, 0),                   # object 1
        rec(META_SELECTOBJECT, 1),
        rectangle(200, 200, 1240, 1240),
        brush(0, 0, 255),                   # object 2
        rec(META_SELECTOBJECT, 2),
        ellipse(1500, 200, 2700, 1240),
        brush(0, 160, 0),                   # object 3
        rec(META_SELECTOBJECT, 3),
        polygon([(1300, 1400), (1440, 1100), (1580, 1400)]),
        font(-160, "Arial"),                # object 4
        rec(META_SELECTOBJECT, 4),
        rec(META_SETTEXTCOLOR, *lo_hi(colorref(0, 0, 0))),
        textout(60, 1260, "Ardeno \xe9"),
    ]


def bmp24(width, height, pixel, ppm=0):
    """Bottom-up 24-bit BMP; pixel(x, y) gives (r, g, b) with y from the top."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in reversed(range(height)):
        row = b"".join(bytes(pixel(x, y)[::-1]) for x in range(width))
        rows.append(row.ljust(stride, b"\0"))
    pixels = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), ppm, ppm, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 54)
    return file_header + info + pixels


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    shapes = metafile(shapes_records(), 5)
    write("shapes.wmf", placeable(0, 0, 2880, 1440, 1440) + shapes)
    # The same drawing without the placeable header: libwmf measures it.
    write("shapes-plain.wmf", shapes)
    # A bitmap inside a metafile (DIBSTRETCHBLT, as clip art carries them):
    # 2 by 2 pixels, red and green on top, blue and yellow below, stretched
    # over the whole 1-inch frame.
    write("bitmap.wmf", placeable(0, 0, 1440, 1440, 1440) + metafile([
        rec(META_SETMAPMODE, 8),
        rec(META_SETWINDOWORG, 0, 0),
        rec(META_SETWINDOWEXT, 1440, 1440),
        dib_stretch(0, 0, 1440, 1440, 2, 2,
                    [[(255, 0, 0), (0, 255, 0)], [(0, 0, 255), (255, 255, 0)]]),
    ], 0))
    # More of what clip art draws: a thick pen, a rounded rectangle, a pie,
    # an arc, a chord, lines, a polypolygon with a hole, a hatched brush and
    # rotated text. Looked at by eye (ardeno-tool thumbnail) and fuzz seed.
    write("clipart.wmf", placeable(0, 0, 2880, 2160, 1440) + metafile([
        rec(META_SETMAPMODE, 8),
        rec(META_SETWINDOWORG, 0, 0),
        rec(META_SETWINDOWEXT, 2160, 2880),
        rec(META_SETBKMODE, 1),
        pen(0, 0, 128, 40),                     # object 0
        rec(META_SELECTOBJECT, 0),
        brush(255, 255, 0),                     # object 1
        rec(META_SELECTOBJECT, 1),
        rec(0x061C, 200, 200, 900, 1300, 100, 100),                  # ROUNDRECT
        brush(255, 128, 0),                     # object 2
        rec(META_SELECTOBJECT, 2),
        rec(0x081A, 100, 2300, 100, 1500, 900, 2300, 100, 1500),     # PIE
        rec(0x0817, 1900, 2700, 1900, 1500, 2000, 2700, 1000, 1500), # ARC
        rec(0x0830, 1300, 1500, 1300, 100, 2000, 1400, 1000, 100),   # CHORD
        rec(0x0214, 1000, 1500), rec(0x0213, 2100, 2800),            # MOVETO, LINETO
        rec(0x0538, 2, 4, 4,                                         # POLYPOLYGON
            1600, 1100, 2700, 1100, 2700, 1500, 1600, 1500,
            1800, 1200, 2500, 1200, 2500, 1400, 1800, 1400),
        rec(META_CREATEBRUSHINDIRECT, 2, *lo_hi(colorref(0, 128, 0)), 5),  # object 3: hatched
        rec(META_SELECTOBJECT, 3),
        rectangle(1600, 1600, 2000, 2000),
        rec(META_CREATEFONTINDIRECT, -200, 0, 450, 450, 700,         # object 4: bold, 45 degrees
            raw=bytes([1, 0, 0, 0, 0, 0, 0, 0]) + b"Times New Roman".ljust(32, b"\0")),
        rec(META_SELECTOBJECT, 4),
        rec(META_SETTEXTCOLOR, *lo_hi(colorref(128, 0, 0))),
        textout(300, 2000, "Quiz!"),
    ], 5))
    # A block fill (PATBLT with the brush) over the top-left quarter and one
    # pixel (SETPIXEL) at 1000, 1000 of a 1-inch square.
    write("patblt.wmf", placeable(0, 0, 1440, 1440, 1440) + metafile([
        rec(META_SETMAPMODE, 8),
        rec(META_SETWINDOWORG, 0, 0),
        rec(META_SETWINDOWEXT, 1440, 1440),
        brush(0, 200, 200),                     # object 0
        rec(META_SELECTOBJECT, 0),
        rec(0x061D, *lo_hi(0x00F00021), 720, 720, 0, 0),             # PATBLT PATCOPY
        rec(0x041F, *lo_hi(colorref(255, 0, 0)), 1000, 1000),        # SETPIXEL
    ], 1))
    # A y axis pointing up (negative window height): a red square in the
    # bottom-left quarter, a pie in the top-right one, a caption at the top.
    write("y-up.wmf", placeable(0, 0, 1440, 1440, 1440) + metafile([
        rec(META_SETMAPMODE, 8),
        rec(META_SETWINDOWORG, 1440, 0),
        rec(META_SETWINDOWEXT, -1440, 1440),
        brush(255, 0, 0),                       # object 0
        rec(META_SELECTOBJECT, 0),
        rectangle(0, 0, 720, 720),
        brush(255, 128, 0),                     # object 1
        rec(META_SELECTOBJECT, 1),
        rec(0x081A, 1440, 1440, 1440, 720, 720, 1440, 1440, 720),    # PIE
        font(-200, "Arial"),                    # object 2
        rec(META_SELECTOBJECT, 2),
        textout(100, 1300, "Up"),
    ], 3))
    # Text on a blue ground: with the opaque background mode (the default) on
    # a yellow background colour, then with the transparent one.
    write("text-background.wmf", placeable(0, 0, 2880, 1440, 1440) + metafile([
        rec(META_SETMAPMODE, 8),
        rec(META_SETWINDOWORG, 0, 0),
        rec(META_SETWINDOWEXT, 1440, 2880),
        brush(0, 0, 200),                       # object 0
        rec(META_SELECTOBJECT, 0),
        rectangle(0, 0, 2880, 1440),
        font(-300, "Arial"),                    # object 1
        rec(META_SELECTOBJECT, 1),
        rec(0x0201, *lo_hi(colorref(255, 255, 0))),                  # SETBKCOLOR
        textout(200, 300, "Opaque text"),
        rec(META_SETBKMODE, 1),
        textout(200, 900, "Transparent"),
    ], 2))
    # Text that must be escaped in the SVG the metafile becomes.
    write("text-escape.wmf", placeable(0, 0, 1440, 720, 1440) + metafile([
        rec(META_SETMAPMODE, 8),
        rec(META_SETWINDOWORG, 0, 0),
        rec(META_SETWINDOWEXT, 720, 1440),
        font(-240, "Arial"),
        rec(META_SELECTOBJECT, 0),
        textout(40, 200, "1 < 2 & \"3\" </text>"),
    ], 1))
    # Damaged and hostile metafiles: each must be refused, never crash.
    good = placeable(0, 0, 2880, 1440, 1440) + shapes
    write("truncated.wmf", good[: len(good) // 2])
    write("header-only.wmf", placeable(0, 0, 2880, 1440, 1440))
    write("huge-bbox.wmf", placeable(-32768, -32768, 32767, 32767, 1) + shapes)
    write("zero-inch.wmf", placeable(0, 0, 2880, 1440, 0) + shapes)
    bad_size = bytearray(good)
    # First record after the two headers claims a size of 0x7fffffff words.
    struct.pack_into("<I", bad_size, 22 + 18, 0x7FFFFFFF)
    write("bad-record-size.wmf", bytes(bad_size))
    # A bitmap whose header claims a size of 0 (libwmf's reader would loop).
    bitmap = bytearray(open(os.path.join(OUT, "bitmap.wmf"), "rb").read())
    dib = bitmap.index(struct.pack("<I", 40) + struct.pack("<ii", 2, 2))
    struct.pack_into("<I", bitmap, dib, 0)
    write("bad-bitmap-header.wmf", bytes(bitmap))
    many_points = metafile([rec(META_SETMAPMODE, 8),
                            rec(META_POLYGON, 0x7FFF, 10, 10, 20, 20)], 0)
    write("bad-polygon.wmf", placeable(0, 0, 1440, 1440, 1440) + many_points)

    # Bitmaps: 40 by 30, left half red, right half blue, no resolution; and a
    # 300-dpi one (11811 pels per metre) whose paper size is 1/3.125 of that.
    half = lambda x, y: (255, 0, 0) if x < 20 else (0, 0, 255)
    write("redblue-40x30.bmp", bmp24(40, 30, half))
    write("redblue-300dpi.bmp", bmp24(40, 30, half, ppm=11811))
    write("truncated.bmp", bmp24(40, 30, half)[:200])

    # JPEGs with ImageMagick: 64 by 48 at 150 dpi; 200 by 100 with no density.
    if subprocess.call(["convert", "-size", "32x48", "xc:red", "-size", "32x48", "xc:blue",
                        "+append", "-units", "PixelsPerInch", "-density", "150",
                        "-quality", "92", os.path.join(OUT, "redblue-64x48-150dpi.jpg")]) != 0:
        sys.exit("convert failed")
    subprocess.check_call(["convert", "-size", "200x100", "gradient:yellow-navy", "-strip",
                           "-quality", "85", os.path.join(OUT, "gradient-200x100.jpg")])
    with open(os.path.join(OUT, "gradient-200x100.jpg"), "rb") as f:
        jpeg = f.read()
    write("truncated.jpg", jpeg[: len(jpeg) // 3])
    write("not-a-picture.jpg", b"This is plain text with a picture's name.\r\n")


if __name__ == "__main__":
    main()
