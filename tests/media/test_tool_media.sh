#!/usr/bin/env bash
# ardeno-tool's media commands: their output is a contract for scripts.
set -u
TOOL=$1
DATA=$2/media
fail=0
check() {   # check NAME EXPECTED ACTUAL
    if [ "$2" != "$3" ]; then
        echo "FAIL $1"; echo " expected: $2"; echo " actual:   $3"; fail=1
    fi
}
check kind-picture picture "$("$TOOL" media-kind picture.JPG)"
check kind-folder-dot wave "$("$TOOL" media-kind /home/t/My.Files/song.wav)"
check kind-name-dots none "$("$TOOL" media-kind /home/t/a.tar.wav)"
check kind-mpeg mpeg "$("$TOOL" media-kind clip.Mpeg)"
check kind-midi midi "$("$TOOL" media-kind Song.MID)"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/with blank"
cp "$DATA/raw100x80.avi" "$tmp/with blank/a clip.avi"
out=$(printf '%s\n' \
    "open AVIvideo!$tmp/with blank/a clip.avi alias movie" \
    "where movie source" \
    "capability movie can stretch" \
    "put movie destination at -42  18  200  80" \
    "where movie destination" \
    "open MPEGvideo!$DATA/clip352x288.mpg alias movie" \
    "open sequencer!$DATA/tune.mid alias song " \
    "status song mode" \
    "bogus command" \
    "close all" \
    "where movie source" \
    "open AVIvideo!error alias movie" \
    | "$TOOL" mci 2>/dev/null)
expected=$(printf '%s\n' "0 " "0 0 0 100 80" "0 true" "0 " "0 -42 18 200 80" "289 " "0 " "0 stopped" \
    "261 " "0 " "263 " "275 ")
check mci "$expected" "$out"

"$TOOL" play "$tmp/nothing.wav" 2>/dev/null
check play-missing 1 $?
"$TOOL" play "$DATA/../../../README.md" 2>/dev/null
check play-not-media 1 $?
# Without the synthesiser module (loaded by the first tune) tunes stay silent
# with one message saying why.
err=$(printf '%s\n' "open sequencer!$DATA/tune.mid alias song" "open sequencer!$DATA/tune.mid alias again" \
      | ARDENO_MODULE_DIR="$tmp" "$TOOL" mci 2>&1 >/dev/null)
case "$err" in
    *"MIDI tunes stay silent"*"libardeno_midisynth.so not found"*) ;;
    *) echo "FAIL midi-without-module: $err"; fail=1 ;;
esac
check midi-without-module-told-once 1 "$(grep -c 'stay silent' <<<"$err")"
# frame: the picture shown at a time, as a PNG of the video's natural size.
if command -v identify >/dev/null; then
  "$TOOL" frame "$DATA/raw200x80.avi" 0.5 "$tmp/f.png"
  check frame-status 0 $?
  check frame-size "200x80" "$(identify -format '%wx%h' "$tmp/f.png")"
  "$TOOL" frame "$DATA/clip352x288.mpg" 99 "$tmp/last.png"
  check frame-past-the-end 0 $?
fi
head -c 3000 "$DATA/clip320x240.avi" > "$tmp/cut.avi"
"$TOOL" frame "$tmp/cut.avi" 0 "$tmp/g.png" 2>/dev/null
check frame-damaged 1 $?
"$TOOL" frame "$tmp/none.avi" 0 "$tmp/g.png" 2>/dev/null
check frame-missing 1 $?
"$TOOL" frame "$DATA/raw200x80.avi" soon "$tmp/g.png" 2>/dev/null
check frame-bad-time 2 $?
exit $fail
