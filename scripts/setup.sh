#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the demo and the benchmarks need.
# Idempotent: packages already there are left alone, so a second run costs only a dpkg query.
set -euo pipefail
packages=(
  g++ cmake ninja-build pkg-config curl
  libcurl4-openssl-dev libjsoncpp-dev libsdl2-dev libx11-dev libxext-dev libfreetype-dev libfontconfig-dev
  libsqlite3-dev libcpp-httplib-dev libssl-dev libpng-dev libstb-dev
  libgtest-dev libgmock-dev libbenchmark-dev libclang-rt-14-dev
  xvfb xdotool x11-utils imagemagick fonts-wqy-microhei time
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
