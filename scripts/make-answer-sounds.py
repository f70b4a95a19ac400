#!/usr/bin/env python3
"""Writes the two answer sounds the quiz preview plays, compiled into the
program as resources: src/media/sounds/right.wav (id 101, a bright rising
chime) and wrong.wav (id 102, a short low buzz).

The quiz player's sounds have fixed formats, kept here exactly:
PCM, mono, 8 bit; 101 at 22,050 Hz with 30,493 sample bytes, 102 at
22,255 Hz with 33,384 sample bytes. Standard library only."""
import math
import os
import struct
import sys


def riff_wave(rate, samples):
    data = bytes(samples)
    fmt = struct.pack('<HHIIHH', 1, 1, rate, rate, 1, 8)
    body = b'WAVE' + b'fmt ' + struct.pack('<I', len(fmt)) + fmt
    body += b'data' + struct.pack('<I', len(data)) + data
    if len(data) % 2:
        body += b'\0'          # chunks are padded to an even length
    return b'RIFF' + struct.pack('<I', len(body)) + body


def to_u8(x):
    return max(0, min(255, int(round(128 + 127 * x))))


def chime(rate=22050, count=30493):
    # Three bell notes, C6 E6 G6, each struck 0.16 s after the last and left
    # ringing; a quieter octave partial gives the bell its brightness.
    notes = [(1046.5, 0.00), (1318.5, 0.16), (1568.0, 0.32)]
    out = []
    for n in range(count):
        t = n / rate
        v = 0.0
        for f, start in notes:
            if t >= start:
                u = t - start
                env = math.exp(-u * 3.2) * min(1.0, u / 0.004)
                v += env * (math.sin(2 * math.pi * f * u) + 0.35 * math.sin(4 * math.pi * f * u))
        fade = min(1.0, (count - n) / (0.05 * rate))   # no click at the end
        out.append(to_u8(0.36 * v * fade))
    return out


def buzz(rate=22255, count=33384):
    # Two low, rough buzzes (a clipped 98 Hz sawtooth with a beating 104 Hz
    # partner), then quiet until the sound's fixed end.
    out = []
    for n in range(count):
        t = n / rate
        v = 0.0
        for start, length in ((0.0, 0.42), (0.52, 0.55)):
            u = t - start
            if 0 <= u < length:
                env = min(1.0, u / 0.01, (length - u) / 0.04)
                saw = 2 * ((98 * u) % 1.0) - 1 + 2 * ((104 * u) % 1.0) - 1
                v += env * max(-0.8, min(0.8, saw))
        out.append(to_u8(0.7 * v))
    return out


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = os.path.join(root, 'src', 'media', 'sounds')
    os.makedirs(folder, exist_ok=True)
    for name, rate, samples in (('right.wav', 22050, chime()), ('wrong.wav', 22255, buzz())):
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(riff_wave(rate, samples))
    return 0


if __name__ == '__main__':
    sys.exit(main())
