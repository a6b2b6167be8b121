#!/bin/sh
# Measures whole command-line searches: the eleven sites ticked by default, 30 pages each,
# answered by the site simulator with LATENCY ms of server time per page and a network round
# trip of RTT ms (one per new connection, one or two per TLS handshake, one per request).
# Each run searches twice, keeping one connection per site (the default) and with
# --new-connections, and prints wall time against two floors, CPU time per page and peak
# memory side by side:
#   reuse floor:  one https set-up (TCP + full TLS, 3 RTT), then 30 x (RTT + LATENCY), plus
#                 the 10 ms pause between the launches of the 11 sites;
#   new-connection floor: 30 x (3 RTT + LATENCY), a new connection with a resumed TLS session per page.
# Then one search that waits 5 s on a silent site, for the CPU time of waiting.
# Usage: scripts/measure-search.sh [runs] [latency-ms] [rtt-ms]
set -eu
cd "$(dirname "$0")/.."
runs=${1:-5}
latency=${2:-20}
rtt=${3:-40}
pages=30
sites=11
dir=${QUENBO_BUILD:-$(scripts/build.sh default | tail -n 1)}
work=$(mktemp -d)
simulator=
silent=
trap 'kill $simulator $silent 2>/dev/null || true; rm -rf "$work"' EXIT INT TERM

start_simulator() {  # hosts-file simulator-options...
  hosts=$1
  shift
  "$dir/tools/site_simulator/quenbo-site-simulator" "$@" --hosts-out "$hosts" \
    >"$hosts.log" 2>&1 &
  i=0
  while [ ! -s "$hosts" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
}

start_simulator "$work/sim.hosts" --pages $pages --latency "$latency" --rtt "$rtt"
simulator=$!

reuse_floor=$((3 * rtt + pages * (rtt + latency) + sites * 10))
newconn_floor=$((pages * (3 * rtt + latency)))
echo "$sites sites x $pages pages, latency $latency ms, round trip $rtt ms"
echo "reuse floor $reuse_floor ms, new-connection floor $newconn_floor ms"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-4s %-12s %8s %12s %13s %12s %9s %6s\n' run connections "wall s" "/reuse floor" \
  "/new-conn floor" "CPU ms/page" "peak MiB" hits

# Runs a command with its output to $work/out and $work/err.log; writes "wall user system
# peak-KiB" (seconds, microsecond precision, as the kernel counts them) to $work/time.
timed() {
  python3 - "$work" "$@" <<'PY'
import os, subprocess, sys, time
work = sys.argv[1]
with open(os.path.join(work, "out"), "wb") as out, open(os.path.join(work, "err.log"), "wb") as err:
    start = time.monotonic()
    child = subprocess.Popen(sys.argv[2:], stdout=out, stderr=err)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.monotonic() - start
with open(os.path.join(work, "time"), "w") as result:
    result.write("%.3f %.6f %.6f %d\n" % (wall, usage.ru_utime, usage.ru_stime, usage.ru_maxrss))
PY
}

# One search; prints its row and appends "mode wall" to $work/walls.
measure() {  # run-number mode option...
  n=$1
  mode=$2
  shift 2
  timed "$dir/src/app/quenbo" search "电影" --pages $pages --settings "$work/Clss.ini" \
    --hosts "$work/sim.hosts" "$@"
  mv "$work/out" "$work/hits-$mode.tsv"
  read -r wall user system rss <"$work/time"
  hits=$(wc -l <"$work/hits-$mode.tsv")
  echo "$mode $wall" >>"$work/walls"
  awk -v n="$n" -v m="$mode" -v w="$wall" -v u="$user" -v s="$system" -v r="$rss" -v h="$hits" \
    -v p=$((sites * pages)) -v rf="$reuse_floor" -v df="$newconn_floor" \
    'BEGIN { printf "%-4d %-12s %8.2f %11.2fx %12.2fx %12.2f %9.1f %6d\n",
             n, m, w, w * 1000 / rf, w * 1000 / df, (u + s) * 1000 / p, r / 1024, h }'
}

n=1
while [ "$n" -le "$runs" ]; do
  measure "$n" kept
  measure "$n" new --new-connections
  # The same resources, whichever site listed a shared one first.
  cut -f2 "$work/hits-new.tsv" | sort >"$work/magnets-new"
  if ! cut -f2 "$work/hits-kept.tsv" | sort | cmp -s - "$work/magnets-new"; then
    echo "run $n: kept and new connections listed other resources" >&2
  fi
  n=$((n + 1))
done
# Medians of the runs, and how many times faster keeping the connection is.
awk '{ walls[$1] = walls[$1] " " $2 }
     function median(list,   a, k, i, j, t) {
       k = split(list, a, " ")
       for (i = 1; i <= k; i++) for (j = i + 1; j <= k; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
       return k % 2 ? a[(k + 1) / 2] : (a[k / 2] + a[k / 2 + 1]) / 2
     }
     END { kept = median(walls["kept"]); fresh = median(walls["new"])
           printf "median wall: kept %.2f s, new %.2f s; kept is %.2fx faster\n", kept, fresh, fresh / kept }' \
  "$work/walls"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

# A site that takes 5 s to answer its only page: the CPU time the whole search uses while
# it waits (start-up included), once per run, and the median. On a shared virtual machine
# these few milliseconds vary from run to run by more than the waiting itself costs.
start_simulator "$work/silent.hosts" --pages 1 --latency 5000 --rtt 0
silent=$!
n=1
: >"$work/silent-cpu"
while [ "$n" -le "$runs" ]; do
  rm -f "$work/Clss-silent.ini"
  timed "$dir/src/app/quenbo" search "电影" --pages 1 --timeout 10 --sites Btdad \
    --settings "$work/Clss-silent.ini" --hosts "$work/silent.hosts"
  read -r wall user system rss <"$work/time"
  awk -v u="$user" -v s="$system" 'BEGIN { printf "%.1f\n", (u + s) * 1000 }' >>"$work/silent-cpu"
  n=$((n + 1))
done
sort -n "$work/silent-cpu" | awk -v w="$wall" '{ cpu[NR] = $1 }
  END { printf "one silent site: %.2f s wall; CPU %.1f ms median, %.1f to %.1f ms over %d runs\n",
        w, NR % 2 ? cpu[(NR + 1) / 2] : (cpu[NR / 2] + cpu[NR / 2 + 1]) / 2, cpu[1], cpu[NR], NR }'
