#!/bin/sh
# Configures and builds one flavour: default, asan (address + undefined) or tsan (thread).
# Usage: scripts/build.sh [default|asan|tsan] [extra cmake -D options...]
set -eu
cd "$(dirname "$0")/.."
flavour=${1:-default}
[ $# -gt 0 ] && shift
case "$flavour" in
  default) dir=build;      sanitize="" ;;
  asan)    dir=build-asan; sanitize=address ;;
  tsan)    dir=build-tsan; sanitize=thread ;;
  *) echo "unknown flavour: $flavour (default, asan or tsan)" >&2; exit 2 ;;
esac
cmake -S . -B "$dir" -G Ninja -DQUENBO_SANITIZE="$sanitize" "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
echo "$dir"
