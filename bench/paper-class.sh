#!/usr/bin/env bash
# A class of 30 filled answer sheets in one 300-dpi copier PDF: the time
# `ardeno-tool scan` takes to read them into result logs, beside the time
# pdftoppm takes only to rasterize the same PDF, and the scan's peak memory.
# Figures only; never fails on them.
set -uo pipefail
BUILD=${1:-build}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
TOOL="$BUILD/bin/ardeno-tool"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export MAGICK_THREAD_LIMIT=1

python3 - "$TOOL" "$ROOT/samples/sample.ard" "$WORK" "$ROOT/tests/paper" <<'PY' || exit 1
import os, random, subprocess, sys
tool, test, work, helpers = sys.argv[1:5]
sys.path.insert(0, helpers)
import sheetmarks
with open(os.path.join(work, 'class.csv'), 'w') as f:
    f.write('name\n' + ''.join('Student %02d\n' % n for n in range(1, 31)))
sheets = os.path.join(work, 'sheets.pdf')
subprocess.run([tool, 'sheets', test, sheets, '--class', os.path.join(work, 'class.csv')], check=True,
               capture_output=True)
rng = random.Random(1)
pages = []
for page in range(1, 31):
    at = sheetmarks.bubbles(sheets, page)
    png = sheetmarks.rasterize(sheets, page, os.path.join(work, 'p%02d' % page), 300)
    marks = [(*rng.choice(list(letters.values())), 'pencil') for letters in at.values()]
    filled = sheetmarks.fill(png, os.path.join(work, 'f%02d.png' % page), marks, 300)
    jpg = os.path.join(work, 'p%02d.jpg' % page)
    subprocess.run(['convert', filled, '-rotate', '1.5', '-quality', '75', jpg], check=True)
    pages.append(jpg)
subprocess.run(['img2pdf', '-o', os.path.join(work, 'class.pdf')] + pages, check=True)
PY

time_of() {
    /usr/bin/time -o "$WORK/time" -f "%e %M" "$@" >/dev/null 2>&1
    tail -n 1 "$WORK/time"
}
read -r raster _ < <(time_of pdftoppm -r 300 -gray "$WORK/class.pdf" "$WORK/raster")
read -r scan kb < <(time_of "$TOOL" scan "$ROOT/samples/sample.ard" "$WORK/class.pdf" --results "$WORK/results")
logs=$(ls "$WORK/results" | wc -l)
echo "A class of 30 sheets in one 300-dpi PDF ($(du -h "$WORK/class.pdf" | cut -f1)):"
awk -v r="$raster" -v s="$scan" -v k="$kb" -v n="$logs" 'BEGIN {
    printf "  pdftoppm -r 300 -gray alone  %6.2f s\n", r
    printf "  ardeno-tool scan             %6.2f s  (%.2f x pdftoppm), %.0f MB peak, %d logs\n", s, s / r, k / 1024, n
}'
