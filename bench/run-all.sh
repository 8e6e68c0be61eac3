#!/usr/bin/env bash
# Runs every benchmark of a build, each on its own private Xvfb at 3840 x 2160 with a private
# session bus, in rounds, and prints each round's result lines (every ratio to its floor on one
# line) and their medians.
#
#   bench/run-all.sh [BUILD_FOLDER] [--rounds N]     (default: build, 3 rounds)
#
# The floors are measured in the same run: a bare Qt window for the start-up, a raw MIT-SHM copy
# for the screen copy, and that copy written into a file for the capture into a file; on headless
# sway a raw screencopy client; on headless KWin a bare ScreenShot2 call. Details of every run go to BUILD_FOLDER/bench-details.txt.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=build
rounds=3
while [ $# -gt 0 ]; do
    case "$1" in
        --rounds) rounds=$2; shift 2 ;;
        -h|--help) sed -n '2,11p' "$0"; exit 0 ;;
        *) build=$1; shift ;;
    esac
done
bin="$build/bench"
[ -x "$build/pixolva" ] && [ -x "$bin/bench_startup" ] || {
    echo "no benchmarks in $build: build first (cmake --build $build)" >&2; exit 1; }
build=$(cd "$build" && pwd)
bin="$build/bench"
# A desktop session has its bus: without one, every Qt program would start a bus daemon of its own
# (D-Bus autolaunch) while it starts, and the start-up would time that.
desktop=(dbus-run-session -- "$source_dir/tests/support/with-x11-desktop.sh" --screen 3840x2160x24 --)
details="$build/bench-details.txt"
results=$(mktemp)
trap 'rm -f "$results"' EXIT
: >"$details"
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}

# Runs one benchmark; its result lines are those that start with a lower-case name and a colon.
run() {
    local name=$1; shift
    local out
    echo "== $name: $*" >>"$details"
    if ! out=$("$@" 2>>"$details"); then
        echo "$out" >>"$details"
        echo "$name: failed (see $details)" | tee -a "$results"
        return
    fi
    echo "$out" >>"$details"
    grep -E '^[a-z][^:]*: ' <<<"$out" | tee -a "$results" || true
}

known="bench_startup bench_capture bench_picker_tick bench_language_file bench_sway bench_kwin"
# Headless sway at 1280 x 1024 with the real portal, for the wlroots copies beside a raw screencopy.
sway=("$source_dir/tests/support/with-sway-session.sh" --size 1280x1024 --portal --)
for round in $(seq 1 "$rounds"); do
    echo "round $round of $rounds, load $(cut -d' ' -f1-3 /proc/loadavg)"
    run startup "${desktop[@]}" "$bin/bench_startup" "$build/pixolva" "$bin/floor_bare_window" 15
    if [ -x "$bin/bench_capture" ]; then
        run capture "${desktop[@]}" "$bin/bench_capture" "$build"
    else
        echo "capture: skipped, bench_capture not built (xcb-res missing)"
    fi
    run eyedropper "${desktop[@]}" "$bin/bench_picker_tick" 1500 20
    run language "$bin/bench_language_file"
    run sway "${sway[@]}" "$bin/bench_sway"
    run kwin "$source_dir/tests/support/with-kwin-session.sh" --install "$build" -- "$bin/bench_kwin"
    # Benchmarks added later (pastes, ...) run the same way, on their own desktop.
    for program in "$bin"/bench_*; do
        [ -f "$program" ] && [ -x "$program" ] || continue
        name=$(basename "$program")
        case " $known " in *" $name "*) continue ;; esac
        run "$name" "${desktop[@]}" "$program"
    done
done
echo "load at the end $(cut -d' ' -f1-3 /proc/loadavg)"

# Each result line's median round, by the first number on the line (the ratio where there is one).
echo "medians of $rounds rounds:"
awk '{
    key = $0; sub(/:.*/, "", key)
    value = $0; sub(/^[^:]*: [^0-9+-]*/, "", value); value = value + 0
    if (!(key in count)) order[++keys] = key
    lines[key, ++count[key]] = $0; values[key, count[key]] = value
}
END {
    for (k = 1; k <= keys; ++k) {
        key = order[k]; n = count[key]
        for (i = 1; i <= n; ++i) index_[i] = i
        for (i = 1; i <= n; ++i)
            for (j = i + 1; j <= n; ++j)
                if (values[key, index_[j]] < values[key, index_[i]]) { t = index_[i]; index_[i] = index_[j]; index_[j] = t }
        print "  " lines[key, index_[int((n + 1) / 2)]]
    }
}' "$results"
