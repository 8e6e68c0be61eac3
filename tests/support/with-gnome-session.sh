#!/usr/bin/env bash
# Runs a command in a private GNOME session: headless GNOME Shell (Wayland, with Xwayland) and the
# desktop portal with GNOME's backend, screenshots granted once, as for a user who said yes.
#
#   with-gnome-session.sh [--size WxH] -- command...
#
# The command gets WAYLAND_DISPLAY, DISPLAY and XAUTHORITY (Xwayland), XDG_RUNTIME_DIR,
# XDG_SESSION_TYPE=wayland, XDG_CURRENT_DESKTOP=GNOME and PIXOLVA_GNOME_SIZE (WxH), on the
# session's bus.
set -euo pipefail
. "$(dirname "$0")/session-bus.sh"

# Second stage, on the private session bus: GNOME Shell, the portal, then the command.
if [ "${1:-}" = --on-bus ]; then
    work=$2 size=$3; shift 3
    shell_pid=
    cleanup() {
        [ -n "$shell_pid" ] && kill "$shell_pid" 2>/dev/null || true
        wait 2>/dev/null || true
        return 0
    }
    trap cleanup EXIT
    gnome-shell --headless --wayland --virtual-monitor "$size" >"$work/shell.log" 2>&1 &
    shell_pid=$!
    gdbus wait --session --timeout 20 org.gnome.Shell.Screenshot ||
        { echo "GNOME Shell did not start" >&2; cat "$work/shell.log" >&2; exit 1; }
    # Xwayland on the display mutter names in its log, with its own authority file.
    display=
    for _ in $(seq 1 200); do
        display=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$work/shell.log" | head -1)
        [ -n "$display" ] && break
        sleep 0.05
    done
    [ -n "$display" ] || { echo "GNOME Shell started no Xwayland" >&2; cat "$work/shell.log" >&2; exit 1; }
    export DISPLAY=$display
    XAUTHORITY=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null | head -1)
    export XAUTHORITY
    # It starts in the overview, which would cover every window: closed once the start is over.
    overview() {
        gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell -m org.freedesktop.DBus.Properties."$@"
    }
    for _ in $(seq 1 200); do
        grep -q "GNOME Shell started" "$work/shell.log" && break
        sleep 0.05
    done
    for _ in $(seq 1 100); do
        overview Set org.gnome.Shell OverviewActive '<false>' >/dev/null
        overview Get org.gnome.Shell OverviewActive | grep -q false && break
        sleep 0.05
    done
    # Screenshots granted in the permission store, as once answered "yes" in GNOME's question.
    gdbus call --session -d org.freedesktop.impl.portal.PermissionStore -o /org/freedesktop/impl/portal/PermissionStore \
        -m org.freedesktop.impl.portal.PermissionStore.SetPermission screenshot true screenshot '' "['yes']" >/dev/null
    gdbus call --session -d org.freedesktop.portal.Desktop -o /org/freedesktop/portal/desktop \
        -m org.freedesktop.DBus.Properties.Get org.freedesktop.portal.Screenshot version >/dev/null ||
        { echo "the portal offers no Screenshot" >&2; exit 1; }
    "$@"
    exit
fi

size=1280x1024
while [ $# -gt 0 ]; do
    case "$1" in
        --size) size=$2; shift 2 ;;
        --) shift; break ;;
        *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--size WxH] -- command..." >&2; exit 2; }
for tool in gnome-shell Xwayland dbus-run-session dbus-daemon gdbus /usr/libexec/xdg-desktop-portal \
    /usr/libexec/xdg-desktop-portal-gnome; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (run scripts/install-deps.sh)" >&2; exit 1; }
done

begin_scratch
mkdir -p "$work/home/Pictures" "$work/runtime"
chmod 700 "$work/runtime"

# GNOME Shell needs a system bus: one of our own that lets everything through.
write_bus_conf "$work/system.conf" system "unix:path=$work/system_bus"
dbus-daemon --config-file="$work/system.conf" --nofork --nopidfile >"$work/system.log" 2>&1 &
stop_also+=($!)
for _ in $(seq 1 100); do [ -S "$work/system_bus" ] && break; sleep 0.05; done
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/system_bus

# Everything a session has, set before the session bus, so that what it starts sees it too.
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME WAYLAND_DISPLAY=wayland-0 LIBGL_ALWAYS_SOFTWARE=1
export PIXOLVA_GNOME_SIZE=$size GSETTINGS_BACKEND=keyfile NO_AT_BRIDGE=1
# No banners over the windows (GNOME greets root with one), no overview when the pointer reaches
# the top left corner, a plain background.
mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings"
cat >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile" <<SETTINGS
[org/gnome/desktop/notifications]
show-banners=false

[org/gnome/desktop/interface]
enable-hot-corners=false

[org/gnome/desktop/background]
picture-options='none'
primary-color='#336699'
SETTINGS
unset DISPLAY XAUTHORITY QT_QPA_PLATFORM QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS DBUS_SESSION_BUS_ADDRESS
unset XDG_DESKTOP_PORTAL_DIR GTK_USE_PORTAL
# The session bus starts the portal and GNOME's services on demand, as in a real session; all of
# them stay in this process group, which goes at the end.
set -m
dbus-run-session -- "$0" --on-bus "$work" "$size" "$@" &
main=$!
set +m
wait "$main"
