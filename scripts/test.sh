#!/bin/sh
# Sets everything up on a fresh Debian machine, builds and runs every test.
# Usage: scripts/test.sh [default|asan|tsan] [extra cmake -D options...]
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
flavour=${1:-default}
[ $# -gt 0 ] && shift
dir=$(scripts/build.sh "$flavour" "$@" | tail -n 1)
export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1 second_deadlock_stack=1}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1 halt_on_error=1}"
ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)" --timeout 600
