#!/bin/sh
# Sets everything up, starts the site simulator on 127.0.0.1 and opens Quenbo pointed at it,
# so a search works without the internet, and the film tab shows the simulator's board. Type a
# keyword and press 搜索. Closing the window stops the simulator too.
# Usage: scripts/demo.sh [simulator options...]   (default: --pages 5 --latency 40)
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
dir=$(scripts/build.sh default | tail -n 1)
work="$dir/demo"
mkdir -p "$work"
rm -f "$work/simulated.hosts"
if [ $# -eq 0 ]; then set -- --pages 5 --latency 40; fi
"$dir/tools/site_simulator/quenbo-site-simulator" "$@" --hosts-out "$work/simulated.hosts" \
  >"$work/simulator.log" 2>&1 &
simulator=$!
trap 'kill "$simulator" 2>/dev/null || true' EXIT INT TERM
i=0
while [ ! -s "$work/simulated.hosts" ]; do
  if ! kill -0 "$simulator" 2>/dev/null || [ $i -ge 100 ]; then
    echo "the site simulator did not start; see $work/simulator.log" >&2
    exit 1
  fi
  sleep 0.1
  i=$((i + 1))
done
echo "Simulated sites: $work/simulator.log"
"$dir/src/app/quenbo" --hosts "$work/simulated.hosts"
