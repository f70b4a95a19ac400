#!/usr/bin/env bash
# Starts the editor on the bundled sample test (make run). The editor starts
# in the samples folder, so the sample's media files, stored by bare name
# beside the test, are found when a question is picked.
# Without a display it runs the editor under a virtual X server, saves a
# screenshot to <build>/screenshot.png and says so.
set -euo pipefail
BUILD=${1:-build}
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "$BUILD" && pwd)
EXE=$BUILD/bin/ardeno-creator
# Named relative to the samples folder: the editor tells a test by the text
# after the first full stop of the whole path, which a folder name could hold.
SAMPLE=sample.ard
[ -f "$ROOT/samples/$SAMPLE" ] || { echo "run-editor: samples/$SAMPLE is missing (scripts/make-samples.sh makes it)" >&2; exit 1; }
[ -x "$EXE" ] || { echo "run-editor: $EXE not found; build first (make build)" >&2; exit 1; }

cd "$ROOT/samples"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$EXE" "$SAMPLE"
fi

# No display: a virtual one, a screenshot, and an honest word about it.
command -v Xvfb >/dev/null || { echo "run-editor: no display and no Xvfb (apt-get install xvfb)" >&2; exit 1; }
command -v import >/dev/null || { echo "run-editor: no display and no 'import' (apt-get install imagemagick)" >&2; exit 1; }
TMP=$(mktemp -d)
XVFB_PID=""; EDITOR_PID=""
cleanup() {
  [ -n "$EDITOR_PID" ] && kill "$EDITOR_PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$TMP"
}
trap cleanup EXIT
mkfifo "$TMP/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$TMP/displayfd" >/dev/null 2>&1 &
XVFB_PID=$!
read -r -t 10 DISPLAY_NUMBER < "$TMP/displayfd" || { echo "run-editor: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$DISPLAY_NUMBER
# A settings folder of its own, so the run leaves the user's recent files alone.
export XDG_CONFIG_HOME=$TMP/config XDG_RUNTIME_DIR=$TMP/runtime
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"

"$EXE" "$SAMPLE" &
EDITOR_PID=$!
for _ in $(seq 100); do
  if command -v xwininfo >/dev/null; then
    xwininfo -root -tree 2>/dev/null | grep -q "Ardeno Test Creator" && break
  fi
  kill -0 "$EDITOR_PID" 2>/dev/null || { echo "run-editor: the editor ended early" >&2; exit 1; }
  sleep 0.1
done
sleep 1   # let the first paint settle
import -window root -crop 540x400+0+0 "$BUILD/screenshot.png"
echo "run-editor: no display, so the editor ran under Xvfb on $DISPLAY with samples/$SAMPLE;"
echo "run-editor: screenshot saved to $BUILD/screenshot.png"
