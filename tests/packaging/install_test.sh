#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs into a fresh prefix, validates the desktop entry and the AppStream metainfo, and
# starts the installed program through its link in bin/ on a virtual display, as a user who
# may not write the installed library.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=../preamble.sh
. "$(dirname "$0")/../preamble.sh"
prefix=$work
chmod 755 "$prefix"

cmake --install "$build" --prefix "$prefix" > /dev/null
for file in lib/qurimo/qurimo lib/qurimo/vorel.dat bin/qurimo bin/qurimo-lib \
    share/applications/io.qurimo.Qurimo.desktop share/metainfo/io.qurimo.Qurimo.metainfo.xml \
    share/icons/hicolor/32x32/apps/io.qurimo.Qurimo.png \
    share/icons/hicolor/128x128/apps/io.qurimo.Qurimo.png \
    share/icons/hicolor/scalable/apps/io.qurimo.Qurimo.svg; do
    test -e "$prefix/$file" || { echo "not installed: $file" >&2; exit 1; }
done
test -L "$prefix/bin/qurimo"
test "$(readlink -f "$prefix/bin/qurimo")" = "$(readlink -f "$prefix/lib/qurimo/qurimo")"

desktop-file-validate "$prefix/share/applications/io.qurimo.Qurimo.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/io.qurimo.Qurimo.metainfo.xml"

shots=$(mktemp -d)
trap 'rm -rf "$prefix" "$shots"' EXIT
# The library beside the program, whatever per-user library the account running this has set.
export XDG_DATA_HOME=$shots/data
chmod 777 "$shots"
run=()
if [ "$(id -u)" -eq 0 ]; then
    # root may write anything; the library is only read-only to an ordinary user
    run=(setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$shots")
fi
before=$(sha256sum "$prefix/lib/qurimo/vorel.dat")
"${run[@]}" "$source_dir/scripts/screenshot.sh" "$shots/installed.png" "$prefix/bin/qurimo"
test -s "$shots/installed.png"
test "$(sha256sum "$prefix/lib/qurimo/vorel.dat")" = "$before"
echo "install: files in place, both validators passed, the installed program ran from bin/qurimo"
