#!/usr/bin/env bash
# Installs what building and testing Tidewell needs on Debian 12. Safe to run again:
# packages already present are skipped, and apt is only asked when something is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    googletest libgtest-dev libgmock-dev
    wine wine64 xvfb xauth x11-utils imagemagick
    fonts-nanum fonts-noto-cjk
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi
