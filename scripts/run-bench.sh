#!/usr/bin/env bash
# Runs the benchmarks (make bench): every <build>/bin/bench_* program and
# every bench/*.sh script, with the same services the tests get. Each prints
# its own figures; a failing benchmark is reported and the others still run.
set -uo pipefail
BUILD=${1:-build}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "$BUILD" && pwd)

source "$ROOT/scripts/test-services.sh"
start_test_services
trap stop_test_services EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
export ARDENO_BUILD="$BUILD"

status=0
for bench in "$BUILD"/bin/bench_*; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  "$bench" || { echo "!! $(basename "$bench") failed"; status=1; }
done
for script in "$ROOT"/bench/*.sh; do
  [ -f "$script" ] || continue
  echo "== $(basename "$script")"
  bash "$script" "$BUILD" || { echo "!! $(basename "$script") failed"; status=1; }
done
exit $status
