#!/usr/bin/env bash
# Writes the small media files the media tests play into tests/data/media/,
# with Debian's sox and ffmpeg (and python3 for the MIDI tune, which neither
# of them writes). The results are committed; run this again only to change
# them. Every file stays well under 200 KB.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT="$ROOT/tests/data/media"
mkdir -p "$OUT"
FF=(ffmpeg -hide_banner -loglevel error -y -bitexact)

# A one-second 440 Hz tone: PCM, mono, 8 bit, 22,050 Hz, like the quiz player's own sounds.
sox -D -n -r 22050 -c 1 -b 8 -e unsigned-integer "$OUT/tone.wav" synth 1.0 sine 440 fade 0.02 1.0 0.05 vol 0.8
# A 1.5-second two-tone MP3 (mono, 64 kbit/s).
sox -D -n -r 44100 -c 1 -b 16 "$OUT/tmp-tune.wav" synth 0.75 sine 523 : synth 0.75 sine 659 vol 0.7
"${FF[@]}" -i "$OUT/tmp-tune.wav" -codec:a libmp3lame -b:a 64k -map_metadata -1 "$OUT/tune.mp3"
rm -f "$OUT/tmp-tune.wav"

# Videos: a moving test pattern. MJPEG AVI 320x240, raw BGR24 AVI 100x80 and
# 200x80 (the sizes the centring and stretching cases need), MPEG-1 352x288.
"${FF[@]}" -f lavfi -i testsrc=size=320x240:rate=10:duration=1 \
    -c:v mjpeg -q:v 12 -pix_fmt yuvj420p "$OUT/clip320x240.avi"
"${FF[@]}" -f lavfi -i testsrc=size=100x80:rate=5:duration=1 \
    -c:v rawvideo -pix_fmt bgr24 "$OUT/raw100x80.avi"
"${FF[@]}" -f lavfi -i testsrc=size=200x80:rate=3:duration=1 \
    -c:v rawvideo -pix_fmt bgr24 "$OUT/raw200x80.avi"
"${FF[@]}" -f lavfi -i testsrc=size=352x288:rate=25:duration=1 \
    -c:v mpeg1video -b:v 400k -f mpeg "$OUT/clip352x288.mpg"

# A video with sound: MJPEG 160x120 with a 1.5-second 880 Hz tone.
"${FF[@]}" -f lavfi -i testsrc=size=160x120:rate=10:duration=1.5 -f lavfi -i sine=frequency=880:duration=1.5:sample_rate=22050 \
    -c:v mjpeg -q:v 12 -pix_fmt yuvj420p -c:a pcm_s16le -shortest "$OUT/clip_sound.avi"

# A short MIDI tune: a C major arpeggio on the piano, then a chord (format 0).
python3 - "$OUT/tune.mid" <<'PY'
import struct, sys
def vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.insert(0, (n & 0x7F) | 0x80)
        n >>= 7
    return bytes(out)
ticks = 480                        # per quarter note
ev = bytearray()
ev += vlq(0) + b'\xFF\x51\x03' + (500000).to_bytes(3, 'big')   # 120 bpm
ev += vlq(0) + b'\xC0\x00'                                      # piano
for note in (60, 64, 67, 72):
    ev += vlq(0) + bytes([0x90, note, 100])
    ev += vlq(ticks // 2) + bytes([0x80, note, 0])
for note in (60, 64, 67):
    ev += vlq(0) + bytes([0x90, note, 100])
ev += vlq(ticks)
for i, note in enumerate((60, 64, 67)):
    ev += (vlq(0) if i else b'') + bytes([0x80, note, 0])
ev += vlq(0) + b'\xFF\x2F\x00'
data = b'MThd' + struct.pack('>IHHH', 6, 0, 1, ticks) + b'MTrk' + struct.pack('>I', len(ev)) + ev
open(sys.argv[1], 'wb').write(data)
PY
ls -l "$OUT"
