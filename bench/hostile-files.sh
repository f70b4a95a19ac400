#!/usr/bin/env bash
# Peak memory and time of the real programs on hostile and huge files, each
# beside the same figure for an ordinary file: pictures whose headers claim
# huge sizes (refused from the header) against an ordinary progressive JPEG,
# a 10 MB test (100 questions of 100 KB) against the sample test, 15 MB of
# CRs given as a test, and the score-log viewer on 5 MB of lone CRs and on a
# 5 MB single line against a class's log. Figures only; never fails on them.
set -uo pipefail
BUILD=${1:-build}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
TOOL="$BUILD/bin/ardeno-tool"
EDITOR_PROBE="$BUILD/bin/test_open_probe"
LOG_PROBE="$BUILD/bin/log_open_probe"
DATA="$ROOT/tests/data"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# One line per command: seconds, peak resident memory, its exit status and
# the start of its output (the probes print their own figures).
measure() {
    local label=$1; shift
    /usr/bin/time -o "$WORK/time" -f "%e %M %x" "$@" >"$WORK/stdout" 2>"$WORK/stderr"
    read -r secs kb status < <(tail -n 1 "$WORK/time")
    awk -v l="$label" -v s="$secs" -v k="$kb" -v x="$status" \
        'BEGIN { printf "  %-42s %7.2f s %8.1f MB  exit %s", l, s, k / 1024, x }'
    [ -s "$WORK/stdout" ] && printf '   %s' "$(head -c 100 "$WORK/stdout" | tr '\n' ' ')"
    printf '\n'
}

echo "Pictures (ardeno-tool thumbnail at 64x48):"
for f in hostile/ordinary-640x480-progressive.jpg pictures/gradient-200x100.jpg \
         hostile/claims-32000x32000-progressive.jpg hostile/claims-32000x32000-baseline.jpg \
         hostile/claims-7000x7000-progressive.jpg hostile/claims-65535x65535.gif \
         hostile/claims-30000x30000-rle.bmp hostile/claims-20000x20000-truncated.bmp \
         pictures/huge-bbox.wmf; do
    measure "$(basename "$f")" env QT_QPA_PLATFORM=offscreen "$TOOL" thumbnail "$DATA/$f" 64x48 "$WORK/t.png"
done

