#!/usr/bin/env bash
# Installs the Debian packages Pixolva needs to build, run and test, where they are missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
    qt6-base-dev zlib1g-dev libxcb1-dev libxcb-shm0-dev libxcb-randr0-dev libxcb-render0-dev libfontconfig-dev libxcb-res0-dev libxcb-xfixes0-dev
    xvfb openbox xdotool xclip x11-xserver-utils x11-utils x11-apps imagemagick fonts-dejavu-core qt6-translations-l10n
    dpkg-dev desktop-file-utils appstream librsvg2-bin
    dbus-daemon libglib2.0-bin python3-dbusmock xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk
    sway swaybg xwayland grim pipewire qt6-wayland
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
