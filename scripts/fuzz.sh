#!/bin/sh
# Builds the libFuzzer targets with clang (address + undefined instrumentation) and runs each
# one for the given number of seconds on a working copy of its seed corpus, two at a time.
# A crash, sanitizer report or failed check fails the run and leaves its input in fuzz-work/.
# Usage: scripts/fuzz.sh [seconds per target, default 60]
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets="cut unescape json regex"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DQUENBO_FUZZ=ON -DQUENBO_WITH_QT=OFF \
  -DQUENBO_BENCHMARKS=OFF -DBUILD_TESTING=OFF >/dev/null
# shellcheck disable=SC2086
cmake --build build-fuzz --parallel "$(nproc)" --target $(for t in $targets; do printf 'quenbo_%s_fuzz ' "$t"; done)

run() {
  mkdir -p "fuzz-work/$1/corpus"
  cp -n "tools/fuzz/corpus/$1/"* "fuzz-work/$1/corpus/" 2>/dev/null || true
  (cd "fuzz-work/$1" && "../../build-fuzz/tools/fuzz/quenbo_$1_fuzz" corpus \
     -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
     -print_final_stats=1 >log 2>&1) && echo "fuzz $1: clean after $seconds s" ||
    { echo "fuzz $1: FAILED, see fuzz-work/$1/log" >&2; tail -n 40 "fuzz-work/$1/log" >&2; return 1; }
}

status=0
set -- $targets
while [ $# -gt 0 ]; do
  first=$1; shift
  if [ $# -gt 0 ]; then
    second=$1; shift
    run "$first" & a=$!
    run "$second" & b=$!
    wait $a || status=1
    wait $b || status=1
  else
    run "$first" || status=1
  fi
done
exit $status
