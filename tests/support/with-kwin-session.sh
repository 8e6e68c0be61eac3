#!/usr/bin/env bash
# Runs a command in a private KDE Plasma session: headless KWin (Wayland, with Xwayland) and
# Pixolva installed from a build into a scratch prefix, with its desktop entry, as a user has it.
#
#   with-kwin-session.sh --install BUILD_DIR [--size WxH] [--outputs N] -- command...
#
# KWin lets only a program started from an installed desktop entry that names
# org.kde.KWin.ScreenShot2 use its screenshots, and only when the process's executable is the
# entry's Exec: the installed pixolva is that program; nothing here switches KWin's checks off.
# The command gets WAYLAND_DISPLAY, DISPLAY and XAUTHORITY (Xwayland), XDG_RUNTIME_DIR,
# XDG_SESSION_TYPE=wayland, XDG_CURRENT_DESKTOP=KDE, PIXOLVA_KWIN_SIZE (WxH) and
# PIXOLVA_INSTALLED (the installed executable). With --outputs 2 KWin has two virtual monitors of
# that size side by side, and PIXOLVA_KWIN_OUTPUTS says how many.
set -euo pipefail
. "$(dirname "$0")/session-bus.sh"

# Second stage, on the private session bus: KWin, then the command once Xwayland is up.
if [ "${1:-}" = --on-bus ]; then
    work=$2 size=$3 outputs=$4; shift 4
    kwin_pid=
    cleanup() {
        [ -n "$kwin_pid" ] && kill "$kwin_pid" 2>/dev/null || true
        wait 2>/dev/null || true
        return 0
    }
    trap cleanup EXIT
    # KWin starts the application named last once Wayland and Xwayland are up, with both in its
    # environment; that one writes them down for the command.
    printf '#!/bin/sh\nenv | grep -E "^(DISPLAY|XAUTHORITY)=" >"%s/env.tmp" && mv "%s/env.tmp" "%s/env"\n' \
        "$work" "$work" "$work" >"$work/ready.sh"
    chmod +x "$work/ready.sh"
    # A copy of the binary: the file capability of the installed one cannot be used in containers.
    cp "$(command -v kwin_wayland)" "$work/kwin_wayland"
    "$work/kwin_wayland" --virtual --width "${size%x*}" --height "${size#*x}" --output-count "$outputs" --xwayland --no-lockscreen \
        --no-global-shortcuts --no-kactivities --socket "$WAYLAND_DISPLAY" "$work/ready.sh" >"$work/kwin.log" 2>&1 &
    kwin_pid=$!
    for _ in $(seq 1 300); do
        [ -s "$work/env" ] && break
        kill -0 "$kwin_pid" 2>/dev/null || { echo "KWin ended" >&2; cat "$work/kwin.log" >&2; exit 1; }
        sleep 0.05
    done
    [ -s "$work/env" ] || { echo "KWin did not start Xwayland" >&2; cat "$work/kwin.log" >&2; exit 1; }
    set -a
    . "$work/env"
    set +a
    gdbus wait --session --timeout 10 org.kde.KWin.ScreenShot2 ||
        { echo "KWin offers no ScreenShot2" >&2; cat "$work/kwin.log" >&2; exit 1; }
    "$@"
    exit
fi

size=1280x1024
outputs=1
build=
while [ $# -gt 0 ]; do
    case "$1" in
        --size) size=$2; shift 2 ;;
        --install) build=$2; shift 2 ;;
        --outputs) outputs=$2; shift 2 ;;
        --) shift; break ;;
        *) break ;;
    esac
done
[ $# -gt 0 ] && [ -n "$build" ] ||
    { echo "usage: $0 --install BUILD_DIR [--size WxH] [--outputs N] -- command..." >&2; exit 2; }
for tool in kwin_wayland Xwayland dbus-run-session gdbus cmake; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (run scripts/install-deps.sh)" >&2; exit 1; }
done

begin_scratch
mkdir -p "$work/home" "$work/runtime" "$work/prefix"
chmod 700 "$work/runtime"
cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" ||
    { cat "$work/install.log" >&2; exit 1; }

# Everything a session has, set before the bus, so that what the bus starts sees it too.
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
export XDG_DATA_DIRS=$work/prefix/share:/usr/local/share:/usr/share
export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=KDE WAYLAND_DISPLAY=wayland-0 LIBGL_ALWAYS_SOFTWARE=1
export PIXOLVA_KWIN_SIZE=$size PIXOLVA_KWIN_OUTPUTS=$outputs PIXOLVA_INSTALLED=$work/prefix/bin/pixolva
unset DISPLAY XAUTHORITY KWIN_COMPOSE QT_QPA_PLATFORM QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS DBUS_SESSION_BUS_ADDRESS
# A bus of our own that starts nothing on demand: every process here is ours to stop.
write_bus_conf "$work/bus.conf" session "unix:dir=$XDG_RUNTIME_DIR"
# In a process group of its own, so that a timeout ends everything it started.
set -m
dbus-run-session --config-file="$work/bus.conf" -- "$0" --on-bus "$work" "$size" "$outputs" "$@" &
main=$!
set +m
wait "$main"
