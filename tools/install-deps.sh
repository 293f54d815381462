#!/usr/bin/env bash
# Installs the Debian packages the show needs to build, run and be tested,
# and only those that are missing. Needs root (or sudo) when something is.
set -euo pipefail

PACKAGES=(
  build-essential cmake ccache pkg-config python3 clang libclang-rt-14-dev
  libopenscenegraph-dev libsdl1.2-dev libode-dev libcal3d12-dev
  libmpg123-dev libmp3lame-dev libfreetype-dev libgl1-mesa-dri libglu1-mesa-dev
  libegl-dev libegl-mesa0 ffmpeg
  libgtest-dev fonts-liberation fonts-dejavu-core fonts-dejavu-extra
  xvfb xauth xdotool x11-apps imagemagick
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
