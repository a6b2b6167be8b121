#!/bin/sh
# Checks a built package: lintian reports no errors, the desktop entry and the AppStream
# metadata validate, and the program unpacked into a temporary root answers --version,
# the commands' --help, a search and the film board against the site simulator, without a
# display.
# Usage: scripts/check-package.sh PACKAGE.deb SIMULATOR
set -eu
deb=$1
simulator=$2
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT INT TERM
pid=""

echo "== lintian"
# Errors fail the check; warnings are shown.
lintian --fail-on error --tag-display-limit 0 "$deb"

dpkg-deb -x "$deb" "$work/root"
echo "== desktop-file-validate"
desktop-file-validate "$work/root/usr/share/applications/quenbo.desktop"
echo "== appstreamcli validate"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/io.github.quenbo.Quenbo.metainfo.xml"

echo "== the sound module"
module=$(find "$work/root/usr/lib" -name quenbo-sound.so)
[ -n "$module" ] || { echo "the package lacks the sound module quenbo-sound.so" >&2; exit 1; }
echo "${module#"$work/root"}"

echo "== the unpacked program"
quenbo="$work/root/usr/bin/quenbo"
export XDG_CONFIG_HOME="$work/config"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM || true
"$quenbo" --version
"$quenbo" search --help >/dev/null
"$quenbo" board --help >/dev/null
"$quenbo" check-sites --help >/dev/null
"$quenbo" update --help >/dev/null
status=0
"$quenbo" >/dev/null 2>&1 || status=$?
[ "$status" -eq 1 ] || { echo "without a display quenbo must exit 1, not $status" >&2; exit 1; }

"$simulator" --pages 2 --hosts-out "$work/sim.hosts" >"$work/simulator.log" 2>&1 &
pid=$!
i=0
while [ ! -s "$work/sim.hosts" ]; do
  [ $i -lt 100 ] || { cat "$work/simulator.log" >&2; exit 1; }
  sleep 0.1
  i=$((i + 1))
done
"$quenbo" search "电影" --pages=2 --hosts "$work/sim.hosts" >"$work/hits.tsv"
hits=$(wc -l <"$work/hits.tsv")
sites=$(cut -f3 "$work/hits.tsv" | sort -u | wc -l)
echo "search from the unpacked tree: $hits hits from $sites sites"
{ [ "$hits" -gt 0 ] && [ "$sites" -eq 11 ]; } || { echo "the search found too little" >&2; exit 1; }
checked=$("$quenbo" check-sites --hosts "$work/sim.hosts" | cut -f3 | grep -c '^ok$')
echo "site check from the unpacked tree: $checked sites ok"
[ "$checked" -eq 26 ] || { echo "every simulated site must check ok" >&2; exit 1; }
films=$("$quenbo" board --hosts "$work/sim.hosts" | wc -l)
echo "film board from the unpacked tree: $films films"
[ "$films" -eq 10 ] || { echo "the film board must list 10 films" >&2; exit 1; }
