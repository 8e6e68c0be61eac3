#!/usr/bin/env bash
# Builds the Debian package from a built tree, unpacks it and checks that it installs Pixolva as a
# desktop program: valid desktop entry and metainfo, icons, Qt dependencies.
# Usage: check-package.sh CPACK_COMMAND BUILD_DIR
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

"$1" -G DEB --config "$2/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; exit 1; }
debs=("$work"/out/pixolva_*_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { ls "$work/out" >&2; echo "FAIL: no single pixolva_<version>_<arch>.deb" >&2; exit 1; }
root=$work/root
dpkg -x "${debs[0]}" "$root"

# Only the program itself goes into bin: no test or benchmark executables.
[ "$(ls "$root/usr/bin")" = pixolva ] && [ -x "$root/usr/bin/pixolva" ] || fail "usr/bin holds: $(ls "$root/usr/bin")"

id=de.pixolva.Pixolva
entry=$root/usr/share/applications/$id.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate $id.desktop"
# KWin matches the restricted interfaces to the process by the executable's full path.
for line in Exec=/usr/bin/pixolva X-KDE-DBUS-Restricted-Interfaces=org.kde.KWin.ScreenShot2 "Icon=$id"; do
    grep -qx "$line" "$entry" 2>/dev/null || fail "the desktop entry lacks $line"
done
# Also checks that the metainfo's launchable names the packaged desktop entry.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"

icons=$root/usr/share/icons/hicolor
[ -f "$icons/scalable/apps/$id.svg" ] || fail "no scalable icon"
for size in 16 32 48 256; do
    # PNG width and height: big-endian 32-bit numbers at bytes 16 and 20.
    [ "$(od -An -tu4 --endian=big -j16 -N8 "$icons/${size}x$size/apps/$id.png" 2>/dev/null | xargs)" = "$size $size" ] ||
        fail "no ${size}x$size icon of that size"
done

depends=$(dpkg-deb -f "${debs[0]}" Depends)
for lib in libqt6core6 libqt6gui6 libqt6widgets6; do
    [[ ", $depends," == *", $lib"[\ ,]* ]] || fail "Depends lacks $lib: $depends"
done
[ "$failures" -eq 0 ] && echo "package $(basename "${debs[0]}") checked"
exit $((failures > 0))
