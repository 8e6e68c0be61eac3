#!/usr/bin/env bash
# Runs a command on a private X11 desktop: its own Xvfb, optionally openbox and RandR monitors.
#
#   with-x11-desktop.sh [--screen WxHxD] [--wm] [--scale N] [--monitor 'NAME GEOMETRY OUTPUT']... -- command...
#
# A monitor is given as xrandr --setmonitor takes it, e.g. '*A 1280/338x1024/271+0+0 screen'
# (a leading * marks the primary; one monitor must own the output "screen"). --scale sets Qt's
# scale factor for the command.
set -euo pipefail
screen=2560x1024x24 wm=0 scale= monitors=()
while [ $# -gt 0 ]; do
    case "$1" in
        --screen) screen=$2; shift 2 ;;
        --wm) wm=1; shift ;;
        --scale) scale=$2; shift 2 ;;
        --monitor) monitors+=("$2"); shift 2 ;;
        --) shift; break ;;
        *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "usage: see the head of $0" >&2; exit 2; }

work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

# -noreset keeps the RandR monitors when the last client (xrandr) disconnects.
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 1 500); do [ -s "$work/display" ] && break; sleep 0.02; done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR
[ -z "$scale" ] || export QT_SCALE_FACTOR=$scale
for monitor in "${monitors[@]}"; do
    # shellcheck disable=SC2086
    xrandr --setmonitor $monitor >/dev/null
done

if [ "$wm" = 1 ]; then
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    pids+=($!)
    # openbox announces itself before it manages windows, and a window mapped in that moment may
    # stay unmanaged: ready once it has framed a probe, shown again until it has.
    ready=
    for _ in $(seq 1 20); do
        xmessage -title pixolva-probe probe &
        probe=$!
        for _ in $(seq 1 25); do
            xprop -name pixolva-probe _NET_FRAME_EXTENTS 2>/dev/null | grep -q = && ready=1 && break
            sleep 0.04
        done
        kill "$probe" 2>/dev/null || true
        wait "$probe" 2>/dev/null || true
        [ -z "$ready" ] || break
    done
    [ -n "$ready" ] || { cat "$work/openbox.log" >&2; exit 1; }
fi
"$@"
