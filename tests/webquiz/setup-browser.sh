#!/usr/bin/env bash
# Installs the pinned puppeteer-core into the build folder for the browser
# tests (once; later runs find it there). It drives Debian's chromium and
# downloads no browser of its own.
set -euo pipefail
dir="$1"
version="24.43.1"
pkg="$dir/node_modules/puppeteer-core/package.json"
if [ -f "$pkg" ] && grep -q "\"version\": \"$version\"" "$pkg"; then
  exit 0
fi
command -v npm >/dev/null || { echo "npm is missing (install-deps.sh installs it)" >&2; exit 1; }
[ -x /usr/bin/chromium ] || { echo "/usr/bin/chromium is missing (install-deps.sh installs it)" >&2; exit 1; }
mkdir -p "$dir"
cd "$dir"
[ -f package.json ] || echo '{"private": true}' > package.json
PUPPETEER_SKIP_DOWNLOAD=1 npm install --no-audit --no-fund --save-exact "puppeteer-core@$version"
