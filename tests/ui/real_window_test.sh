#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program in a real window: copied with a library into a fresh folder, started on a
# virtual display, seen mapped with its caption, closed with "退  出", exit code 0. The
# screenshot stays in the build folder for a look.
set -euo pipefail
build=$1
# The caption and geometry, as the build states them; the screenshot script reads them too.
# shellcheck source=/dev/null
. "$build/window.sh"
export QURIMO_BUILD=$build
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The library beside the program, whatever per-user library the account running this has set.
export XDG_DATA_HOME=$work/data
cp "$build/qurimo" "$build/vorel.dat" "$work/"
"$source_dir/scripts/screenshot.sh" "$build/real-window.png" "$work/qurimo"
test -s "$build/real-window.png"
echo "real window: mapped, closed with exit code 0, screenshot $build/real-window.png"
