#!/bin/sh
# Sets everything up, starts the site simulator and an update server on 127.0.0.1 and opens
# Quenbo pointed at them, so a search works without the internet, the film tab shows the
# simulator's board and the update window shows a demo release. Type a keyword and press 搜索.
# Closing the window stops both servers.
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
# A demo release: one new file, a change log and an announcement.
mkdir -p "$work/release/demo"
echo "Quenbo demo release" >"$work/release/demo/README.txt"
printf 'Demo release\n- the update window lists this file\n' >"$work/changes.txt"
rm -f "$work/update-server.log"
"$dir/tools/update_server/quenbo-update-server" --release "$work/release" \
  --log "$work/changes.txt" --param '####Quenbo demo: this announcement comes from the update server.' \
  >"$work/update-server.log" 2>&1 &
updates=$!
trap 'kill "$simulator" "$updates" 2>/dev/null || true' EXIT INT TERM
i=0
while [ ! -s "$work/simulated.hosts" ]; do
  if ! kill -0 "$simulator" 2>/dev/null || [ $i -ge 100 ]; then
    echo "the site simulator did not start; see $work/simulator.log" >&2
    exit 1
  fi
  sleep 0.1
  i=$((i + 1))
done
i=0
until grep -q '^Update service: ' "$work/update-server.log" 2>/dev/null; do
  if ! kill -0 "$updates" 2>/dev/null || [ $i -ge 100 ]; then
    echo "the update server did not start; see $work/update-server.log" >&2
    exit 1
  fi
  sleep 0.1
  i=$((i + 1))
done
printf '\n[service]\nupdate = %s\n' \
  "$(sed -n 's/^Update service: //p' "$work/update-server.log")" >>"$work/simulated.hosts"
echo "Simulated sites: $work/simulator.log"
echo "Update server: $work/update-server.log"
quenbo="$dir/src/app/quenbo"
"$quenbo" --hosts "$work/simulated.hosts" || true
# An update starts Quenbo again, with the same arguments, about 2 s after it ends: the
# servers stay for as long as such a Quenbo runs.
restarted() {
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/exe" 2>/dev/null)" = "$(readlink -f "$quenbo")" ] &&
      tr '\0' '\n' <"$p/cmdline" 2>/dev/null | grep -qxF "$work/simulated.hosts" && return 0
  done
  return 1
}
sleep 4
while restarted; do sleep 1; done
