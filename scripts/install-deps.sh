#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need, only when missing.
# Further package names given as arguments are installed the same way.
set -euo pipefail
pkgs=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libqt6serialport6-dev
      libgl-dev xvfb xauth man-db desktop-file-utils appstream "$@")
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
