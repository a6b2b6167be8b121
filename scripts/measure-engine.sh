#!/bin/sh
# Measures what the search engine costs on its own, with no network wait: the CPU time of a
# command-line search of 3 simulated sites x 30 pages (answered at once), and the start of
# "quenbo search --help". Prints the median and range over RUNS runs of each.
# Usage: scripts/measure-engine.sh [runs]   (QUENBO_BUILD names the build directory)
set -eu
cd "$(dirname "$0")/.."
runs=${1:-15}
dir=${QUENBO_BUILD:-$(scripts/build.sh default | tail -n 1)}
work=$(mktemp -d)
simulator=
trap 'kill $simulator 2>/dev/null || true; rm -rf "$work"' EXIT INT TERM

"$dir/tools/site_simulator/quenbo-site-simulator" --pages 30 --hosts-out "$work/sim.hosts" \
  >"$work/sim.log" 2>&1 &
simulator=$!
i=0
while [ ! -s "$work/sim.hosts" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done

python3 - "$dir/src/app/quenbo" "$work" "$runs" <<'PY'
import os, statistics, subprocess, sys
quenbo, work, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])

def cpu_ms(arguments):
    with open(os.devnull, "wb") as null:
        child = subprocess.Popen([quenbo] + arguments, stdout=null, stderr=null)
        _, status, usage = os.wait4(child.pid, 0)
    if status != 0:
        sys.exit("quenbo %s failed with %d" % (" ".join(arguments), status))
    return (usage.ru_utime + usage.ru_stime) * 1000

def report(name, arguments):
    cpu_ms(arguments)  # warms the page cache
    samples = [cpu_ms(arguments) for _ in range(runs)]
    print("%-40s median %7.1f ms CPU   range %.1f-%.1f ms   (%d runs)"
          % (name, statistics.median(samples), min(samples), max(samples), runs))

search = ["search", "Alpha", "--sites=Btsow,Renz,Sobt", "--pages=30",
          "--hosts=" + os.path.join(work, "sim.hosts"),
          "--settings=" + os.path.join(work, "Clss.ini")]
report("search, 3 sites x 30 pages", search)
report("search --help", ["search", "--help"])
PY
