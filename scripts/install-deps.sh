#!/usr/bin/env bash
# Installs everything the build, the program, the tests and the tools need on Debian 12.
# Run as root. Safe to run again: apt-get skips what is already there.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
packages=(
  build-essential cmake ninja-build pkg-config git ccache
  clang clang-format libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev libnanoflann-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libpugixml-dev libsimdjson-dev libzip-dev
  qt6-positioning-dev libqt6positioning6-plugins
  gpsd gpsd-clients
  geoclue-2.0 dbus-daemon dbus-bin
  at-spi2-core python3-gi gir1.2-atspi-2.0
  xvfb xauth x11-utils imagemagick xdotool
  xdg-utils
  fonts-ipafont-gothic
  python3 util-linux
  proj-bin
  dpkg-dev desktop-file-utils appstream
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# gpsd's own service is not wanted: tests and tools start their own daemons (GeoClue's too, on
# a bus of their own).
if command -v systemctl >/dev/null 2>&1; then
  systemctl disable --now gpsd.socket gpsd.service >/dev/null 2>&1 || true
fi
