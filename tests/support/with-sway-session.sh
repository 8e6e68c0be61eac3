#!/usr/bin/env bash
# Runs a command in a private Wayland session: headless sway with Xwayland, optionally the real portal.
#
#   with-sway-session.sh [--size WxH] [--scale N] [--outputs N] [--transform T] [--background '#rrggbb'] [--portal] [--qt-wayland] -- command...
#
# sway refuses to run as root, so as root the compositor runs as nobody. The command still runs as
# the caller by default: it reaches the compositor through a link to its socket and Xwayland through
# a grant for that user, so a test binary needs no access for nobody to the build tree.
# The command always gets a session bus of its own; --portal puts xdg-desktop-portal on it, with
# xdg-desktop-portal-wlr (Screenshot, through grim) and xdg-desktop-portal-gtk (Access) behind it.
# The command gets WAYLAND_DISPLAY, DISPLAY (Xwayland), SWAYSOCK, XDG_RUNTIME_DIR,
# XDG_SESSION_TYPE=wayland, XDG_CURRENT_DESKTOP=sway and PIXOLVA_SWAY_SIZE (WxH). With --outputs 2
# a second output of the same size lies right of the first; --scale sets every output's scale,
# --transform turns every output (sway's names: 90, flipped-270 ...).
# --qt-wayland runs Qt programs as native Wayland clients rather than under Xwayland.
set -euo pipefail
. "$(dirname "$0")/session-bus.sh"

# Second stage, on the private session bus: the portal if asked for, then the command.
if [ "${1:-}" = --on-bus ]; then
    logs=$2 portal=$3; shift 3
    pids=()
    cleanup() {
        for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
        wait 2>/dev/null || true
        return 0
    }
    trap cleanup EXIT
    start() {
        local name=$1 log=$2; shift 2
        "$@" >"$logs/$log" 2>&1 &
        pids+=($!)
        [ "$name" = - ] || gdbus wait --session --timeout 10 "$name" ||
            { echo "$name did not appear on the bus" >&2; cat "$logs/$log" >&2; exit 1; }
    }
    if [ "$portal" = 1 ]; then
        # -wlr does not start without PipeWire, though a screenshot does not go through it.
        start - pipewire.out pipewire
        for _ in $(seq 1 100); do [ -S "$XDG_RUNTIME_DIR/pipewire-0" ] && break; sleep 0.05; done
        start org.freedesktop.impl.portal.PermissionStore store.out /usr/libexec/xdg-permission-store
        start org.freedesktop.impl.portal.desktop.wlr wlr.out /usr/libexec/xdg-desktop-portal-wlr
        NO_AT_BRIDGE=1 start org.freedesktop.impl.portal.desktop.gtk gtk.out /usr/libexec/xdg-desktop-portal-gtk
        start org.freedesktop.portal.Desktop portal.out /usr/libexec/xdg-desktop-portal
    fi
    "$@"
    exit
fi

size=640x480
scale=1
transform=normal
outputs=1
background='#ff8000'
portal=0
qt_platform=
while [ $# -gt 0 ]; do
    case "$1" in
        --size) size=$2; shift 2 ;;
        --scale) scale=$2; shift 2 ;;
        --transform) transform=$2; shift 2 ;;
        --outputs) outputs=$2; shift 2 ;;
        --background) background=$2; shift 2 ;;
        --portal) portal=1; shift ;;
        --qt-wayland) qt_platform=wayland; shift ;;
        --) shift; break ;;
        *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--size WxH] [--scale N] [--outputs N] [--transform T] [--background '#rrggbb'] [--portal] [--qt-wayland] -- command..." >&2; exit 2; }

tools=(sway swaybg Xwayland xhost dbus-run-session gdbus)
[ "$portal" = 1 ] && tools+=(pipewire grim /usr/libexec/xdg-desktop-portal /usr/libexec/xdg-desktop-portal-wlr
    /usr/libexec/xdg-desktop-portal-gtk /usr/libexec/xdg-permission-store)
for tool in "${tools[@]}"; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (run scripts/install-deps.sh)" >&2; exit 1; }
done

as_session=()
[ "$(id -u)" -eq 0 ] && as_session=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)

