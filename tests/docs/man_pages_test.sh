#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The manual pages as man shows them: groff, with the UTF-8 device the terminal uses, warns
# about nothing in either page, every command and option that `qurimo-lib --help` prints
# is in qurimo-lib(1), so that the two cannot drift apart, and every example, copied as shown,
# works.
# Usage: man_pages_test.sh MAN_DIR QURIMO_LIB
set -euo pipefail
man_dir=$1
tool=$2
export LC_ALL=C.UTF-8

failed=0
for page in qurimo.1 qurimo-lib.1; do
    warnings=$(groff -k -K utf8 -Tutf8 -ww -man -z "$man_dir/$page" 2>&1)
    if [ -n "$warnings" ]; then
        echo "groff warns about $page:" >&2
        echo "$warnings" >&2
        failed=1
    fi
done

# The page as text, with groff's hyphens and minus signs as the plain ASCII one.
page_text=$(groff -k -K utf8 -Tutf8 -man -rLL=200n -P-cbou "$man_dir/qurimo-lib.1" |
    sed 's/‐/-/g; s/−/-/g')
help_text=$("$tool" --help)
commands=$(sed -n 's/^ *qurimo-lib \([a-z][a-z0-9-]*\).*/\1/p' <<<"$help_text")
options=$(grep -oE -- '(^|[^[:alnum:]-])--?[[:alnum:]][[:alnum:]-]*' <<<"$help_text" |
    sed 's/^[^-]*//' | awk '!seen[$0]++')
test -n "$commands" && test -n "$options"
for word in $commands $options; do
    if ! grep -qwF -- "$word" <<<"$page_text"; then
        echo "qurimo-lib --help prints $word, which qurimo-lib(1) does not describe" >&2
        failed=1
    fi
done

# Each example runs in a folder of its own holding the files the examples name, with the
# built qurimo-lib first in PATH and a home there, so that nothing of the user's is touched;
# one after the other, as a reader would paste them.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/home"
printf 'I look forward to it.\n我期待着。\n' >"$work/sentences.txt"
printf '#separator:tab\n#html:false\nGood night.\t晚安。\n' >"$work/notes.txt"
printf '1\tI look forward to it.\t2\t我期待著。\n3\tGood night.\t4\t晚安。\n' >"$work/pairs.tsv"
bin=$(cd "$(dirname "$tool")" && pwd)
examples=0
for page in qurimo.1 qurimo-lib.1; do
    # The lines that EXAMPLES sets off deeper than its text, a line ending in | or \ joined
    # to the next.
    while IFS= read -r command; do
        examples=$((examples + 1))
        if ! output=$(cd "$work" && HOME=$work/home XDG_DATA_HOME=$work/home/data \
            PATH="$bin:$PATH" bash -o pipefail -c "$command" 2>&1 >/dev/null); then
            echo "$page: the example \"$command\" fails: $output" >&2
            failed=1
        fi
    done < <(groff -k -K utf8 -Tutf8 -man -rLL=200n -P-cbou "$man_dir/$page" |
        sed 's/‐/-/g; s/−/-/g' |
        awk '/^[^ ]/ { examples = $0 == "EXAMPLES"; next }
             examples && /^        / {
                 sub(/^ +/, ""); line = line $0
                 if (line ~ /[|\\]$/) { sub(/\\$/, "", line); line = line " "; next }
                 print line; line = ""
             }')
done
if [ "$examples" -eq 0 ]; then
    echo "no example found in the manual pages" >&2
    failed=1
fi
if [ "$failed" -ne 0 ]; then
    exit 1
fi
echo "manual pages: no groff warnings; qurimo-lib(1) covers" $commands $options
echo "manual pages: all $examples examples work"
