#!/usr/bin/env bash
# The editor starts without the media player's heavy parts: with the sample
# test open (whose questions carry sounds, tunes and videos) and its window
# shown, no FFmpeg library, no Qt Multimedia, no sound server client and none
# of our media modules is mapped into the process. They come with the first
# sound or video played.
set -u
CREATOR=$1
SAMPLES=$2
config=$(mktemp -d)
trap 'rm -rf "$config"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null' EXIT
cd "$SAMPLES" || exit 1
XDG_CONFIG_HOME=$config QT_QPA_PLATFORM=offscreen "$CREATOR" sample.ard >/dev/null 2>&1 &
pid=$!
# Wait until the window is up: Qt's widgets and the first picture's reader
# are loaded by then; then give it a moment of idling.
for _ in $(seq 1 100); do
  grep -q "libQt6Widgets" "/proc/$pid/maps" 2>/dev/null && break
  sleep 0.1
done
sleep 2
maps=$(cat "/proc/$pid/maps" 2>/dev/null)
[ -n "$maps" ] || { echo "FAIL: the editor did not start"; exit 1; }
loaded=$(grep -oE '/[^ ]*(libavformat|libavcodec|libswscale|libQt6Multimedia|libpulse|libgst|libardeno_[a-z]+)[^ /]*\.so[^ ]*' <<<"$maps" | sort -u)
if [ -n "$loaded" ]; then
  echo "FAIL: loaded at start-up:"; echo "$loaded"; exit 1
fi
echo "ok: nothing of the media player's modules loaded at start-up"
