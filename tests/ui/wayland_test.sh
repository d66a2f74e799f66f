#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program on a Wayland desktop without X: a headless weston with a private runtime
# folder. The program must choose Qt's Wayland platform itself, find every plugin it needs and
# give its top-level surface the window's caption as title (seen in the WAYLAND_DEBUG protocol log).
# Usage: tests/ui/wayland_test.sh BUILD_DIR
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=../preamble.sh
. "$(dirname "$0")/../preamble.sh"
runtime=$work/runtime
mkdir -m 700 "$runtime"
weston_pid=
program_pid=
# shellcheck disable=SC2317 # called by the EXIT trap
cleanup() {
    for pid in $program_pid $weston_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
cp "$build/qurimo" "$build/vorel.dat" "$work/"

unset DISPLAY QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME
export XDG_RUNTIME_DIR=$runtime XDG_SESSION_TYPE=wayland
weston --backend=headless-backend.so --socket=wayland-qurimo --idle-time=0 \
    --no-config >"$work/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
    [ -S "$runtime/wayland-qurimo" ] && break
    kill -0 "$weston_pid" 2>/dev/null || break
    sleep 0.1
done
if [ ! -S "$runtime/wayland-qurimo" ]; then
    echo "weston did not start:" >&2
    cat "$work/weston.log" >&2
    exit 1
fi

WAYLAND_DISPLAY=wayland-qurimo WAYLAND_DEBUG=client "$work/qurimo" >"$work/out.log" \
    2>"$work/err.log" &
program_pid=$!
title="xdg_toplevel@[0-9]*\\.set_title(\"${QURIMO_CAPTION_PATTERN:1:-1}\")"
# Shown once a surface is committed after the title is set; the program must still run then.
# grep without -q reads to the end: sed, cut short by SIGPIPE, would fail the pipe.
committed() {
    sed -n "/$title/,\$p" "$work/err.log" | grep 'wl_surface@[0-9]*\.commit()' >/dev/null
}
for _ in $(seq 150); do
    committed && break
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
done
status=ok
grep -q "$title" "$work/err.log" || status="its top-level surface never got the title"
committed || status="it never committed a surface after setting its title"
kill -0 "$program_pid" 2>/dev/null || status="it ended by itself"
if grep -Eiq 'platform plugin|could not load|cannot load|not found' "$work/err.log"; then
    status="a plugin is missing"
fi
if [ "$status" != ok ]; then
    echo "qurimo on Wayland: $status. Its messages, protocol log left out:" >&2
    grep -v '^\[' "$work/err.log" >&2 || true
    exit 1
fi
echo "qurimo on Wayland: started natively, top-level titled '$QURIMO_CAPTION'"
