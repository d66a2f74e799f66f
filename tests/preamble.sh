# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# What the shell tests share, sourced after `set -euo pipefail` with the test's arguments, the
# build folder first: the source folder; a work folder, removed on exit (a test that has more
# to end sets its own trap, which removes it too); the caption and geometry the build states
# (window.sh, which the screenshot script reads too); and a per-user data folder of its own, so
# that the library beside the program is read, whatever the account running the test has set.
# A test that sets needs_xvfb=1 first runs again on a virtual display of its own; -noreset:
# programs come and go one after the other there, and a server that resets when its last
# client leaves refuses the next one for a moment.
if [ "${needs_xvfb:-}" = 1 ] && [ -z "${QURIMO_ON_XVFB:-}" ]; then
    export QURIMO_ON_XVFB=1
    exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
# shellcheck disable=SC2034 # for the tests that source this
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=/dev/null
. "$build/window.sh"
export QURIMO_BUILD=$build XDG_DATA_HOME=$work/data
