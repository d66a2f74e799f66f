# SPDX-License-Identifier: MIT
# shellcheck shell=sh disable=SC2154 # $work is the sourcing script's
# Sourced by the benchmark scripts once they have made their private folder $work: removes it
# at exit, with the Xvfb that start_private_display may have started.

xvfb_pid=
# shellcheck disable=SC2317 # called by the EXIT trap
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# Starts Xvfb on a display it picks itself (it writes the number to fd 3 once it accepts
# connections) and points Qt at it alone, with a private XDG_RUNTIME_DIR. Returns false, Xvfb's
# messages in $work/xvfb.log, when it did not start.
start_private_display() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    tries=0
    while [ ! -s "$work/display" ]; do
        if ! kill -0 "$xvfb_pid" 2>/dev/null || [ "$tries" -ge 100 ]; then
            return 1
        fi
        tries=$((tries + 1))
        sleep 0.1
    done
    DISPLAY=:$(tr -d '[:space:]' <"$work/display")
    XDG_RUNTIME_DIR=$work/runtime
    export DISPLAY XDG_RUNTIME_DIR
    export QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS 2>/dev/null || true
    mkdir -m 700 "$XDG_RUNTIME_DIR"
}
