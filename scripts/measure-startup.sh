#!/bin/sh
# Measures the GUI's start-up: process start to main window shown, over several runs.
# Usage: scripts/measure-startup.sh [runs]   (builds first; uses Xvfb when there is no display)
set -eu
cd "$(dirname "$0")/.."
dir=$(scripts/build.sh default | tail -n 1)
timer="$dir/tools/startup_timer/quenbo_startup_timer"
if [ -n "${DISPLAY:-}" ]; then
  exec "$timer" "$dir/src/app/quenbo" "${1:-10}"
fi
exec xvfb-run -a -s "-screen 0 1400x1000x24" "$timer" "$dir/src/app/quenbo" "${1:-10}"
