#!/bin/sh
# Installs every Debian package Quenbo needs to build, test, run and package.
# Safe to run again: apt-get skips what is already there.
set -eu

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

PACKAGES="
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libcurl4-openssl-dev libpcre2-dev nlohmann-json3-dev libssl-dev
  qt6-base-dev qt6-multimedia-dev libqt6svg6
  xvfb xauth fonts-wqy-microhei xdg-utils
  clang libclang-rt-14-dev
  tinyproxy-bin openssl time
  dpkg-dev file lintian desktop-file-utils appstream qt6-translations-l10n
  zlib1g-dev libjpeg-dev
  libcli11-dev
"

# Skip the archive round trip when everything is already installed.
missing=""
for p in $PACKAGES; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -z "$missing" ]; then exit 0; fi

export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
# shellcheck disable=SC2086
$SUDO apt-get install -y --no-install-recommends $PACKAGES
