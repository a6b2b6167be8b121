#!/bin/sh
# Configures and builds one flavour: default, release, asan (address + undefined) or tsan
# (thread). Every flavour treats warnings as errors. The developer flavours build the tests
# and benchmarks; release is what a package holds (no tests, no benchmarks).
# Usage: scripts/build.sh [default|release|asan|tsan] [extra cmake -D options...]
set -eu
cd "$(dirname "$0")/.."
flavour=${1:-default}
[ $# -gt 0 ] && shift
developer="-DBUILD_TESTING=ON -DQUENBO_BENCHMARKS=ON"
case "$flavour" in
  default) dir=build;         sanitize="";      type=RelWithDebInfo ;;
  release) dir=build-release; sanitize="";      type=Release; developer="-DBUILD_TESTING=OFF -DQUENBO_BENCHMARKS=OFF" ;;
  asan)    dir=build-asan;    sanitize=address; type=RelWithDebInfo ;;
  tsan)    dir=build-tsan;    sanitize=thread;  type=RelWithDebInfo ;;
  *) echo "unknown flavour: $flavour (default, release, asan or tsan)" >&2; exit 2 ;;
esac
# shellcheck disable=SC2086
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DQUENBO_SANITIZE="$sanitize" \
  -DQUENBO_WERROR=ON $developer "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
echo "$dir"
