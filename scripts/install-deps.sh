#!/usr/bin/env bash
# Installs the Debian packages Pixolva needs to build, run and test, where they are missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
    qt6-base-dev zlib1g-dev libxcb1-dev libxcb-shm0-dev libxcb-randr0-dev libxcb-render0-dev libfontconfig-dev libxcb-res0-dev libxcb-xfixes0-dev
    xvfb openbox xdotool xclip x11-xserver-utils x11-utils x11-apps imagemagick fonts-dejavu-core qt6-translations-l10n
    dpkg-dev desktop-file-utils appstream librsvg2-bin
    dbus-daemon libglib2.0-bin python3-dbusmock python3-gi at-spi2-core python3-pyatspi python3-pil xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk
    sway swaybg xwayland grim wl-clipboard pipewire qt6-wayland libwayland-dev wayland-protocols
)
# The real desktops the tests run on, without what they recommend (a whole Plasma or GNOME session).
desktops=(kwin-wayland kwin-style-breeze gnome-shell mutter xdg-desktop-portal-gnome dbus-user-session)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing=() missing_desktops=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
for p in "${desktops[@]}"; do installed "$p" || missing_desktops+=("$p"); done
[ ${#missing[@]} -eq 0 ] && [ ${#missing_desktops[@]} -eq 0 ] && exit 0

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${missing[*]} ${missing_desktops[*]}"
$sudo apt-get update
[ ${#missing[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
[ ${#missing_desktops[@]} -eq 0 ] ||
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing_desktops[@]}"
