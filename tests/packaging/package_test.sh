#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian package as a user and a packager meet it: cpack makes it, lintian finds no error
# and no warning, it holds exactly what `cmake --install` puts under /usr, its Depends name the
# shared libraries, the fonts and Qt's translations, and it recommends the speech engines. The program extracted from it, started from
# its usr/bin/qurimo link, says its version and where its library is, and shows a window with the
# class its desktop entry names, listing the bundled library just as the built program does.
# Usage: package_test.sh BUILD_DIR VERSION
set -euo pipefail
needs_xvfb=1
# shellcheck source-path=SCRIPTDIR source=../preamble.sh
. "$(dirname "$0")/../preamble.sh"
version=$2
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

deb=$work/qurimo_${version}-1_$(dpkg --print-architecture).deb
cpack --config "$build/CPackConfig.cmake" -B "$work" -G DEB > "$work/cpack.log" ||
    { cat "$work/cpack.log" >&2; exit 1; }
test -f "$deb" || { echo "cpack made no $(basename "$deb")" >&2; ls "$work" >&2; exit 1; }

# lintian advises against root; it reads the package as nobody then.
run=()
if [ "$(id -u)" -eq 0 ]; then
    mkdir -m 777 "$work/lintian"
    chmod 755 "$work"
    run=(setpriv --reuid=65534 --regid=65534 --clear-groups
        env HOME="$work/lintian" TMPDIR="$work/lintian")
fi
"${run[@]}" lintian --fail-on error,warning --tag-display-limit 0 "$deb"

# Contents: what cmake --install puts under /usr, file for file, and the files that matter.
DESTDIR=$work/installed cmake --install "$build" --prefix /usr > /dev/null
(cd "$work/installed" && find . -mindepth 1 ! -type d | sort) > "$work/installed.list"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort > "$work/package.list"
diff -u "$work/installed.list" "$work/package.list"
expected=(
    ./usr/bin/qurimo ./usr/bin/qurimo-lib ./usr/lib/qurimo/qurimo ./usr/lib/qurimo/vorel.dat
    ./usr/lib/qurimo/modules/qurimo-opencc.so
    ./usr/share/applications/io.qurimo.Qurimo.desktop
    ./usr/share/metainfo/io.qurimo.Qurimo.metainfo.xml
    ./usr/share/icons/hicolor/scalable/apps/io.qurimo.Qurimo.svg
    ./usr/share/man/man1/qurimo.1.gz ./usr/share/man/man1/qurimo-lib.1.gz
    ./usr/share/doc/qurimo/copyright ./usr/share/doc/qurimo/changelog.Debian.gz
    ./usr/share/lintian/overrides/qurimo
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/io.qurimo.Qurimo.png")
done
for file in "${expected[@]}"; do
    grep -qxF "$file" "$work/package.list" || { echo "not in the package: $file" >&2; exit 1; }
done

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6texttospeech6 libicu libopencc libopencc-data \
    fonts-arphic-uming fonts-liberation2 qt6-translations-l10n; do
    grep -q "$package" <<<"$depends" || { echo "Depends lacks $package: $depends" >&2; exit 1; }
done
recommends=$(dpkg-deb -f "$deb" Recommends)
test "$recommends" = "qt6-wayland, qt6-speech-flite-plugin, qt6-speech-speechd-plugin, fonts-noto-cjk" ||
    { echo "Recommends: $recommends" >&2; exit 1; }

# The extracted program, started through its link.
dpkg-deb -x "$deb" "$work/root"
program=$work/root/usr/bin/qurimo
test -L "$program"
cmp "$work/root/usr/lib/qurimo/vorel.dat" "$build/vorel.dat"
# Version and help need no display; the help names the library the window reads.
test "$(env -u DISPLAY "$program" --version)" = "qurimo $version"
test "$(env -u DISPLAY "$work/root/usr/bin/qurimo-lib" --version)" = "qurimo-lib $version"
# The installed tool finds OpenCC's module beside the window's program.
printf 'My hair.\n我的頭髮。\n' | env -u DISPLAY "$work/root/usr/bin/qurimo-lib" check --simplified - \
    >/dev/null
help=$(env -u DISPLAY "$program" --help)
grep -qF "$work/root/usr/lib/qurimo/vorel.dat" <<<"$help" ||
    { echo "qurimo --help names another library:" >&2; echo "$help" >&2; exit 1; }
desktop=$work/root/usr/share/applications/io.qurimo.Qurimo.desktop
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
test -n "$wm_class" || { echo "the desktop entry names no StartupWMClass" >&2; exit 1; }

"$program" &
pid=$!
if ! window=$(timeout 30 xdotool search --sync --onlyvisible --name "$QURIMO_CAPTION_PATTERN" | head -n 1)
then
    echo "the extracted program showed no window" >&2
    kill "$pid" 2>/dev/null || true
    exit 1
fi
# WM_CLASS(STRING) = "instance", "class": task bars tie the class to the entry.
class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*= ".*", "\(.*\)"$/\1/p')
kill "$pid"
wait "$pid" || true
if [ "$class" != "$wm_class" ]; then
    echo "the window's WM_CLASS class is '$class', the desktop entry's StartupWMClass '$wm_class'" >&2
    exit 1
fi

"$source_dir/scripts/screenshot.sh" "$work/extracted.png" "$program"
"$source_dir/scripts/screenshot.sh" "$work/built.png" "$build/qurimo"
# The same pixels but for a few that font rendering or timing may shade differently.
differ=$(compare -metric AE -fuzz 2% "$work/extracted.png" "$work/built.png" null: 2>&1 || true)
if ! [[ $differ =~ ^[0-9]+$ ]] || [ "$differ" -gt 50 ]; then
    cp "$work/extracted.png" "$build/package-window.png"
    echo "the extracted program's window differs from the built one's in $differ" \
        "pixels: $build/package-window.png" >&2
    exit 1
fi
echo "package: $(basename "$deb") passes lintian, holds what cmake --install does," \
    "and its program starts with WM_CLASS class $class and the bundled library listed"
