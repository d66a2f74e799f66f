#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Starts a Qurimo program on a virtual display (Xvfb), waits for its window, saves a
# screenshot of that window to OUTPUT, then presses "退  出" and checks that the program ends
# with exit code 0.
# Usage: scripts/screenshot.sh OUTPUT [PROGRAM]   (PROGRAM defaults to build/qurimo)
# The caption and geometry come from the build folder QURIMO_BUILD (default build/).
set -euo pipefail
# shellcheck source=/dev/null
. "${QURIMO_BUILD:-$(dirname "$0")/../build}/window.sh"
if [ -z "${QURIMO_ON_XVFB:-}" ]; then
    export QURIMO_ON_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR=$work
fi

output=$1
program=${2:-"$(dirname "$0")/../build/qurimo"}

"$program" &
pid=$!
# The pointer stays off the window, so that no control is drawn hovered.
xdotool mousemove 0 0
# The window is mapped once xdotool finds it by its caption.
if ! window=$(timeout 30 xdotool search --sync --onlyvisible --name "$QURIMO_CAPTION_PATTERN" |
    head -n 1); then
    echo "no window captioned '$QURIMO_CAPTION' appeared" >&2
    kill "$pid" 2>/dev/null || true
    exit 1
fi
xwininfo -id "$window" | grep -q 'Map State: IsViewable'
eval "$(xdotool getwindowgeometry --shell "$window")"
if [ "$WIDTH" != "$QURIMO_WIDTH" ] || [ "$HEIGHT" != "$QURIMO_HEIGHT" ]; then
    echo "the window found is ${WIDTH}x${HEIGHT}, not the ${QURIMO_WIDTH}x${QURIMO_HEIGHT}" \
        "main window (an error report?)" >&2
    kill "$pid" 2>/dev/null || true
    exit 1
fi

# Painted once two pictures in a row are the same and not of one colour.
previous=$work/previous.png
painted=
for _ in $(seq 100); do
    import -window "$window" "$output"
    if [ "$(convert "$output" -format %k info:)" -gt 1 ] &&
        compare -metric AE "$output" "$previous" null: 2>/dev/null; then
        painted=1
        break
    fi
    cp "$output" "$previous"
    sleep 0.05
done
if [ -z "$painted" ]; then
    echo "the window was never painted the same twice" >&2
    kill "$pid" 2>/dev/null || true
    exit 1
fi

# Press "退  出" (Command7) in its middle with the mouse.
read -r left top width height <<<"$QURIMO_Command7"
xdotool mousemove $((X + left + width / 2)) $((Y + top + height / 2)) click 1
status=0
timeout 10 tail --pid="$pid" -f /dev/null || status=$?
if [ "$status" -ne 0 ]; then
    echo "the program did not end after 退  出 was pressed" >&2
    kill "$pid" 2>/dev/null || true
    exit 1
fi
wait "$pid"
