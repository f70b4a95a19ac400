#!/usr/bin/env python3
"""Writes the hostile and odd pictures the picture tests, the fuzzers' seeds
and the benchmarks use into tests/data/hostile/: small files whose headers
claim huge sizes (JPEG progressive and baseline, GIF, BMP run-length coded
and truncated; the huge WMF is tests/data/pictures/huge-bbox.wmf), a valid
top-down BMP, and a progressive JPEG inside the pixel budget. The JPEG
sources come from ImageMagick's `convert`; the rest is written byte by byte.
The results are committed; run this again only to change them."""
import os
import struct
import subprocess
import sys
import tempfile

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'data', 'hostile')


def write(name, data):
    with open(os.path.join(OUT, name), 'wb') as f:
        f.write(data)


def jpeg(progressive, size='16x16'):
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, 'x.jpg')
        args = ['convert', '-size', size, 'gradient:red-blue', '-strip', '-quality', '80']
        if progressive:
            args += ['-interlace', 'JPEG']
        subprocess.run(args + [path], check=True)
        with open(path, 'rb') as f:
            return bytearray(f.read())


def claim_jpeg(data, width, height):
    """Rewrites the frame header (SOF0/SOF2) to claim width x height."""
    at = 2
    while at + 4 <= len(data):
        marker, length = data[at + 1], struct.unpack('>H', data[at + 2:at + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            data[at + 5:at + 9] = struct.pack('>HH', height, width)
            return bytes(data)
        at += 2 + length
    sys.exit('no frame header')


def bmp(width, height, bits, compression, pixels, claimed_size=None):
    palette = b''
    if bits == 8:
        palette = b''.join(struct.pack('<BBBB', i, i, 255 - i, 0) for i in range(256))
    offset = 14 + 40 + len(palette)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, compression,
                       len(pixels), 3780, 3780, 256 if bits == 8 else 0, 0)
    size = claimed_size if claimed_size is not None else offset + len(pixels)
    return b'BM' + struct.pack('<IHHI', size, 0, 0, offset) + info + palette + pixels


def top_down_bmp():
    """40x30, 24 bits, stored top row first: red top half, blue bottom half."""
    rows = []
    for y in range(30):
        colour = b'\x00\x00\xff' if y < 15 else b'\xff\x00\x00'   # BGR
        rows.append(colour * 40)   # 120 bytes: already a multiple of 4
    return bmp(40, -30, 24, 0, b''.join(rows))


def gif(width, height):
    """A one-pixel GIF whose screen and image claim width x height."""
    data = b'GIF89a' + struct.pack('<HH', width, height) + b'\x80\x00\x00'
    data += b'\x00\x00\x00\xff\xff\xff'
    data += b',' + struct.pack('<HHHH', 0, 0, width, height) + b'\x00'
    data += b'\x02\x02\x44\x01\x00;'
    return data


def main():
    os.makedirs(OUT, exist_ok=True)
    write('claims-32000x32000-progressive.jpg', claim_jpeg(jpeg(True), 32000, 32000))
    write('claims-32000x32000-baseline.jpg', claim_jpeg(jpeg(False), 32000, 32000))
    write('claims-65535x65535.gif', gif(65535, 65535))
    # Run-length coded 8 bits: one run, then end of bitmap; claims 30000x30000.
    write('claims-30000x30000-rle.bmp', bmp(30000, 30000, 8, 1, b'\x10\x05\x00\x01'))
    # Plain 24 bits claiming 20000x20000 but holding a tenth of a row.
    write('claims-20000x20000-truncated.bmp', bmp(20000, 20000, 24, 0, b'\x00' * 6000,
                                                   claimed_size=1200000054))
    # Inside the budget: 7000x7000 progressive, cut short of its pixels.
    write('claims-7000x7000-progressive.jpg', claim_jpeg(jpeg(True), 7000, 7000))
    write('top-down-40x30.bmp', top_down_bmp())
    # An ordinary picture of the same kind, for the benchmarks' comparison.
    write('ordinary-640x480-progressive.jpg', bytes(jpeg(True, '640x480')))


if __name__ == '__main__':
    main()
