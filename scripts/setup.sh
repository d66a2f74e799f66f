#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what this machine is missing, then configures and builds Qurimo in build/.
# A second run installs nothing and builds only what changed.
# Usage: scripts/setup.sh [extra Debian packages...]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake ninja-build g++ pkg-config
    libicu-dev libopencc-dev qt6-base-dev libx11-dev
    qt6-speech-dev qt6-declarative-dev qt6-speech-flite-plugin qt6-speech-speechd-plugin
    libgtest-dev libbenchmark-dev
    qt6-wayland qt6-gtk-platformtheme qt6-translations-l10n
    fonts-arphic-uming fonts-liberation2 fonts-noto-cjk
    fcitx5-frontend-qt6
    xvfb xauth xdotool x11-utils imagemagick weston
    pulseaudio pulseaudio-utils
    scdoc
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ ! -f build/build.ninja ]; then
    cmake --preset default
fi
cmake --build build
