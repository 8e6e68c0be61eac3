#!/usr/bin/env bash
# The language file under hostile starts: the program killed with SIGKILL at random moments of a
# first start, and two instances started at once. Runs on Qt's offscreen platform.
#
#   bench/language-file-kill-test.sh build/pixolva [kills] [pairs]
#
# After every kill the file must be absent or one complete version (the one before the start or
# the completed one), and the next start must complete it and leave no temporary behind. After
# every pair of starts the file must be complete: no text lost, none twice.
set -euo pipefail
program=$(realpath "$1")
kills=${2:-1000}
pairs=${3:-40}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$program" "$work/pixolva"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work
lng=$work/pixolva.lng

# Runs the program until the file is complete (at most 10 s) and ends it.
complete_start() {
    "$work/pixolva" 2>/dev/null &
    local pid=$! i
    for i in $(seq 1000); do
        [ -f "$lng" ] && cmp -s "$lng" "$work/complete" && break
        sleep 0.01
    done
    kill -9 "$pid"
    wait "$pid" 2>/dev/null || true
}

rm -f "$lng"
touch "$work/complete"
"$work/pixolva" 2>/dev/null & pid=$!
until [ -s "$lng" ]; do sleep 0.01; done
sleep 0.5
kill -9 "$pid"; wait "$pid" 2>/dev/null || true
mv "$lng" "$work/complete"
start=$(date +%s%N)
"$work/pixolva" 2>/dev/null & pid=$!
until [ -s "$lng" ]; do sleep 0.002; done
written_ms=$((($(date +%s%N) - start) / 1000000))
kill -9 "$pid"; wait "$pid" 2>/dev/null || true
echo "a first start writes the file after $written_ms ms"
# An earlier version: the first start of a build that had fewer texts.
head -n -8 "$work/complete" > "$work/earlier"
entries=$(grep -c = "$work/complete")

leftovers() { find "$work" -maxdepth 1 -name 'pixolva.lng?*' | wc -l; }

bad=0 absent=0 earlier=0 completed=0 temporaries=0
for i in $(seq "$kills"); do
    from=absent
    rm -f "$lng"
    if [ $((RANDOM % 2)) -eq 0 ]; then from=earlier; cp "$work/earlier" "$lng"; fi
    # Kills anywhere from the start to just after the file is written (found by measuring it).
    delay=$((RANDOM % (written_ms + 15)))
    "$work/pixolva" 2>/dev/null & pid=$!
    sleep "$(printf '0.%03d' "$delay")"
    kill -9 "$pid"; wait "$pid" 2>/dev/null || true
    if [ ! -e "$lng" ] && [ "$from" = absent ]; then absent=$((absent + 1))
    elif [ -e "$lng" ] && cmp -s "$lng" "$work/$from"; then earlier=$((earlier + 1))
    elif [ -e "$lng" ] && cmp -s "$lng" "$work/complete"; then completed=$((completed + 1))
    else bad=$((bad + 1)); echo "kill $i after ${delay} ms from $from: torn or partial file"; fi
    [ "$(leftovers)" -eq 0 ] || temporaries=$((temporaries + 1))
    if ! cmp -s "$lng" "$work/complete" 2>/dev/null || [ "$(leftovers)" -ne 0 ]; then
        complete_start
        if ! cmp -s "$lng" "$work/complete" || [ "$(leftovers)" -ne 0 ]; then
            bad=$((bad + 1)); echo "kill $i: the next start did not complete the file or left a temporary"
        fi
    fi
done
echo "kills: $kills; file absent $absent, as before $earlier, complete $completed; temporaries seen right after a kill $temporaries; failures $bad"

lost=0
for i in $(seq "$pairs"); do
    rm -f "$lng"
    [ $((i % 2)) -eq 0 ] && cp "$work/earlier" "$lng"
    "$work/pixolva" 2>/dev/null & a=$!
    "$work/pixolva" 2>/dev/null & b=$!
    for j in $(seq 300); do
        [ -f "$lng" ] && cmp -s "$lng" "$work/complete" && break
        sleep 0.01
    done
    # Both have loaded their window by now; their commits are done.
    sleep 0.5
    kill -9 "$a" "$b"; wait "$a" "$b" 2>/dev/null || true
    if ! cmp -s "$lng" "$work/complete" || [ "$(leftovers)" -ne 0 ]; then
        lost=$((lost + 1)); echo "pair $i: $(grep -c = "$lng" || true) of $entries entries"
    fi
done
echo "pairs: $pairs; incomplete $lost"
[ "$bad" -eq 0 ] && [ "$lost" -eq 0 ]
