#!/bin/sh
# Sets everything up on a fresh Debian machine, builds and starts Quenbo.
# Arguments are passed on to the program.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
dir=$(scripts/build.sh default | tail -n 1)
exec "$dir/src/app/quenbo" "$@"
