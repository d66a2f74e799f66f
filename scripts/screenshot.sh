#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Starts a Qurimo program on a virtual display (Xvfb), waits for its window, saves a
# screenshot of that window to OUTPUT, then presses "退  出" and checks that the program ends
# with exit code 0.
# Usage: scripts/screenshot.sh OUTPUT [PROGRAM]   (PROGRAM defaults to build/qurimo)
set -euo pipefail
if [ -z "${QURIMO_ON_XVFB:-}" ]; then
    export QURIMO_ON_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
    trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi

output=$1
program=${2:-"$(dirname "$0")/../build/qurimo"}

"$program" &
pid=$!
# The window is mapped once xdotool finds it by its caption.
if ! window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Qurimo V1\.36$' | head -n 1); then
    echo "no window captioned 'Qurimo V1.36' appeared" >&2
    kill "$pid" 2>/dev/null || true
    exit 1
fi
xwininfo -id "$window" | grep -q 'Map State: IsViewable'
sleep 0.5 # let the first frame be painted before the picture is taken
import -window "$window" "$output"

eval "$(xdotool getwindowgeometry --shell "$window")"
if [ "$WIDTH" != 790 ] || [ "$HEIGHT" != 541 ]; then
    echo "the window found is ${WIDTH}x${HEIGHT}, not the 790x541 main window (an error report?)" >&2
    kill "$pid" 2>/dev/null || true
    exit 1
fi

# Press "退  出" (Command7: 488, 512, 73 x 25 pixels inside the client area) with the mouse.
xdotool mousemove $((X + 488 + 36)) $((Y + 512 + 12)) click 1
status=0
timeout 10 tail --pid="$pid" -f /dev/null || status=$?
if [ "$status" -ne 0 ]; then
    echo "the program did not end after 退  出 was pressed" >&2
    kill "$pid" 2>/dev/null || true
    exit 1
fi
wait "$pid"
