#!/usr/bin/env bash
# Installs the Debian packages ChannelDeck needs to build and run; with --test also those
# of the tests and the benchmark.
# Quick when everything is already there: apt is only called for what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools
  libqt6svg6 libgl-dev
  libvlc-dev libvlc-bin vlc-plugin-base vlc-plugin-video-output libswscale-dev libavutil-dev
  libcurl4-openssl-dev libsqlite3-dev
  xvfb xauth fonts-dejavu-core
  ca-certificates xdg-utils xchm
  fp-utils
)
if [ "${1:-}" = "--test" ]; then
  packages+=(libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev imagemagick libx11-dev libxtst-dev openbox
    clang-format
    desktop-file-utils appstream lintian dpkg-dev file librsvg2-bin)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
echo "Installing: ${missing[*]}"
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
