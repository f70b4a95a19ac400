#!/usr/bin/env bash
# Installs the pinned npm packages of the browser tests into the build
# folder (once; later runs find them there): puppeteer-core, which drives
# Debian's chromium and downloads no browser of its own, and scorm-again,
# the learning platform's runtime the package tests run under, and
# axe-core, the accessibility checker the page is run through.
set -euo pipefail
[ -x /usr/bin/chromium ] || { echo "/usr/bin/chromium is missing (install-deps.sh installs it)" >&2; exit 1; }
command -v npm >/dev/null || { echo "npm is missing (install-deps.sh installs it)" >&2; exit 1; }
PUPPETEER_SKIP_DOWNLOAD=1 exec bash "$(dirname "$0")/../../scripts/install-npm-packages.sh" "$1" \
  puppeteer-core@24.43.1 scorm-again@3.4.3 axe-core@4.14.1
