#!/bin/sh
# SPDX-License-Identifier: MIT
# Start-up benchmark: how long qurimo takes from exec to its window being mapped, and its peak
# resident memory, next to a bare Qt Widgets window with the same kind of content
# (startup_reference). Prints figures only; it never fails on them.
#
#   benchmarks/startup/startup.sh [BUILD_DIR] [RUNS]
#
# BUILD_DIR defaults to the repository's build folder and must hold qurimo and
# benchmarks/startup/{map_timer,startup_reference}; RUNS (default 15) is the number of timed
# runs of each program. The script starts a private Xvfb display, runs each program once to
# warm the page cache (discarded), then runs the two alternately RUNS times each, so that drift
# in the machine's load falls on both alike. Medians are reported because the machine is shared.

set -eu

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-"$here/../../build"}
runs=${2:-15}

case $runs in
    '' | *[!0-9]*) echo "startup.sh: RUNS must be a positive number, not '$runs'" >&2; exit 1 ;;
esac
if [ "$runs" -lt 1 ]; then
    echo "startup.sh: RUNS must be at least 1" >&2
    exit 1
fi

build=$(cd "$build" && pwd)
timer=$build/benchmarks/startup/map_timer
reference=$build/benchmarks/startup/startup_reference
program=$build/qurimo
for f in "$timer" "$reference" "$program"; do
    if [ ! -x "$f" ]; then
        echo "startup.sh: $f is missing; build it first (ninja -C $build)" >&2
        exit 1
    fi
done
command -v Xvfb >/dev/null || { echo "startup.sh: Xvfb is not installed" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/qurimo-startup.XXXXXX")
# shellcheck source=SCRIPTDIR/../private-display.sh
. "$here/../private-display.sh"
if ! start_private_display; then
    echo "startup.sh: Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi

# Runs one program under map_timer; prints "ms rss", or nothing when the run failed (the
# messages of a failed run, the program's own included, go to stderr).
measure() {
    if ! out=$("$timer" "$1" 2>"$work/run.err"); then
        echo "startup.sh: a run of $1 failed:" >&2
        sed 's/^/  /' "$work/run.err" >&2
        return 0
    fi
    echo "$out"
}

echo "Qurimo start-up benchmark on display $DISPLAY, $runs runs each (after one warm-up)"
echo "  reference: $reference"
echo "  program:   $program"

measure "$reference" >/dev/null
measure "$program" >/dev/null

: >"$work/pairs"
i=1
while [ "$i" -le "$runs" ]; do
    ref=$(measure "$reference")
    prog=$(measure "$program")
    if [ -n "$ref" ] && [ -n "$prog" ]; then
        echo "$ref $prog" >>"$work/pairs"
        # shellcheck disable=SC2086 # each holds two numbers, split on purpose
        printf '  run %2d  reference %8s ms %8s KiB   qurimo %8s ms %8s KiB\n' "$i" $ref $prog
    fi
    i=$((i + 1))
done

pairs=$(wc -l <"$work/pairs")
if [ "$pairs" -eq 0 ]; then
    echo "No successful runs; no figures."
    exit 0
fi

# median COLUMN: the median of one column of the pairs file (columns: ref ms, ref KiB,
# program ms, program KiB).
median() {
    awk -v c="$1" '{ print $c }' "$work/pairs" | sort -g | awk '
        { v[NR] = $1 }
        END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
# pair_ratio_median A B: the median over the runs of column A / column B.
pair_ratio_median() {
    awk -v a="$1" -v b="$2" '$b > 0 { printf "%.6f\n", $a / $b }' "$work/pairs" | sort -g | awk '
        { v[NR] = $1 }
        END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

ref_ms=$(median 1)
ref_kib=$(median 2)
prog_ms=$(median 3)
prog_kib=$(median 4)

echo
echo "Medians over $pairs runs each:"
printf '  %-22s %10s %12s\n' "" "start-up ms" "peak RSS KiB"
printf '  %-22s %10.1f %12.0f\n' "startup_reference" "$ref_ms" "$ref_kib"
printf '  %-22s %10.1f %12.0f\n' "qurimo" "$prog_ms" "$prog_kib"
echo
echo "qurimo / reference:"
printf '  %-36s %6s   %6s\n' "" "time" "RSS"
awk -v pm="$prog_ms" -v rm="$ref_ms" -v pk="$prog_kib" -v rk="$ref_kib" 'BEGIN {
    printf "  %-36s %6.2f   %6.2f\n", "ratio of the medians", pm / rm, pk / rk }'
printf '  %-36s %6.2f   %6.2f\n' "median of the per-run-pair ratios" \
    "$(pair_ratio_median 3 1)" "$(pair_ratio_median 4 2)"
exit 0
