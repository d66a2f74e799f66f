#!/bin/sh
# SPDX-License-Identifier: MIT
# Encoding detection benchmark: how often an authoring file is read in the wrong encoding, over
# a corpus of real text that nobody here wrote. Prints figures and the misread files only; it
# never fails on them.
#
#   benchmarks/detection/detection.sh [OUT_DIR]
#
# Installs (through scripts/setup.sh, which also builds) the Debian packages the text comes
# from: Chinese from fortunes-zh and manpages-zh (simplified and traditional), English from
# fortunes, Russian from fortunes-ru, German with its umlauts from fortunes-de. The lines are
# taken out of their fortune and roff files here; build/benchmarks/detection/detection_benchmark
# pairs them, writes the authoring files into OUT_DIR (default build/detection-corpus, emptied
# first) and reads each one as qurimo-lib would.

set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
"$root/scripts/setup.sh" fortunes-zh manpages-zh fortunes fortunes-ru fortunes-de >&2

out=${1:-"$root/build/detection-corpus"}
program=$root/build/benchmarks/detection/detection_benchmark
[ -x "$program" ] || { echo "detection.sh: $program is missing" >&2; exit 1; }
rm -rf "$out"
mkdir -p "$out/text"

export LC_ALL=C.UTF-8
fortunes=/usr/share/games/fortunes

# The lines of the fortune files that find(1) finds with the arguments given, in the order of
# their names: no separators, colours or surrounding blanks.
fortune_lines() {
    find "$@" -type f ! -name '*.dat' -print0 | sort -z | xargs -0 cat |
        sed -e 's/\x1b\[[0-9;]*m//g' -e 's/^[[:space:]]*//' -e 's/[[:space:]]*$//' |
        grep -v '^%*$' || true
}

# The running text of roff man pages: requests dropped (but for those that set text in a
# font or as a heading), escapes removed.
man_lines() {
    for page in "$@"; do
        zcat -f "$page"
    done | sed -E \
        -e 's/^\.(B|I|BR|IR|RB|RI|BI|IB|SH|SS|SM)[[:space:]]+//' \
        -e '/^[.'"'"']/d' \
        -e 's/\\f(\[[^]]*\]|\(..|.)//g' -e 's/\\\*?(\(..|\[[^]]*\])//g' \
        -e 's/\\-/-/g' -e 's/\\e/\\/g' -e 's/\\[&|^,\/:%]//g' -e 's/\\ / /g' \
        -e 's/"//g' -e 's/^[[:space:]]*//' -e 's/[[:space:]]*$//' |
        grep -v '^$' || true
}

{
    fortune_lines "$fortunes/chinese" "$fortunes/tang300" "$fortunes/song100"
    man_lines /usr/share/man/zh_CN/man*/* /usr/share/man/zh_TW/man*/*
} | awk '!seen[$0]++' >"$out/text/chinese.txt"

fortune_lines "$fortunes" -maxdepth 1 ! -name chinese ! -name tang300 ! -name song100 |
    awk '!seen[$0]++' >"$out/text/english.txt"
fortune_lines "$fortunes/ru" | awk '!seen[$0]++' >"$out/text/russian.txt"
fortune_lines "$fortunes/de" | awk '!seen[$0]++' >"$out/text/german.txt"

"$program" "$out" "$out/text/chinese.txt" "$out/text/english.txt" "$out/text/russian.txt" \
    "$out/text/german.txt"
