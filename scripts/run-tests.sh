#!/usr/bin/env bash
# Runs the whole test suite. Starts what the tests need on a machine without
# display, sound card or printer (a virtual X display, a PulseAudio server
# with a null sink, a CUPS server with a PDF printer), and stops it after.
set -uo pipefail
BUILD=${1:-build}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "$BUILD" && pwd)

source "$ROOT/scripts/test-services.sh"
start_test_services
trap stop_test_services EXIT

cd "$BUILD"
ctest --output-on-failure -j "$(nproc)" --timeout 300
