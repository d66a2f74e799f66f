#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program under GNOME's dark theme (Qt's GTK platform theme with Adwaita:dark) on a
# virtual display: in the screenshot every text must stand out from what it is drawn on by at
# least 4.5:1 (4.0:1 for the red Chinese line, whose colour is fixed), as in the light scheme.
# Usage: tests/ui/dark_theme_test.sh BUILD_DIR
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=../preamble.sh
. "$(dirname "$0")/../preamble.sh"
cp "$build/qurimo" "$build/vorel.dat" "$work/"
shot=$build/dark-theme.png
QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark \
    "$source_dir/scripts/screenshot.sh" "$shot" "$work/qurimo"

# contrast CONTROL LEAST [FRAME [RIGHT]]: within the control's rectangle less FRAME pixels
# on each side (RIGHT on the right, where a list has its scroll bar), the ground is the most
# frequent colour, the text the colour that differs most from it (WCAG 2 contrast ratio).
failed=0
contrast() {
    local ratio left top width height name=QURIMO_$1 frame=${3:-0} right=${4:-${3:-0}}
    read -r left top width height <<<"${!name}"
    local crop=$((width - frame - right))x$((height - 2 * frame))+$((left + frame))+$((top + frame))
    ratio=$(convert "$shot" -crop "$crop" +repage -depth 8 -format %c histogram:info:- | awk '
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
    if awk -v r="$ratio" -v least="$2" 'BEGIN { exit !(r >= least) }'; then
        echo "  $1: $ratio:1"
    else
        echo "  $1: $ratio:1, below $2:1" >&2
        failed=1
    fi
}

echo "dark theme: contrast of each text in $shot"
contrast Label1 4.5         # the English
contrast Label2 3.99        # the Chinese
contrast Label3 4.5         # 随便写写:
contrast List1 4.5 3 34     # the rows
contrast Text3 4.5 3        # the keyword
contrast Command3 4.5 4     # Go!
contrast Command2 4.5 4     # 全  部
contrast Command7 4.5 4     # 退  出
contrast Text4 4.5 3        # the project page
exit "$failed"
