#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up and builds as scripts/setup.sh does, then starts Qurimo with the bundled library.
# Without a display it starts the window on a virtual one and saves a screenshot instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    scripts/screenshot.sh build/screenshot.png build/qurimo
    echo "No display here: Qurimo ran on a virtual display; its window is in $PWD/build/screenshot.png"
    exit 0
fi
exec build/qurimo "$@"
