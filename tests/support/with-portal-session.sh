#!/usr/bin/env bash
# Runs a command on its own session bus with the real desktop portal and a fake desktop behind it.
#
#   with-portal-session.sh [--deny|--cancel|--slow|--hang|--no-portal] [--size WxH] -- command...
#
# Screenshot hands out a copy of a pattern in which each pixel tells its own place (see
# portal_backend.py), with a shadow's margin round it where the user picks a window; PickColor the
# colour 51, 102, 255. --deny refuses the Access question a non-interactive screenshot asks, --cancel makes Screenshot and PickColor answer "cancelled",
# --slow makes Screenshot answer after ten seconds (as a user who takes that long in a dialog),
# --hang makes it stop the fake desktop for a minute (as a desktop that is stuck), and
# --no-portal leaves the bus without any portal. The command gets:
#   PIXOLVA_PORTAL_PATTERN  the picture Screenshot hands out
#   PIXOLVA_PORTAL_SHOTS    the folder the handed-out copies are written to
set -euo pipefail
. "$(dirname "$0")/session-bus.sh"

here=$(cd "$(dirname "$0")" && pwd)
# The system interpreter: python3-dbusmock is installed for it, not for one earlier on PATH.
python=/usr/bin/python3
portal=/usr/libexec/xdg-desktop-portal
store=/usr/libexec/xdg-permission-store

# Second stage, on the private bus that the first stage started.
if [ "${1:-}" = --on-bus ]; then
    shift
    work=$1 mode=$2; shift 2
    mock_pid=
    store_pid=
    portal_pid=
    cleanup() {
        [ -n "$portal_pid" ] && kill "$portal_pid" 2>/dev/null || true
        [ -n "$store_pid" ] && kill "$store_pid" 2>/dev/null || true
        [ -n "$mock_pid" ] && kill "$mock_pid" 2>/dev/null || true
        wait 2>/dev/null || true
    }
    trap cleanup EXIT
    await() {
        gdbus wait --session --timeout 10 "$1" ||
            { echo "$1 did not appear on the bus" >&2; cat "$work/$2" >&2; exit 1; }
    }
    if [ "$mode" != no-portal ]; then
        screenshot=0 access=0 delay=0 hang=0
        [ "$mode" = cancel ] && screenshot=1
        [ "$mode" = slow ] && delay=10
        [ "$mode" = hang ] && hang=60
        [ "$mode" = deny ] && access=2
        # Each comes up only after what it talks to: the portal reads the backend's version (2 makes
        # it ask Access first) and the permission store when it starts, and nothing is started on
        # demand here.
        "$python" -m dbusmock -t "$here/portal_backend.py" -l "$work/backend.log" -p "{\"pattern\": \"$PIXOLVA_PORTAL_PATTERN\",
            \"window\": \"$work/window.png\", \"shots\": \"$PIXOLVA_PORTAL_SHOTS\", \"screenshot\": $screenshot, \"access\": $access,
            \"delay\": $delay, \"hang\": $hang}" \
            >"$work/backend.out" 2>&1 &
        mock_pid=$!
        await org.freedesktop.impl.portal.Test backend.out
        "$store" >"$work/store.out" 2>&1 &
        store_pid=$!
        await org.freedesktop.impl.portal.PermissionStore store.out
        "$portal" >"$work/portal.out" 2>&1 &
        portal_pid=$!
        await org.freedesktop.portal.Desktop portal.out
        gdbus call --session -d org.freedesktop.portal.Desktop -o /org/freedesktop/portal/desktop \
            -m org.freedesktop.DBus.Properties.Get org.freedesktop.portal.Screenshot version >/dev/null ||
            { echo "the portal offers no Screenshot" >&2; cat "$work/portal.out" >&2; exit 1; }
    fi
    "$@"
    exit
fi

mode=allow
size=1280x1024
while [ $# -gt 0 ]; do
    case "$1" in
        --deny) mode=deny; shift ;;
        --cancel) mode=cancel; shift ;;
        --slow) mode=slow; shift ;;
        --hang) mode=hang; shift ;;
        --no-portal) mode=no-portal; shift ;;
        --size) size=$2; shift 2 ;;
        --) shift; break ;;
        *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--deny|--cancel|--slow|--hang|--no-portal] [--size WxH] -- command..." >&2; exit 2; }

for tool in dbus-run-session gdbus "$portal" "$store"; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (run scripts/install-deps.sh)" >&2; exit 1; }
done
"$python" -c 'import dbusmock' 2>/dev/null || { echo "missing: python3-dbusmock (run scripts/install-deps.sh)" >&2; exit 1; }

begin_scratch
mkdir -p "$work/home/Pictures" "$work/config" "$work/data" "$work/cache" "$work/runtime" "$work/portals" "$work/services"
chmod 700 "$work/runtime"

export PIXOLVA_PORTAL_PATTERN=$work/pattern.png
"$python" "$here/portal_backend.py" pattern "$PIXOLVA_PORTAL_PATTERN" "${size%x*}" "${size#*x}"
# The window the dialog hands over: the pattern with a shadow's margin, as GNOME hands over a window.
"$python" "$here/portal_backend.py" pattern "$work/window.png" "${size%x*}" "${size#*x}" 10
export PIXOLVA_PORTAL_SHOTS=$work/home/Pictures

cat >"$work/portals/pixolvatest.portal" <<EOF
[portal]
DBusName=org.freedesktop.impl.portal.Test
Interfaces=org.freedesktop.impl.portal.Screenshot;org.freedesktop.impl.portal.Access;
UseIn=pixolvatest
EOF
# The bus starts nothing on demand: no portal or desktop backend installed on this machine may
# step in for ours, nor appear under --no-portal, and every process here is ours to stop.
write_bus_conf "$work/bus.conf" session "unix:dir=$work" "<servicedir>$work/services</servicedir>"

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache
export XDG_RUNTIME_DIR=$work/runtime XDG_DESKTOP_PORTAL_DIR=$work/portals XDG_CURRENT_DESKTOP=pixolvatest
unset DBUS_SESSION_BUS_ADDRESS GTK_USE_PORTAL
# In a process group of its own, so that a timeout ends everything it started.
set -m
dbus-run-session --config-file="$work/bus.conf" -- "$0" --on-bus "$work" "$mode" "$@" &
main=$!
set +m
wait "$main"
