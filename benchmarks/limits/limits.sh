#!/bin/sh
# SPDX-License-Identifier: MIT
# Worst-input benchmark: every qurimo-lib command, and the window's start, on the largest or
# most awkward input of an allowed size, with its wall time and peak resident memory. Prints
# figures only; it never fails on them.
#
#   benchmarks/limits/limits.sh [BUILD_DIR] [TIMEOUT]
#
# BUILD_DIR defaults to the repository's build folder and must hold qurimo-lib (and for the
# window row qurimo and benchmarks/startup/map_timer, on a private Xvfb display). Each run
# is stopped after TIMEOUT seconds (default 60) and shown as over that. The inputs are made
# in a private temporary folder, removed at exit:
# - a library of 301 pairs whose every text is 65,535 letters a (39 MB, the most the format
#   holds), searched for a…ab of k letters, which a search that compares at every position
#   anew takes k steps per position for;
# - an authoring file of one line as long as an authoring file may be (78.9 MB of a);
# - a valid authoring file of that size: UTF-16 with its mark, 602 lines of 65,535 a;
# - 301 pairs of 65,535 a and 32,767 traditional characters 乾隆頭髮很乾燥 over and over
#   (UTF-8), which --simplified converts by phrase, and the same with each text ending in 儸,
#   whose simplified form code page 936 lacks, so that it is kept;
# - a library of 301 pairs whose texts are 65,535 bytes that decode to a control character,
#   which a dump to a terminal shows as four characters each.

set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
if [ ! -x /usr/bin/time ]; then
    "$root/scripts/setup.sh" time >&2
fi

build=${1:-"$root/build"}
limit=${2:-60}
case $limit in
    '' | *[!0-9]*) echo "limits.sh: TIMEOUT must be a number of seconds, not '$limit'" >&2; exit 1 ;;
esac
build=$(cd "$build" && pwd)
tool=$build/qurimo-lib
[ -x "$tool" ] || { echo "limits.sh: $tool is missing; build it first" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/qurimo-limits.XXXXXX")
# shellcheck source=SCRIPTDIR/../private-display.sh
. "$here/../private-display.sh"
export LC_ALL=C.UTF-8

# repeat COUNT TEXT: TEXT written COUNT times, without a line end.
repeat() {
    awk -v n="$1" -v t="$2" 'BEGIN { s = t; while (length(s) < n * length(t)) s = s s
        printf "%s", substr(s, 1, n * length(t)) }'
}

max_text=65535
# The longest authoring file: 602 lines of twice the longest text, CR LF, and a mark.
max_authoring=$((602 * (2 * max_text + 4) + 2))

a_line=$(repeat "$max_text" a)
han_line=$(repeat 4681 乾隆頭髮很乾燥)
kept_line=$(repeat 4680 乾隆頭髮很乾燥)乾隆頭髮很乾儸
i=0
while [ "$i" -lt 301 ]; do
    printf '%s\n%s\n' "$a_line" "$a_line"
    i=$((i + 1))
done >"$work/a.txt"
i=0
while [ "$i" -lt 301 ]; do
    printf '%s\n%s\n' "$a_line" "$han_line"
    i=$((i + 1))
done >"$work/traditional.txt"
i=0
while [ "$i" -lt 301 ]; do
    printf '%s\n%s\n' "$a_line" "$kept_line"
    i=$((i + 1))
done >"$work/kept.txt"
head -c "$max_authoring" /dev/zero | tr '\0' a >"$work/one-line.txt"
{
    printf '\377\376'
    i=0
    while [ "$i" -lt 602 ]; do
        printf '%s\r\n' "$a_line"
        i=$((i + 1))
    done | iconv -f UTF-8 -t UTF-16LE
} >"$work/utf16.txt"
"$tool" compile --utf8 "$work/a.txt" "$work/a.dat"
"$tool" compile --utf8 --simplified "$work/traditional.txt" "$work/han.dat"
# A record: Reserved 0, then the Chinese and the English text, each a length (FF FF) and
# 65,535 bytes 00, which decode to U+0014.
{
    head -c "$max_text" /dev/zero >"$work/zeros"
    i=0
    while [ "$i" -lt 301 ]; do
        printf '\0\0\377\377'
        cat "$work/zeros"
        printf '\377\377'
        cat "$work/zeros"
        i=$((i + 1))
    done
} >"$work/control.dat"
rm "$work/zeros"

