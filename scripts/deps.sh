#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12; only what is
# missing. Root installs directly, anyone else through sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-webengine-dev qt6-translations-l10n
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils xdotool dbus dbus-x11 fonts-noto-cjk imagemagick
  strace at-spi2-core python3 python3-gi python3-pyatspi gir1.2-atspi-2.0
  g++-mingw-w64-x86-64-posix googletest wine wine64 locales
  $(cat "$(dirname "$0")/deps-extra.txt" 2>/dev/null || true)
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
