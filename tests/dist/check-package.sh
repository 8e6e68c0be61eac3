#!/usr/bin/env bash
# Builds the Debian package from a built tree, unpacks it into a scratch root and checks that it
# installs Pixolva as a desktop program: valid desktop entry and metainfo, icons, Qt dependencies.
# Usage: check-package.sh CPACK_COMMAND BUILD_DIR
set -euo pipefail
cpack=$1
build=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
debs=("$work"/out/pixolva_*_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { ls "$work/out" >&2; echo "FAIL: no single pixolva_<version>_<arch>.deb" >&2; exit 1; }
deb=${debs[0]}
root=$work/root
dpkg -x "$deb" "$root"

# Only the program itself goes into bin: no test or benchmark executables.
bins=$(cd "$root/usr/bin" && ls)
[ "$bins" = pixolva ] || fail "usr/bin holds: $bins"
[ -x "$root/usr/bin/pixolva" ] || fail "usr/bin/pixolva is not executable"

id=de.pixolva.Pixolva
entry=$root/usr/share/applications/$id.desktop
if [ -f "$entry" ]; then
    desktop-file-validate "$entry" || fail "desktop-file-validate"
    # KWin matches the restricted interfaces to the process by the executable's full path.
    grep -qx 'Exec=/usr/bin/pixolva' "$entry" || fail "Exec is not the packaged executable"
    grep -qx 'X-KDE-DBUS-Restricted-Interfaces=org.kde.KWin.ScreenShot2' "$entry" ||
        fail "the entry does not ask for KWin's screenshot interface"
    grep -qx "Icon=$id" "$entry" || fail "Icon is not $id"
else
    fail "no desktop entry $id.desktop"
fi

# Also checks that the metainfo's launchable names the packaged desktop entry.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"

icons=$root/usr/share/icons/hicolor
[ -f "$icons/scalable/apps/$id.svg" ] || fail "no scalable icon"
for size in 16 32 48 256; do
    png=$icons/${size}x${size}/apps/$id.png
    if [ -f "$png" ]; then
        # PNG width and height: big-endian 32-bit numbers at bytes 16 and 20.
        read -r width height < <(od -An -tu4 --endian=big -j16 -N8 "$png")
        [ "$width $height" = "$size $size" ] || fail "$png is ${width}x${height}"
    else
        fail "no ${size}x${size} icon"
    fi
done

depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6core6 libqt6gui6 libqt6widgets6; do
    [[ $depends == *"$lib "* || $depends == *"$lib," || $depends == *"$lib" ]] || fail "Depends lacks $lib: $depends"
done

[ "$failures" -eq 0 ] && echo "package $(basename "$deb") checked"
exit $((failures > 0))
