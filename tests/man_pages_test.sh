#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The manual pages as man shows them: groff, with the UTF-8 device the terminal uses, warns
# about nothing in either page, and every command and option that `qurimo-lib --help` prints
# is in qurimo-lib(1), so that the two cannot drift apart.
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
if [ "$failed" -ne 0 ]; then
    exit 1
fi
echo "manual pages: no groff warnings; qurimo-lib(1) covers" $commands $options
