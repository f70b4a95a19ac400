#!/usr/bin/env bash
# Makes the bundled sample test samples/sample.ard: ten questions of both
# kinds, eight of them with a media file (BMP, JPEG, WMF, WAV, MIDI, MP3, AVI,
# MPEG) stored beside the test. The pictures are drawn here with ImageMagick;
# the sounds, tunes, videos and the metafile are the small files the test
# suite already makes (tests/data). The test file itself is written by our
# own save routine through `ardeno-tool save`, so it is exactly what the
# editor writes. The outputs are kept in the repository.
#
# usage: scripts/make-samples.sh [BUILD_DIR]   (needs BUILD_DIR/bin/ardeno-tool)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build}
TOOL=$BUILD/bin/ardeno-tool
OUT=$ROOT/samples
DATA=$ROOT/tests/data
[ -x "$TOOL" ] || { echo "make-samples: $TOOL not found; build first" >&2; exit 1; }

STAGE=$(mktemp -d)
trap 'rm -rf "$STAGE"' EXIT

# Pictures: a map-like BMP and a photo-like JPEG, small and deterministic.
convert -size 160x120 xc:'#9fd3f5' \
    -fill '#4c9a2a' -draw 'ellipse 60,70 45,30 0,360' -draw 'ellipse 120,45 25,18 0,360' \
    -fill '#c0392b' -draw 'circle 62,66 66,66' \
    -type TrueColor BMP3:"$STAGE/map.bmp"
convert -size 240x160 gradient:'#fbe3a1'-'#e67e22' \
    -fill '#fff6d5' -draw 'circle 180,50 205,50' \
    -fill '#5d4037' -draw 'polygon 0,160 70,90 130,140 180,100 240,160' \
    -quality 85 "$STAGE/sunset.jpg"
cp "$DATA/pictures/shapes.wmf" "$STAGE/shapes.wmf"
cp "$DATA/media/tone.wav" "$STAGE/bell.wav"
cp "$DATA/media/tune.mid" "$STAGE/tune.mid"
cp "$DATA/media/tune.mp3" "$STAGE/song.mp3"
cp "$DATA/media/clip320x240.avi" "$STAGE/clip.avi"
cp "$DATA/media/clip352x288.mpg" "$STAGE/clip.mpg"

# Saving copies each media file next to the test unless a file of that name
# is already there: start from an empty folder.
mkdir -p "$OUT"
rm -f "$OUT"/sample.ard "$OUT"/map.bmp "$OUT"/sunset.jpg "$OUT"/shapes.wmf "$OUT"/bell.wav \
      "$OUT"/tune.mid "$OUT"/song.mp3 "$OUT"/clip.avi "$OUT"/clip.mpg

python3 - "$STAGE" > "$STAGE/sample.json" <<'PY'
import json, sys
stage = sys.argv[1]
S = "\u00a9"
def mc(q, a, b, c, d, media, correct):
    return S.join(["m", q, a, b, c, d, media, " %d" % correct])
def tf(q, media, answer):
    return S.join(["t", q, media, " %d" % answer])
m = lambda name: stage + "/" + name
records = [
    mc("Where is the red dot on this map?", "In the sea", "On the large island",
       "On the small island", "There is no dot", m("map.bmp"), 1),
    tf("The sun in this picture is setting behind the hills.", m("sunset.jpg"), 0),
    mc("How many shapes does this drawing show?", "One", "Two", "Three", "Four",
       m("shapes.wmf"), 2),
    tf("The sound you hear is a single steady tone.", m("bell.wav"), 0),
    mc("What do we call a short piece of music like this one?", "A tune", "A poem",
       "A picture", "A map", m("tune.mid"), 0),
    tf("An MP3 file can hold music.", m("song.mp3"), 0),
    mc("What does this short video show?", "Moving colours", "A cat", "A train",
       "A football match", m("clip.avi"), 0),
    tf("A video is made of many still pictures shown one after another.", m("clip.mpg"), 0),
    mc("Which of these is a prime number?", "4", "6", "7", "9", "none", 2),
    tf("Water boils at 50 degrees Celsius at sea level.", "none", 1),
]
print(json.dumps({"title": "Ardeno Sample Test", "teacher": "Class 5 / Sample Teacher",
                  "records": records}, ensure_ascii=False))
PY

"$TOOL" save "$OUT/sample.ard" < "$STAGE/sample.json" > /dev/null
echo "make-samples: wrote $OUT/sample.ard and its media:"
ls -l "$OUT"
