#!/bin/sh
# Measures a whole command-line search: the eleven sites ticked by default, 30 pages each,
# answered by the site simulator with 50 ms of latency per page. The floor is 30 x 50 ms,
# since a site fetches its pages one after another. Prints wall time, CPU time per page and
# the peak resident memory of each run.
# Usage: scripts/measure-search.sh [runs] [latency-ms]
set -eu
cd "$(dirname "$0")/.."
runs=${1:-5}
latency=${2:-50}
pages=30
dir=$(scripts/build.sh default | tail -n 1)
work=$(mktemp -d)
trap 'kill "$simulator" 2>/dev/null || true; rm -rf "$work"' EXIT INT TERM

"$dir/tools/site_simulator/quenbo-site-simulator" --pages $pages --latency "$latency" \
  --hosts-out "$work/sim.hosts" >"$work/simulator.log" 2>&1 &
simulator=$!
i=0
while [ ! -s "$work/sim.hosts" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done

echo "11 sites x $pages pages, ${latency} ms per page; floor $((pages * latency)) ms"
n=1
while [ $n -le "$runs" ]; do
  /usr/bin/time -f "%e %U %S %M" -o "$work/time" \
    "$dir/src/app/quenbo" search "电影" --pages $pages --settings "$work/Clss.ini" \
    --hosts "$work/sim.hosts" >"$work/hits.tsv" 2>"$work/err.log"
  read -r wall user system rss <"$work/time"
  hits=$(wc -l <"$work/hits.tsv")
  awk -v w="$wall" -v u="$user" -v s="$system" -v r="$rss" -v h="$hits" -v p=$((11 * pages)) \
    -v n="$n" 'BEGIN { printf "run %d: %.2f s wall, %.2f ms CPU per page, %.1f MiB peak, %d hits\n",
                       n, w, (u + s) * 1000 / p, r / 1024, h }'
  n=$((n + 1))
done