echo "Tests (ardeno-tool dump; opening in the shown editor):"
python3 - "$WORK/big.ard" <<'PY'
import sys
key = 0x1D
def scr(b): return bytes(c ^ key for c in b)
lines = [scr(b'Ten megabytes\xa9Class 1')]
for i in range(100):
    q = (b'Question %d ' % i) + b'lorem ipsum ' * (100 * 1024 // 12)
    lines.append(scr(b'm\xa9' + q + b'\xa9one\xa9two\xa9three\xa9four\xa9none\xa9 2'))
open(sys.argv[1], 'wb').write(b'\r\n'.join(lines) + b'\r\n\r\n')
PY
head -c $((15 * 1024 * 1024)) /dev/zero | tr '\0' '\r' > "$WORK/crs.ard"
measure "sample.ard (dump)" "$TOOL" dump "$ROOT/samples/sample.ard"
measure "10 MB test (dump)" "$TOOL" dump "$WORK/big.ard"
measure "15 MB of CRs as a test (dump, refused)" "$TOOL" dump "$WORK/crs.ard"
if [ -x "$EDITOR_PROBE" ]; then
    measure "sample.ard (editor)" env QT_QPA_PLATFORM=offscreen "$EDITOR_PROBE" "$ROOT/samples/sample.ard"
    measure "10 MB test (editor)" env QT_QPA_PLATFORM=offscreen "$EDITOR_PROBE" "$WORK/big.ard"
fi

echo "Score logs (the viewer: open, then 2 s idle):"
python3 - "$WORK/class.log" <<'PY'
import sys
lines = [bytes(c ^ 0xB6 for c in (b'Pupil %d: 7 of 10' % i)) for i in range(30)]
open(sys.argv[1], 'wb').write(b'\r\n'.join(lines) + b'\r\n')
PY
head -c $((5 * 1024 * 1024)) /dev/zero | tr '\0' '\r' > "$WORK/crs.log"
head -c $((5 * 1024 * 1024)) /dev/zero | tr '\0' 'x' > "$WORK/line.log"
for f in class crs line; do
    measure "$f.log" env QT_QPA_PLATFORM=offscreen "$LOG_PROBE" "$WORK/$f.log"
done

echo "Question readers (ardeno-tool import), per megabyte, ordinary beside hostile shapes of the same size:"
python3 - "$WORK" <<'PY'
import os, sys
w = sys.argv[1]
mb = 10 * 1024 * 1024
def write(name, chunk, head=b'', tail=b''):
    with open(os.path.join(w, name), 'wb') as f:
        f.write(head)
        n = (mb - len(head)) // len(chunk)
        f.write(chunk * n)
        f.write(tail)
write('ordinary.csv', b'mc,What is the river through Paris?,Seine,Po,Tiber,Ebro,A,none\n',
      head=b'kind,question,a,b,c,d,answer,media\n')
write('wide.csv', b',c', head=b'kind,question,answer', tail=b'\nmc,Q?,A\n')
write('ordinary.gift', b'::Q:: Is the Seine in Paris? {T}\n\n')
path = b'$course$/top' + b''.join(b'/%d' % i for i in range(2000))
write('deep.gift', b'$CATEGORY: ' + path + b'\n::Q:: Flat? {F}\n\n')
write('aiken.gift', b'What is two?\nA. one\nB. two\nANSWER: B\n\n')
write('one-question.gift', b'word ', head=b'::Q:: Long question ', tail=b'{T}\n')
PY
# The program's own footprint (a one-question file) is taken off each peak:
# what is left is what the file's shape costs.
printf '::Q:: Is it? {T}\n' > "$WORK/tiny.gift"
/usr/bin/time -o "$WORK/time" -f "%M" env QT_QPA_PLATFORM=offscreen "$TOOL" import "$WORK/tiny.gift" "$WORK/out.ard" >/dev/null 2>&1
idle=$(tail -n 1 "$WORK/time")
printf '  (idle footprint %.1f MB, taken off the peaks below)\n' "$(echo "$idle / 1024" | bc -l)"
for f in ordinary.csv wide.csv ordinary.gift deep.gift aiken.gift one-question.gift; do
    ext=${f##*.}
    /usr/bin/time -o "$WORK/time" -f "%e %M" env QT_QPA_PLATFORM=offscreen "$TOOL" import "$WORK/$f" "$WORK/out.ard" \
        --format "$ext" --pick 1 >/dev/null 2>&1
    read -r secs kb < <(tail -n 1 "$WORK/time")
    awk -v l="$f" -v s="$secs" -v k="$kb" -v i="$idle" -v b="$(stat -c %s "$WORK/$f")" \
        'BEGIN { m = b / 1048576; printf "  %-18s %6.1f MB  %6.3f s/MB  %5.1f MB over idle per MB\n", l, m, s / m, (k - i) / 1024 / m }'
done
seq -s, 1 16000 | sed 's/\([0-9]*\)/1-\1/g' > "$WORK/ranges"
/usr/bin/time -o "$WORK/time" -f "%e %M" env QT_QPA_PLATFORM=offscreen "$TOOL" import "$WORK/ordinary.csv" "$WORK/out.ard" \
    --pick "$(cat "$WORK/ranges")" >/dev/null 2>&1
read -r secs kb < <(tail -n 1 "$WORK/time")
printf '  --pick of 16,000 overlapping ranges: %s s, %.1f MB peak\n' "$secs" "$(echo "$kb / 1024" | bc -l)"
