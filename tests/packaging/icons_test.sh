#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The committed hicolor PNGs are the one design: each is as large as its name says and looks
# like what scripts/make-icons.sh renders from the SVG now (within a little anti-aliasing, as
# renderer versions differ), so an SVG changed without remaking the PNGs is caught.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$source_dir/scripts/make-icons.sh" "$work"
failed=0
for rendered in "$work"/qurimo-*.png; do
    name=$(basename "$rendered")
    size=${name#qurimo-}
    size=${size%.png}
    committed=$source_dir/assets/icons/$name
    if [ "$(identify -format '%wx%h' "$committed")" != "${size}x$size" ]; then
        echo "$name is $(identify -format '%wx%h' "$committed"), not ${size}x$size" >&2
        failed=1
    elif ! differ=$(compare -metric AE -fuzz 10% "$committed" "$rendered" null: 2>&1); then
        echo "$name differs from the SVG rendered now in $differ pixels:" \
            "run scripts/make-icons.sh" >&2
        failed=1
    fi
done
test "$failed" -eq 0
echo "icons: $(ls "$work" | wc -l) PNGs match the SVG"
