#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) in fuzz-build/ and
# runs each for FUZZ_SECONDS (default 60) on a copy of its small seed corpus
# fuzz/corpus/<target>/, so the committed seeds stay as they are. Inputs stay
# small (FUZZ_MAX_LEN, default 64 KB), so every target runs hundreds to
# thousands of inputs a second. Every run is bounded by memory (FUZZ_RSS_MB,
# default 2048: the picture budget decoded, under AddressSanitizer) and time
# per input (FUZZ_TIMEOUT, default 20 s). Fails on any crash, hang, leak,
# memory peak or broken invariant; the input that caused it is left in
# fuzz-build/findings/<target>/. Prints per target the executions, the
# executions per second, the coverage reached and the peak memory.
#
# FUZZ_SLOW=1 is the separate slow run instead: the exchange readers on
# generated hostile inputs of a megabyte (elements nested 60,000 deep, texts
# of lone '<' and of '&' without ';', a tag of many attributes, a text of
# many links, long lines), each read once, as regression inputs.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${FUZZ_BUILD:-$ROOT/fuzz-build}
SECONDS_PER_TARGET=${FUZZ_SECONDS:-60}
SLOW=${FUZZ_SLOW:-}
RSS_MB=${FUZZ_RSS_MB:-2048}
TIMEOUT=${FUZZ_TIMEOUT:-20}
ONLY=${FUZZ_TARGETS:-}
MAX_LEN=${FUZZ_MAX_LEN:-65536}
JOBS=${JOBS:-$(nproc)}

SAN="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
# Everything is compiled with coverage instrumentation; only the fuzz targets
# link libFuzzer's main.
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -DARDENO_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link $SAN" \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link $SAN" \
    -DCMAKE_EXE_LINKER_FLAGS="$SAN" >/dev/null
cmake --build "$BUILD" -j "$JOBS" --target fuzz-all

# A small quarantine: with megabyte inputs the default one (256 MB) makes the
# resident memory climb through a long run until it meets the limit.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:quarantine_size_mb=32:malloc_context_size=10}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# The megabyte inputs of the slow run, into folder $1. The first byte picks
# the reader: 0 GIFT, 2 Moodle XML, 3 CSV.
make_hostile_inputs() {
    python3 - "$1" <<'PY'
import sys, os
work = sys.argv[1]
def xml(text):
    return (b'<quiz><question type="truefalse"><questiontext format="html"><text>' + text +
            b'</text></questiontext><answer fraction="100"><text>true</text></answer>'
            b'<answer fraction="0"><text>false</text></answer></question></quiz>')
inputs = {
    'deep-nesting': b'\x02' + xml(b'<b>' * 60000 + b'x' + b'</b>' * 60000),
    'lone-less-than': b'\x02' + xml(b'&lt;' * 80000),
    'ampersands': b'\x02' + xml(b'&amp;' * 120000),
    'many-attributes': b'\x02<quiz><question' + b''.join(b' a%d="x"' % i for i in range(60000)) + b'/></quiz>',
    'many-links': b'\x02' + xml(b''.join(b'&lt;a href="http://example.org/%d.mp3"&gt;s&lt;/a&gt;' % i
                                        for i in range(20000))),
    'gift-html': b'\x00' + b'[html]' + b'<' * 300000 + b' {T}\n',
    'gift-long-line': b'\x00' + b'word ' * 200000 + b'{T}\n',
    'csv-long-field': b'\x03' + b'kind,question,answer\ntf,' + b'&' * 600000 + b',true\n',
}
for name, data in inputs.items():
    with open(os.path.join(work, 'hostile-' + name), 'wb') as f:
        f.write(data[:1048576])
PY
}

now() { date +%s.%N; }
# Seconds since $1, and $2 per second over them.
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }
rate() { awk -v n="$2" -v s="$1" 'BEGIN { printf "%d", (s > 0 ? n / s : 0) }'; }

status=0
while read -r target; do
    [ -n "$target" ] || continue
    if [ -n "$ONLY" ] && ! [[ " $ONLY " == *" $target "* ]]; then continue; fi
    findings="$BUILD/findings/$target"
    mkdir -p "$findings"
    if [ -n "$SLOW" ]; then
        [ "$target" = fuzz_exchange ] || continue
        inputs="$BUILD/slow/$target"
        rm -rf "$inputs" && mkdir -p "$inputs"
        make_hostile_inputs "$inputs"
        echo "== $target: the megabyte hostile inputs, once each"
        start=$(now)
        if ! "$BUILD/bin/$target" -runs=0 -rss_limit_mb="$RSS_MB" -timeout="$TIMEOUT" \
                -artifact_prefix="$findings/" "$inputs"/* > "$BUILD/$target.slow.log" 2>&1; then
            echo "!! $target failed on a hostile input; see $BUILD/$target.slow.log"
            tail -n 40 "$BUILD/$target.slow.log"
            status=1
        fi
        printf '   %-16s %s inputs in %s s\n' "$target" "$(ls "$inputs" | wc -l)" "$(since "$start")"
        continue
    fi
    work="$BUILD/corpus/$target"
    rm -rf "$work" && mkdir -p "$work"
    if [ -d "$ROOT/fuzz/corpus/$target" ]; then
        cp -r "$ROOT/fuzz/corpus/$target/." "$work/"
    fi
    echo "== $target: ${SECONDS_PER_TARGET}s"
    start=$(now)
    if ! "$BUILD/bin/$target" -max_total_time="$SECONDS_PER_TARGET" -max_len="$MAX_LEN" -rss_limit_mb="$RSS_MB" \
            -timeout="$TIMEOUT" -print_final_stats=1 -artifact_prefix="$findings/" "$work" \
            > "$BUILD/$target.log" 2>&1; then
        echo "!! $target failed; see $BUILD/$target.log and $findings/"
        tail -n 40 "$BUILD/$target.log"
        status=1
    fi
    elapsed=$(since "$start")
    execs=$(grep -oE "stat::number_of_executed_units: *[0-9]+" "$BUILD/$target.log" | grep -oE "[0-9]+$" | tail -n 1)
    cov=$(grep -oE "cov: [0-9]+ ft: [0-9]+" "$BUILD/$target.log" | tail -n 1)
    rss=$(grep -oE "stat::peak_rss_mb: *[0-9]+" "$BUILD/$target.log" | grep -oE "[0-9]+$" | tail -n 1)
    printf '   %-16s executions %-10s %7s/s  %-24s peak %s MB\n' "$target" "${execs:-?}" \
        "$(rate "$elapsed" "${execs:-0}")" "${cov:-cov: ?}" "${rss:-?}"
done < "$BUILD/fuzz-targets.txt"
exit $status