begin_scratch
# The compositor's user owns session/ only; the caller's own runtime folder stays private.
chmod 711 "$work"
mkdir -p "$work/session/runtime" "$work/session/home" "$work/runtime" "$work/home" "$work/portals"
chmod 700 "$work/session/runtime" "$work/runtime"
[ ${#as_session[@]} -eq 0 ] || chown -R nobody:nogroup "$work/session"

# "xwayland force" starts Xwayland with sway rather than on its first client, so the grant below
# lands on the server the command will use.
# Outputs side by side, each as wide as the mode divided by the scale (its height where it is
# turned by a quarter).
width=$(( ${size%x*} / scale ))
case "$transform" in *90|*270) width=$(( ${size#*x} / scale )) ;; esac
for n in $(seq 1 "$outputs"); do
    echo "output HEADLESS-$n resolution $size position $(( (n - 1) * width )) 0 scale $scale transform $transform bg $background solid_color"
done >"$work/session/outputs"
cat >"$work/session/config" <<EOF
xwayland force
include $work/session/outputs
seat * hide_cursor 100
default_border none
exec echo "\$DISPLAY \$SWAYSOCK" >$work/session/ready.tmp && mv $work/session/ready.tmp $work/session/ready
EOF

env -i PATH="$PATH" HOME="$work/session/home" XDG_RUNTIME_DIR="$work/session/runtime" \
    WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 WLR_HEADLESS_OUTPUTS="$outputs" \
    "${as_session[@]}" sway -c "$work/session/config" >"$work/sway.log" 2>&1 &
sway_pid=$!
stop_also+=("$sway_pid")
for _ in $(seq 1 200); do
    [ -s "$work/session/ready" ] && break
    kill -0 "$sway_pid" 2>/dev/null || { cat "$work/sway.log" >&2; exit 1; }
    sleep 0.05
done
[ -s "$work/session/ready" ] || { echo "sway did not start" >&2; cat "$work/sway.log" >&2; exit 1; }
read -r display swaysock <"$work/session/ready"
socket=
for s in "$work"/session/runtime/wayland-*; do [ -S "$s" ] && socket=${s##*/}; done
[ -n "$socket" ] || { echo "sway made no Wayland socket" >&2; exit 1; }

export DISPLAY=$display SWAYSOCK=$swaysock WAYLAND_DISPLAY=$socket XDG_SESSION_TYPE=wayland
export XDG_CURRENT_DESKTOP=sway PIXOLVA_SWAY_SIZE=$size
unset QT_QPA_PLATFORM QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR DBUS_SESSION_BUS_ADDRESS
[ -z "$qt_platform" ] || export QT_QPA_PLATFORM=$qt_platform
# Also waits for Xwayland: the grant is its first client.
timeout 10 "${as_session[@]}" xhost +si:localuser:"$(id -un)" >/dev/null ||
    { echo "Xwayland on $DISPLAY does not answer" >&2; cat "$work/sway.log" >&2; exit 1; }

export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
ln -s "$work/session/runtime/$socket" "$XDG_RUNTIME_DIR/$socket"
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache

# Only these two backends, whatever other desktops this machine has installed.
printf '[portal]\nDBusName=%s\nInterfaces=%s\nUseIn=sway\n' \
    org.freedesktop.impl.portal.desktop.wlr 'org.freedesktop.impl.portal.Screenshot;' >"$work/portals/wlr.portal"
printf '[portal]\nDBusName=%s\nInterfaces=%s\nUseIn=sway\n' \
    org.freedesktop.impl.portal.desktop.gtk 'org.freedesktop.impl.portal.Access;' >"$work/portals/gtk.portal"
export XDG_DESKTOP_PORTAL_DIR=$work/portals
# A bus of its own in every case (else a D-Bus client on DISPLAY autolaunches one that outlives
# us), which starts nothing on demand: every process here is ours to stop.
write_bus_conf "$work/bus.conf" session "unix:dir=$XDG_RUNTIME_DIR"
# In a process group of its own, so that a timeout ends everything it started.
set -m
dbus-run-session --config-file="$work/bus.conf" -- "$0" --on-bus "$(dirname "$XDG_RUNTIME_DIR")" "$portal" "$@" &
main=$!
set +m
wait "$main"
