#!/usr/bin/env bash
# `make package` runs CPack in the build folder; build the .deb into a scratch
# folder, read its control data and contents, and install and remove it in a
# scratch root with dpkg.
set -euo pipefail
BUILD=$1
for tool in cpack dpkg-deb dpkg; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool not installed"; exit 77; }
done
[ -f "$BUILD/CPackConfig.cmake" ] || { echo "FAIL: no CPackConfig.cmake"; exit 1; }
TMP=$(mktemp -d /tmp/ardeno-package.XXXXXX)
trap 'rm -rf "$TMP"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# `make package` = CPack with this build's configuration. CPack would first
# run the build again and then install it; here the install is staged as
# `make install DESTDIR=` does (stripped, as the package wants it) and CPack
# packs that tree, so the test does not rebuild anything.
DESTDIR="$TMP/stage" cmake --install "$BUILD" --prefix /usr --strip >"$TMP/install.log" 2>&1 \
  || { cat "$TMP/install.log"; fail "cmake --install"; }
cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$TMP/pkg" \
      -D CPACK_INSTALL_CMAKE_PROJECTS= -D "CPACK_INSTALLED_DIRECTORIES=$TMP/stage;." \
      >"$TMP/cpack.log" 2>&1 || { cat "$TMP/cpack.log"; fail "cpack"; }
DEB=$(ls "$TMP"/pkg/ardeno-creator_1.0_*.deb 2>/dev/null | head -1)
[ -n "$DEB" ] || { ls "$TMP/pkg"; fail "no ardeno-creator_1.0_*.deb"; }
echo "built $(basename "$DEB") ($(du -k "$DEB" | cut -f1) KiB)"

field() { dpkg-deb -f "$DEB" "$1"; }
[ "$(field Package)" = ardeno-creator ] || fail "Package: $(field Package)"
[ "$(field Version)" = 1.0 ] || fail "Version: $(field Version)"
[ "$(field Section)" = education ] || fail "Section: $(field Section)"
DEPENDS=$(field Depends)
echo "Depends: $DEPENDS"
for pkg in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6multimedia6 \
           libqt6svg6 qt6-qpa-plugins qt6-image-formats-plugins timgm6mb-soundfont \
           libfluidsynth3 libwmf-0.2-7 libavcodec59 libavformat59; do
  grep -Eq "(^|, )$pkg( |,|$)" <<<"$DEPENDS" || fail "Depends lacks $pkg"
done
# Every dependency names a real Debian package (all are installed here).
for dep in $(tr ',|' '\n\n' <<<"$DEPENDS" | sed 's/(.*)//; s/ //g'); do
  dpkg-query -W -f='${Status}\n' "$dep" 2>/dev/null | grep -q 'install ok installed' \
    || fail "dependency $dep is not a known package"
done

dpkg-deb -c "$DEB" | awk '{print $6}' > "$TMP/contents"
for f in ./usr/bin/ardeno-creator ./usr/bin/ardeno-tool \
         ./usr/share/applications/ardeno-creator.desktop \
         ./usr/share/mime/packages/ardeno-creator.xml \
         ./usr/share/icons/hicolor/scalable/apps/ardeno-creator.svg \
         ./usr/share/icons/hicolor/48x48/apps/ardeno-creator.png \
         ./usr/share/man/man1/ardeno-creator.1.gz ./usr/share/man/man1/ardeno-tool.1.gz \
         ./usr/share/doc/ardeno-creator/html/index.html ./usr/share/doc/ardeno-creator/copyright \
         ./usr/lib/ardeno-creator/libardeno_encoders.so ./usr/lib/ardeno-creator/libardeno_midisynth.so \
         ./usr/lib/ardeno-creator/libardeno_mediadecode.so ./usr/lib/ardeno-creator/libardeno_soundout.so \
         ./usr/lib/ardeno-creator/libardeno_webcodec.so ./usr/lib/ardeno-creator/libardeno_charts.so \
         ./usr/lib/ardeno-creator/libardeno_wmf.so ./usr/lib/ardeno-creator/libardeno_qrcode.so \
         ./usr/lib/ardeno-creator/libardeno_httpserver.so ./usr/lib/ardeno-creator/libardeno_sheetscan.so; do
  grep -qx "$f" "$TMP/contents" || fail "package lacks $f"
done
! grep -q '^./usr/local/\|/mime/mime.cache$\|/icon-theme.cache$' "$TMP/contents" \
  || fail "package holds files outside /usr or generated caches"

# Install into a scratch root (dependencies are not there: forced), look, remove.
ROOT="$TMP/sysroot"
mkdir -p "$ROOT/var/lib/dpkg/info" "$ROOT/var/lib/dpkg/updates" "$ROOT/var/lib/dpkg/triggers"
touch "$ROOT/var/lib/dpkg/status" "$ROOT/var/lib/dpkg/available"
export PATH="$PATH:/usr/sbin:/sbin"
DPKG=(dpkg --root="$ROOT" --log=/dev/null --force-depends --force-not-root --force-script-chrootless)
"${DPKG[@]}" -i "$DEB" >"$TMP/dpkg.log" 2>&1 || { cat "$TMP/dpkg.log"; fail "dpkg -i"; }
dpkg --root="$ROOT" -s ardeno-creator | grep -qx 'Status: install ok installed' || fail "not installed"
[ -x "$ROOT/usr/bin/ardeno-creator" ] || fail "no /usr/bin/ardeno-creator in the scratch root"
file_count=$(dpkg --root="$ROOT" -L ardeno-creator | wc -l)
"${DPKG[@]}" -r ardeno-creator >>"$TMP/dpkg.log" 2>&1 || { cat "$TMP/dpkg.log"; fail "dpkg -r"; }
[ ! -e "$ROOT/usr/bin/ardeno-creator" ] || fail "dpkg -r left the program"
# Debian's own package checker, where installed: no errors allowed.
if command -v lintian >/dev/null; then
  lintian --tag-display-limit 0 "$DEB" >"$TMP/lintian.log" 2>&1 || true
  grep -q '^E: ' "$TMP/lintian.log" && { cat "$TMP/lintian.log"; fail "lintian errors"; }
  grep '^[WE]: ' "$TMP/lintian.log" || true
fi
echo "PASS: package installs ($file_count paths) and removes cleanly"
