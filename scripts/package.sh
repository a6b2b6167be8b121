#!/bin/sh
# Builds the Release configuration (no tests, no benchmarks) and makes the Debian package
# from it with CPack. With --check, checks it as CI does (scripts/check-package.sh).
# Usage: scripts/package.sh [--check]      prints the package's path last
set -eu
cd "$(dirname "$0")/.."
scripts/build.sh release >&2
dir=build-release
rm -f "$dir"/quenbo_*.deb
(cd "$dir" && cpack -G DEB >cpack.log 2>&1) || { cat "$dir/cpack.log" >&2; exit 1; }
deb=$(ls "$dir"/quenbo_*.deb)
if [ "${1:-}" = --check ]; then
  scripts/check-package.sh "$deb" "$dir/tools/site_simulator/quenbo-site-simulator"
fi
echo "$deb"
