#!/usr/bin/env bash
# The live class under a class of 300 students answering at once (see
# bench/live/load-class.mjs): in step with the page's pace, then without
# any pause (the server's throughput).
BUILD=${1:-build}
node "$(dirname "$0")/live/load-class.mjs" "$BUILD/bin/ardeno-tool" 300 1000 &&
node "$(dirname "$0")/live/load-class.mjs" "$BUILD/bin/ardeno-tool" 300 0
