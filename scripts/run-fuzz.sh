#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) in fuzz-build/ and
# runs each for FUZZ_SECONDS (default 60) on a copy of its seed corpus
# fuzz/corpus/<target>/, so the committed seeds stay as they are. Fails on
# any crash, leak or broken invariant; the input that caused it is left in
# fuzz-build/findings/<target>/.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${FUZZ_BUILD:-$ROOT/fuzz-build}
SECONDS_PER_TARGET=${FUZZ_SECONDS:-60}
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

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
while read -r target; do
    [ -n "$target" ] || continue
    work="$BUILD/corpus/$target"
    findings="$BUILD/findings/$target"
    rm -rf "$work" && mkdir -p "$work" "$findings"
    if [ -d "$ROOT/fuzz/corpus/$target" ]; then
        cp -r "$ROOT/fuzz/corpus/$target/." "$work/"
    fi
    echo "== $target: ${SECONDS_PER_TARGET}s"
    if ! "$BUILD/bin/$target" -max_total_time="$SECONDS_PER_TARGET" -max_len=8192 \
            -print_final_stats=1 -artifact_prefix="$findings/" "$work" \
            > "$BUILD/$target.log" 2>&1; then
        echo "!! $target failed; see $BUILD/$target.log and $findings/"
        tail -n 40 "$BUILD/$target.log"
        status=1
    else
        grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$BUILD/$target.log" | tail -n 2
    fi
done < "$BUILD/fuzz-targets.txt"
exit $status
