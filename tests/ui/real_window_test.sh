#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program in a real window: copied with a library into a fresh folder, started on a
# virtual display, seen mapped with its caption, closed with "退  出", exit code 0. The
# screenshot stays in the build folder for a look.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=../preamble.sh
. "$(dirname "$0")/../preamble.sh"
cp "$build/qurimo" "$build/vorel.dat" "$work/"
"$source_dir/scripts/screenshot.sh" "$build/real-window.png" "$work/qurimo"
test -s "$build/real-window.png"
echo "real window: mapped, closed with exit code 0, screenshot $build/real-window.png"
