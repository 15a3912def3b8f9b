#!/usr/bin/env bash
# Installs the Debian packages this project needs, only those that are missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config clang
  libexpat1-dev libpng-dev zlib1g-dev
  libsdl2-dev libsdl2-mixer-dev libvorbis-dev libogg-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth
  desktop-file-utils libxml2-utils shared-mime-info
  libwxgtk3.2-dev libgtk-3-dev libx11-dev xdotool x11-utils openbox
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
