#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Renders the hicolor PNG icons from the one design, assets/icons/qurimo.svg, with
# rsvg-convert (Debian package librsvg2-bin). The PNGs are committed, so that a build needs
# no SVG renderer; run this after changing the SVG and commit what it writes. The 32 x 32
# one is also the window's own icon, compiled into the program.
# Usage: scripts/make-icons.sh [OUTPUT_FOLDER]   (defaults to assets/icons)
set -euo pipefail
cd "$(dirname "$0")/.."
output=${1:-assets/icons}
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" --output "$output/qurimo-$size.png" \
        assets/icons/qurimo.svg
done
