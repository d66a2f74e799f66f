#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs into a fresh prefix, lets bash-completion find the completion of qurimo-lib there
# as it finds any command's, and checks what it offers.
set -eo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null

set +e
source /usr/share/bash-completion/bash_completion
set -e
export BASH_COMPLETION_USER_DIR="$prefix/none" XDG_DATA_DIRS="$prefix/share"
__load_completion qurimo-lib || { echo "bash-completion did not find qurimo-lib's completion" >&2; exit 1; }
complete -p qurimo-lib | grep -- '-F _qurimo_lib' >/dev/null

mkdir "$prefix/files" "$prefix/files/sub"
touch "$prefix/files/a.dat" "$prefix/files/b.txt"
cd "$prefix/files"

# What completing the last of the words offers, sorted, on one line.
offered() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _qurimo_lib qurimo-lib "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' '
}

failures=0
expect() {
    local want=$1
    shift
    local got
    got=$(offered "$@")
    if [ "$got" != "$want" ]; then
        echo "after '$*': offered '$got', expected '$want'" >&2
        failures=$((failures + 1))
    fi
}

expect "--help check compile dump search use verify" qurimo-lib ""
expect "check compile" qurimo-lib c
expect "--gbk --simplified --tsv --utf8" qurimo-lib compile --
expect "--simplified" qurimo-lib check --s
expect "--gbk --tsv --utf8" qurimo-lib dump --
expect "--chinese" qurimo-lib search -
expect "a.dat b.txt sub" qurimo-lib compile --utf8 ""
expect "a.dat" qurimo-lib verify a
expect "" qurimo-lib search ""
expect "a.dat b.txt sub" qurimo-lib search make ""
expect "" qurimo-lib search make a.dat ""
expect "--bundled" qurimo-lib use -
expect "a.dat" qurimo-lib use a
expect "" qurimo-lib use a.dat ""
expect "" qurimo-lib use --bundled ""
[ "$failures" -eq 0 ]
echo "completion: found where bash-completion looks, commands, options and file names offered"