# row LABEL COMMAND...: runs COMMAND under /usr/bin/time, at most $limit seconds, its output
# discarded, and prints its seconds, peak MB and exit status.
row() {
    label=$1
    shift
    status=0
    /usr/bin/time -f '%e %M' -o "$work/time" timeout "$limit" "$@" >/dev/null 2>"$work/err" ||
        status=$?
    show "$label" "$status"
}

# terminal_row LABEL COMMAND...: the same with standard output a terminal, through script(1).
terminal_row() {
    label=$1
    shift
    status=0
    script -qec "/usr/bin/time -f '%e %M' -o '$work/time' timeout $limit $*" /dev/null \
        >/dev/null 2>"$work/err" || status=$?
    show "$label" "$status"
}

show() {
    if [ "$2" -eq 124 ]; then
        printf '  %-58s %8s %8s %6s\n' "$1" "> $limit" "" "-"
        return
    fi
    tail -n 1 "$work/time" | awk -v l="$1" -v s="$2" \
        '{ printf "  %-58s %8.2f %8.0f %6s\n", l, $1, $2 / 1024, s }'
}

echo "Qurimo worst-input benchmark, each run stopped after $limit s"
printf '  %-58s %8s %8s %6s\n' "input" "seconds" "peak MB" "status"
for k in 200 4000 16000 65535; do
    keyword=$(repeat $((k - 1)) a)b
    row "search a...ab (k = $k), 39 MB library of a" "$tool" search -- "$keyword" "$work/a.dat"
done
row "search 頭髮, 39 MB library of a and 头发, every pair a hit" \
    "$tool" search 頭髮 "$work/han.dat"
terminal_row "search to a terminal, every pair of control characters" \
    "$tool" search "''" "$work/control.dat"
row "compile, one line of 78.9 MB" "$tool" compile "$work/one-line.txt" "$work/out.dat"
row "check --simplified, one line of 78.9 MB" "$tool" check --simplified "$work/one-line.txt"
row "check --simplified, 78.9 MB UTF-16 of 602 lines of a" \
    "$tool" check --simplified "$work/utf16.txt"
row "compile, 78.9 MB UTF-16 of 602 lines of a" "$tool" compile "$work/utf16.txt" "$work/out.dat"
row "check --simplified, 301 pairs of a and 32,767 traditional" \
    "$tool" check --simplified "$work/traditional.txt"
row "compile --simplified, the same" \
    "$tool" compile --simplified "$work/traditional.txt" "$work/out.dat"
row "check --simplified, the same ending in 儸, which is kept" \
    "$tool" check --simplified "$work/kept.txt"
terminal_row "dump to a terminal, 39 MB library of control characters" \
    "$tool" dump "$work/control.dat"
row "dump to a file, 39 MB library of control characters" "$tool" dump "$work/control.dat"
row "verify, 39 MB library of control characters" "$tool" verify "$work/control.dat"
row "use, 39 MB library of a" env XDG_DATA_HOME="$work/data" "$tool" use "$work/a.dat"

# The window: exec to mapped, through map_timer on a private Xvfb display.
timer=$build/benchmarks/startup/map_timer
if [ ! -x "$timer" ] || [ ! -x "$build/qurimo" ] || ! command -v Xvfb >/dev/null; then
    echo "  (no window rows: qurimo, map_timer or Xvfb missing)"
    exit 0
fi
if ! start_private_display; then
    echo "  (no window rows: Xvfb did not start)"
    exit 0
fi
for library in a han control; do
    if out=$(timeout "$limit" "$timer" "$build/qurimo" "$work/$library.dat" 2>"$work/err"); then
        echo "$out" | awk -v l="window appears, 39 MB library ($library)" \
            '{ printf "  %-58s %8.2f %8.0f %6s\n", l, $1 / 1000, $2 / 1024, 0 }'
    else
        printf '  %-58s %8s %8s %6s\n' "window appears, 39 MB library ($library)" "-" "-" "failed"
    fi
done
exit 0
