#!/usr/bin/env bash
# Installs npm packages that tests use into a folder of the build, at the
# pinned versions given (name@version ...), with Debian's nodejs and npm.
# Idempotent: packages already there at their version are not fetched again.
# Usage: install-npm-packages.sh DIR name@version...
set -euo pipefail
DIR=$1
shift
mkdir -p "$DIR"
missing=()
for spec in "$@"; do
  name=${spec%@*}
  version=${spec##*@}
  installed=$(node -e "try{console.log(require('$DIR/node_modules/$name/package.json').version)}catch(e){}" 2>/dev/null || true)
  [ "$installed" = "$version" ] || missing+=("$spec")
done
[ ${#missing[@]} -eq 0 ] && exit 0
# A lock keeps two test runs from installing into the same folder at once.
exec 9>"$DIR/.install.lock"
flock 9
cd "$DIR"
[ -f package.json ] || echo '{"private": true}' > package.json
npm install --no-audit --no-fund --save-exact --loglevel=error "${missing[@]}"
