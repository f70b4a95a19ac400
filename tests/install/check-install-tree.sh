#!/usr/bin/env bash
# `make install DESTDIR=...` runs `cmake --install` with DESTDIR set; do the
# same into a scratch folder and look at the tree as a desktop would.
set -euo pipefail
BUILD=$1
for tool in desktop-file-validate update-mime-database; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool not installed"; exit 77; }
done
TMP=$(mktemp -d /tmp/ardeno-install.XXXXXX)
trap 'rm -rf "$TMP"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

DESTDIR="$TMP/root" cmake --install "$BUILD" --prefix /usr >"$TMP/install.log" 2>&1 \
  || { cat "$TMP/install.log"; fail "cmake --install"; }
R="$TMP/root/usr"

# Everything a desktop program brings along.
for f in bin/ardeno-creator bin/ardeno-tool \
         share/applications/ardeno-creator.desktop \
         share/mime/packages/ardeno-creator.xml \
         share/icons/hicolor/scalable/apps/ardeno-creator.svg \
         share/icons/hicolor/scalable/mimetypes/application-x-ardeno-test.svg \
         share/man/man1/ardeno-creator.1.gz share/man/man1/ardeno-tool.1.gz \
         share/doc/ardeno-creator/html/index.html share/doc/ardeno-creator/html/help.css; do
  [ -e "$R/$f" ] || fail "not installed: $f"
done
for size in 16 22 24 32 48 64 128 256; do
  png="$R/share/icons/hicolor/${size}x${size}/apps/ardeno-creator.png"
  [ -s "$png" ] || fail "no ${size}px icon"
  # the PNG header holds the width and height at bytes 16..23
  dims=$(od -An -tx1 -j16 -N8 "$png" | tr -d ' \n')
  [ "$dims" = "$(printf '%08x%08x' "$size" "$size")" ] || fail "${size}px icon has size $dims"
done
[ -x "$R/bin/ardeno-creator" ] && [ -x "$R/bin/ardeno-tool" ] || fail "programs not executable"
# The modules loaded on first use sit in lib/ardeno-creator/, where the
# installed programs look for them: an MJPEG video needs the encoder module.
for m in libardeno_encoders.so libardeno_midisynth.so libardeno_mediadecode.so libardeno_soundout.so libardeno_webcodec.so \
         libardeno_charts.so libardeno_wmf.so libardeno_qrcode.so libardeno_httpserver.so libardeno_sheetscan.so; do
  [ -f "$R/lib/ardeno-creator/$m" ] || fail "not installed: lib/ardeno-creator/$m"
done
python3 -c 'import struct,sys; w,h=16,8; px=bytes([0,0,255])*w*h
sys.stdout.buffer.write(b"BM"+struct.pack("<IHHI",54+len(px),0,0,54)
  +struct.pack("<IiiHHIIiiII",40,w,h,1,24,0,len(px),0,0,0,0)+px)' > "$TMP/red.bmp"
QT_QPA_PLATFORM=offscreen "$R/bin/ardeno-tool" avi "$TMP/red.avi" --fps 5 --codec mjpeg "$TMP/red.bmp" \
  >"$TMP/avi.log" 2>&1 || { cat "$TMP/avi.log"; fail "installed ardeno-tool cannot write MJPEG"; }
grep -q MJPG "$TMP/red.avi" || fail "installed ardeno-tool wrote no MJPEG stream"
# Nothing was refreshed in a staged install: that is the package manager's job.
[ ! -e "$R/share/mime/mime.cache" ] || fail "mime cache written into a staged install"

# The menu entry.
desktop-file-validate "$R/share/applications/ardeno-creator.desktop" || fail "desktop-file-validate"
grep -qx 'Name=Ardeno Test Creator' "$R/share/applications/ardeno-creator.desktop" || fail "Name"
grep -qx 'MimeType=application/x-ardeno-test;' "$R/share/applications/ardeno-creator.desktop" || fail "MimeType"
grep -qx 'Categories=Education;' "$R/share/applications/ardeno-creator.desktop" || fail "Categories"
grep -q '^Exec=ardeno-creator %f$' "$R/share/applications/ardeno-creator.desktop" || fail "Exec"

# The manual pages are well-formed.
if command -v man >/dev/null; then
  for page in ardeno-creator ardeno-tool; do
    out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$R/share/man/man1/$page.1.gz" 2>&1 >/dev/null) || true
    [ -z "$out" ] || fail "man $page: $out"
  done
fi

# The file type: build the mime database of the installed tree and ask it.
update-mime-database "$R/share/mime" || fail "update-mime-database"
grep -q '^[0-9]*:application/x-ardeno-test:\*\.ard$' "$R/share/mime/globs2" || fail "no *.ard glob"
grep -q 'application/x-ardeno-test' "$R/share/mime/types" || fail "type not registered"
printf '\x5e\x76\x6e\x7f\xb4\x53\x0d\x0a\x0d\x0a' > "$TMP/Week 3 quiz.ard"
if command -v gio >/dev/null; then
  type=$(XDG_DATA_HOME="$TMP/nohome" XDG_DATA_DIRS="$R/share" \
         gio info -a standard::content-type "$TMP/Week 3 quiz.ard" | sed -n 's/^ *standard::content-type: //p')
  [ "$type" = "application/x-ardeno-test" ] || fail "sample .ard is '$type'"
  echo "sample .ard: $type"
fi
echo "PASS: install tree"
