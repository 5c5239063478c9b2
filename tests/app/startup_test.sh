#!/bin/bash
# Start-up of the real executable (offscreen): a first start writes the complete settings
# file beside the executable; a second start of the same file ends at once; a copy in
# another directory runs side by side. Usage: startup_test.sh PATH-TO-corvala
set -u
exe=$1
work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=offscreen
mkdir -p "$work/run" "$work/a" "$work/b"
chmod 700 "$work/run"
cp "$exe" "$work/a/corvala"
cp "$exe" "$work/b/corvala"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$work/a/corvala" & pids+=($!)
ini=$work/a/corvala.ini
for _ in $(seq 100); do
    grep -q '^COLOR_16=' "$ini" 2>/dev/null && break
    sleep 0.1
done
grep -q '^COLOR_16=' "$ini" || fail "the settings file was not completed"

sections=$(grep -o '^\[[A-Z_0-9]*\]' "$ini" | tr -d '[]' | tr '\n' ' ')
expected="RECENT_WNDPOS CNTDATA_1 CNTDATA_2 CNTDATA_3 CNTDATA_4 CNTDATA_5 CNTDATA_6 CNTDATA_7 CNTDATA_8 CNTDATA_9 CNTDATA_10 TIME CNTBASE COLOR_DIALOG "
[ "$sections" = "$expected" ] || fail "sections in the wrong order: $sections"
[ "$(grep -c '=' "$ini")" -eq 97 ] || fail "expected 97 keys, found $(grep -c '=' "$ini")"
grep -qx 'COLOR="0, 255, 0"' "$ini" || fail "colour text form"
kill -0 "${pids[0]}" 2>/dev/null || fail "the first instance is not running"

start=$(date +%s%N)
timeout 10 "$work/a/corvala"
status=$?
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$status" -eq 0 ] || fail "second start ended with status $status"
[ "$elapsed_ms" -lt 5000 ] || fail "second start took ${elapsed_ms} ms"

"$work/b/corvala" & pids+=($!)
sleep 1
kill -0 "${pids[1]}" 2>/dev/null || fail "a copy in another directory did not keep running"
echo "PASS (second start ended after ${elapsed_ms} ms)"
