#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# "写文件" under a file-size limit smaller than the new library: the window reports the error
# and goes on, the old 111.dat stays byte for byte as it was, and no other file is left beside
# it. Without care the limit's signal would kill the program halfway through the write.
# Usage: tests/ui/window_size_limit_test.sh BUILD_DIR
set -euo pipefail
needs_xvfb=1
# shellcheck source-path=SCRIPTDIR source=../preamble.sh
. "$(dirname "$0")/../preamble.sh"
pid=
# shellcheck disable=SC2317 # called by the EXIT trap
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime XDG_DATA_HOME=$work/data
unset XDG_CONFIG_HOME # 写文件 uses $HOME/下载: no user-dirs.dirs in this home
mkdir -p "$HOME/下载" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
cp "$build/qurimo" "$build/vorel.dat" "$work/"
# The bundled sentences as an authoring file: far more than the limit below once compiled.
"$build/qurimo-lib" dump "$build/vorel.dat" > "$HOME/下载/范句.txt"
printf 'an older library' > "$HOME/下载/111.dat"
before=$(sha256sum < "$HOME/下载/111.dat")

(
    trap - XFSZ
    ulimit -f 8 # blocks of 1024 bytes
    exec "$work/qurimo"
) &
pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name "$QURIMO_CAPTION_PATTERN" | head -n 1)
# "写文件" has the keyboard focus when the window opens.
xdotool windowfocus --sync "$window" key space
for _ in $(seq 50); do
    [ "$(xdotool search --onlyvisible --name "$QURIMO_CAPTION_PATTERN" | wc -l)" -ge 2 ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null || { echo "the program died during the write" >&2; exit 1; }
# The report is a second window with the program's caption.
test "$(xdotool search --onlyvisible --name "$QURIMO_CAPTION_PATTERN" | wc -l)" -ge 2 ||
    { echo "no error report appeared" >&2; exit 1; }
test "$(sha256sum < "$HOME/下载/111.dat")" = "$before" || { echo "111.dat changed" >&2; exit 1; }
left=$(ls -A "$HOME/下载")
test "$left" = "$(printf '111.dat\n范句.txt')" || { echo "left in the folder: $left" >&2; exit 1; }
echo "window under a size limit: error reported, old 111.dat intact, nothing left beside it"
