#!/usr/bin/env bash
# Installs every Debian package that building, running and testing the
# program needs. Idempotent: when all packages are present it returns at once.
set -euo pipefail

PACKAGES=(
  # build
  build-essential cmake pkg-config git
  qt6-base-dev qt6-multimedia-dev qt6-svg-dev qt6-charts-dev
  libqt6svgwidgets6 libqt6opengl6-dev
  libfluidsynth-dev libwmf-dev libwmf-bin
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev
  libgtest-dev googletest
  clang libclang-rt-14-dev
  # runtime: media
  qt6-qpa-plugins qt6-image-formats-plugins
  fluidsynth timgm6mb-soundfont
  fonts-liberation fonts-dejavu-core
  # names in any script on printed sheets (Chinese, Japanese, Korean)
  fonts-wqy-microhei
  # tests and tools
  ffmpeg sox xvfb xauth x11-utils xdotool imagemagick pulseaudio pulseaudio-utils
  cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils
  desktop-file-utils shared-mime-info dpkg-dev fakeroot lintian python3
  # tests: third-party readers of the question files we write
  nodejs libxml2-utils
  # the web quiz: its codecs, and the browser its tests run in (puppeteer-core
  # from npm drives Debian's chromium)
  libavformat-dev libswresample-dev chromium
  # the live class: its HTTP server, the QR code of its address, and the
  # tests' QR reader
  libmicrohttpd-dev libqrencode-dev zlib1g-dev zbar-tools
  # the paper class: the pages of a scanned PDF, the image work on a sheet
  # (only OpenCV's core and image processing), its QR code; the tests make
  # scans into PDFs
  libpoppler-qt6-dev libopencv-core-dev libopencv-imgproc-dev libzxing-dev img2pdf
)
# npm installs the tests' JavaScript packages into the build folder. Debian's
# package, unless the installed nodejs already brings an npm of its own (a
# nodejs from elsewhere conflicts with Debian's npm).
command -v npm >/dev/null 2>&1 || PACKAGES+=(npm)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
