#!/usr/bin/env bash
# Runs a command on a private X11 desktop: its own Xvfb, optionally openbox and RandR monitors.
#
#   with-x11-desktop.sh [--screen WxHxD] [--wm] [--monitor 'NAME GEOMETRY OUTPUT']... -- command...
#
# A monitor is given as xrandr --setmonitor takes it, e.g. '*A 1280/338x1024/271+0+0 screen'
# (a leading * marks the primary; one monitor must own the output "screen").
set -euo pipefail

screen=2560x1024x24
wm=0
monitors=()
while [ $# -gt 0 ]; do
    case "$1" in
        --screen) screen=$2; shift 2 ;;
        --wm) wm=1; shift ;;
        --monitor) monitors+=("$2"); shift 2 ;;
        --) shift; break ;;
        *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--screen WxHxD] [--wm] [--monitor MONITOR]... -- command..." >&2; exit 2; }

work=$(mktemp -d)
xvfb_pid=
wm_pid=
cleanup() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# -noreset keeps the RandR monitors when the last client (xrandr) disconnects.
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 1 200); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log" >&2; exit 1; }
    sleep 0.05
done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR
export QT_QPA_PLATFORM=xcb

for monitor in "${monitors[@]}"; do
    # shellcheck disable=SC2086
    xrandr --setmonitor $monitor >/dev/null
done

if [ "$wm" = 1 ]; then
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    for _ in $(seq 1 200); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.05
    done
    # openbox announces itself before it has finished starting; on a busy machine a window
    # mapped in that moment was seen to stay unmanaged and never exposed.
    sleep 0.5
fi

"$@"
