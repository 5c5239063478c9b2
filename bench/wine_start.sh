#!/bin/sh
# Start-up time of the Windows program under Wine: seconds from `wine corvala.exe` to its main
# window on the screen of a private Xvfb with Openbox and tint2, first in a fresh Wine prefix
# (which Wine makes on the way), then with the prefix made and no Wine server running, then
# with the server still running.
#   bench/wine_start.sh build-win/corvala.exe
set -eu
exe=$(realpath "$1")
work=$(mktemp -d)
trap 'WINEPREFIX=$work/prefix wineserver -k 2>/dev/null || true; kill $panel $wm $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir "$work/app" && cp "$exe" "$work/app/corvala.exe"

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 & xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
openbox --sm-disable >/dev/null 2>&1 & wm=$!
tint2 -c "$(dirname "$0")/../tests/e2e/tint2rc" >/dev/null 2>&1 & panel=$!
sleep 2

measure() {
    start=$(date +%s.%N)
    wine "$work/app/corvala.exe" >/dev/null 2>&1 & program=$!
    for _ in $(seq 1200); do
        xdotool search --onlyvisible --name '^corvala$' >/dev/null 2>&1 && break
        sleep 0.05
    done
    echo "$1: $(echo "$(date +%s.%N) - $start" | bc) s"
    kill $program; wait $program 2>/dev/null || true
}
measure "fresh prefix"
wineserver -k; sleep 2
measure "prefix made, no server"
sleep 1
measure "server running"
