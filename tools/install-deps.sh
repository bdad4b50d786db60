#!/usr/bin/env bash
# Installs every Debian package the inspector needs to build, run and test.
# Idempotent: does nothing (not even an index update) when all are present.
set -euo pipefail
packages=(
  g++ cmake ninja-build pkg-config
  libgtk2.0-dev libgtkgl2.0-dev libglu1-mesa-dev libgl1-mesa-dri
  libgtest-dev libgmock-dev libbenchmark-dev libassimp-dev
  xvfb xauth xdotool x11-utils imagemagick locales
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
