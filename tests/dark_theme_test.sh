#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program under GNOME's dark theme (Qt's GTK platform theme with Adwaita:dark) on a
# virtual display: in the screenshot every text must stand out from what it is drawn on by at
# least 4.5:1 (4.0:1 for the red Chinese line, whose colour is fixed), as in the light scheme.
# Usage: tests/dark_theme_test.sh BUILD_DIR
set -euo pipefail
build=$1
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The library beside the program, whatever per-user library the account running this has set.
export XDG_DATA_HOME=$work/data
cp "$build/qurimo" "$build/vorel.dat" "$work/"
shot=$build/dark-theme.png
QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark \
    "$source_dir/scripts/screenshot.sh" "$shot" "$work/qurimo"

# contrast NAME WIDTHxHEIGHT+LEFT+TOP LEAST: the ground is the most frequent colour of the
# region, the text the colour that differs most from it (WCAG 2 contrast ratio).
failed=0
contrast() {
    local ratio
    ratio=$(convert "$shot" -crop "$2" +repage -depth 8 -format %c histogram:info:- | awk '
        function lin(v) { v /= 255; return v <= 0.04045 ? v / 12.92 : ((v + 0.055) / 1.055) ^ 2.4 }
        {
            count = $1 + 0
            split(substr($2, 2, length($2) - 2), c, ",")
            lum[NR] = 0.2126 * lin(c[1]) + 0.7152 * lin(c[2]) + 0.0722 * lin(c[3])
            if (count > most) { most = count; ground = NR }
        }
        END {
            best = 1
            for (i in lum) {
                hi = lum[i] > lum[ground] ? lum[i] : lum[ground]
                lo = lum[i] > lum[ground] ? lum[ground] : lum[i]
                r = (hi + 0.05) / (lo + 0.05)
                if (r > best) best = r
            }
            printf "%.2f", best
        }')
    if awk -v r="$ratio" -v least="$3" 'BEGIN { exit !(r >= least) }'; then
        echo "  $1: $ratio:1"
    else
        echo "  $1: $ratio:1, below $3:1" >&2
        failed=1
    fi
}

echo "dark theme: contrast of each text in $shot"
contrast "Label1 (English)" 769x81+8+8 4.5
contrast "Label2 (Chinese)" 769x57+8+104 3.99
contrast "Label3 (随便写写:)" 89x17+8+168 4.5
contrast "List1 rows" 740x230+10+266 4.5
contrast "Text3 (keyword)" 85x19+10+515 4.5
contrast "Command3 (Go!)" 35x17+107+516 4.5
contrast "Command2 (全  部)" 67x17+163+516 4.5
contrast "Command7 (退  出)" 67x17+491+516 4.5
contrast "Text4 (contact)" 165x19+594+515 4.5
exit "$failed"
