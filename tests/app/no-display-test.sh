#!/usr/bin/env bash
# Without an X display the program says so in one German line and ends with exit code 1, before
# Qt could abort: DISPLAY unset, a Wayland session that does not answer, a display that does not answer.
set -u
failed=0
check() {  # what, the text expected, the environment
    local what=$1 expect=$2 err rc
    shift 2
    err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" "$program" 2>&1 >/dev/null) && rc=0 || rc=$?
    [ "$rc" -eq 1 ] && [ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] && [[ "$err" == *"$expect"* ]] ||
        { echo "FAIL: $what: exit $rc, stderr: $err"; failed=1; }
}
program=$1
check "DISPLAY unset" "DISPLAY ist nicht gesetzt"
check "Wayland session that does not answer" "Wayland-Sitzung „wayland-0“ (WAYLAND_DISPLAY) antwortet nicht" WAYLAND_DISPLAY=wayland-0
check "no server at DISPLAY" "Keine Verbindung zum X-Display „:987“" DISPLAY=:987
check "xcb asked for" "DISPLAY ist nicht gesetzt" QT_QPA_PLATFORM=xcb
exit $failed
