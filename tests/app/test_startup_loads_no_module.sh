#!/usr/bin/env bash
# The editor starts without its heavy parts: with the sample test open
# (whose questions carry sounds, tunes and videos) and its window shown, no
# FFmpeg library, no Qt Multimedia or sound server client, no Qt Charts,
# no libwmf, libqrencode, libmicrohttpd or GnuTLS, nothing of the paper
# class's image work, none of Qt's picture readers but the ones the test's
# pictures need, and none of our modules is mapped into the process. Each
# comes with the first sound, video, chart, metafile, code, class or scan.
# (Qt SVG comes after the first paint, with the program's icon.)
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
heavy='libavformat|libavcodec|libswscale|libQt6Multimedia|libpulse|libgst|libfluidsynth|libQt6Charts'
heavy+='|libQt6OpenGL|libwmf|libqrencode|libmicrohttpd|libgnutls|libpoppler|libopencv|libZXing|libtiff|libwebp|libqtiff|libqwebp|libqgif|libardeno_[a-z]+'
loaded=$(grep -oE "/[^ ]*($heavy)[^ /]*\.so[^ ]*" <<<"$maps" | sort -u)
if [ -n "$loaded" ]; then
  echo "FAIL: loaded at start-up:"; echo "$loaded"; exit 1
fi
echo "ok: no module and no heavy library loaded at start-up"
