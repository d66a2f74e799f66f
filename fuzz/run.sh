#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets in build-fuzz/ and runs each for MINUTES (default 10; a
# fraction such as 0.75 is allowed), one after the other, from its corpus in fuzz/corpus/.
# New inputs gather in build-fuzz/corpus/TARGET, findings in build-fuzz/findings/. Exits
# non-zero on the first finding, which any sanitizer report is.
# Usage: fuzz/run.sh [MINUTES] [library|authoring ...]
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=${1:-10}
shift || true
targets=("$@")
if ((${#targets[@]} == 0)); then
    targets=(library authoring)
fi
seconds=$(awk -v m="$minutes" 'BEGIN { s = int(m * 60); if (s < 1) s = 1; print s }')

if [ ! -f build-fuzz/build.ninja ]; then
    cmake --preset fuzz
fi
cmake --build build-fuzz --target "${targets[@]/%/_fuzz}"

mkdir -p build-fuzz/findings
for target in "${targets[@]}"; do
    corpus=build-fuzz/corpus/$target
    mkdir -p "$corpus"
    cp -n fuzz/corpus/"$target"/* "$corpus"/
    # Texts of the library format reach 65,535 bytes. Authoring lines must pass that to fail,
    # in UTF-16 too (two bytes a character), and floods of lines pass the 603rd line: inputs
    # up to 256 KiB, with a seed of each made here, too big to keep in git.
    max_len=65536
    if [ "$target" = authoring ]; then
        max_len=262144
        head -c 140000 /dev/zero | tr '\0' a > "$corpus/long-line.txt"
        head -c 100000 /dev/zero | tr '\0' '\n' > "$corpus/flood.txt"
    fi
    echo "== Fuzzing $target for $seconds seconds"
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ASAN_OPTIONS=abort_on_error=1:detect_leaks=1 \
        build-fuzz/fuzz/"$target"_fuzz -max_total_time="$seconds" -max_len="$max_len" \
        -print_final_stats=1 -artifact_prefix=build-fuzz/findings/"$target"- "$corpus"
done
