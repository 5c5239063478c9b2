#!/bin/bash
# Start-up of the real executable (offscreen): a first start writes the complete settings
# file beside the executable; a second start of the same file ends at once, from any
# environment; copies elsewhere, also under a name that differs only in case, run side by
# side; a settings file that is read-only or a FIFO stays as it is while the program runs;
# with the executable's path unknown it still runs, once; without a display it answers --help
# and --version, refuses anything else and says there is no display; on an X server without a
# session bus it leaves none behind; as root, the lock holds whatever happens to /run/user and
# /tmp, and an installed copy writes nothing beside itself; the version check comes before
# the lock. Usage: startup_test.sh PATH-TO-corvala PATH-TO-fail_uname.so
set -u
exe=$(realpath "$1")
fail_uname=$(realpath "$2")
work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen
mkdir -p "$work/run" "$work/other"
chmod 700 "$work/run" "$work/other"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    rm -rf "$work"
    # Lock files outlive their program by design: remove those of the copies run here.
    rm -f "$(getent passwd "$(id -u)" | cut -d: -f6)/.local/state/corvala-locks/${work//\//_}"_*.lock
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

# Copies the program to $1 and starts it there in the background.
start() {
    mkdir -p "$(dirname "$1")"
    cp "$exe" "$1"
    "$1" & pids+=($!)
}

# The main window is up once the program catches SIGTERM.
wait_up() {
    local mask
    for _ in $(seq 300); do
        mask=$(awk '/^SigCgt:/ {print $2}' "/proc/$1/status" 2>/dev/null) || return 1
        [ -n "$mask" ] && (( (16#$mask >> 14) & 1 )) && return 0
        sleep 0.1
    done
    return 1
}

# A clean end through the main window: SIGTERM, then exit status 0.
stop_cleanly() {
    kill -TERM "$1"
    wait "$1"
}

# Runs a command that must end at once with status 0 (a second start).
ends_at_once() {
    local start status
    start=$(date +%s%N)
    timeout 10 "$@"
    status=$?
    elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
    [ "$status" -eq 0 ] || fail "second start ($*) ended with status $status"
    [ "$elapsed_ms" -lt 5000 ] || fail "second start ($*) took ${elapsed_ms} ms"
}

wait_for_complete() {
    for _ in $(seq 300); do
        grep -q '^COLOR_16=' "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    fail "the settings file $1 was not completed"
}

start "$work/a/corvala"
ini=$work/a/corvala.ini
wait_for_complete "$ini"
sections=$(grep -o '^\[[A-Z_0-9]*\]' "$ini" | tr -d '[]' | tr '\n' ' ')
expected="RECENT_WNDPOS CNTDATA_1 CNTDATA_2 CNTDATA_3 CNTDATA_4 CNTDATA_5 CNTDATA_6 CNTDATA_7 CNTDATA_8 CNTDATA_9 CNTDATA_10 TIME CNTBASE COLOR_DIALOG "
[ "$sections" = "$expected" ] || fail "sections in the wrong order: $sections"
[ "$(grep -c '=' "$ini")" -eq 97 ] || fail "expected 97 keys, found $(grep -c '=' "$ini")"
grep -qx 'COLOR="0, 255, 0"' "$ini" || fail "colour text form"
kill -0 "${pids[0]}" 2>/dev/null || fail "the first instance is not running"

ends_at_once "$work/a/corvala"
first_ms=$elapsed_ms
ends_at_once env XDG_RUNTIME_DIR="$work/other" "$work/a/corvala"
ends_at_once env -u XDG_RUNTIME_DIR "$work/a/corvala"

start "$work/A/corvala"
wait_up $! || fail "a copy in a directory that differs only in case did not start"

# Read-only: nothing is written, at start-up (missing keys) or at exit (placement).
start_readonly() {
    mkdir -p "$work/ro"
    printf '[TIME]\nCOUNTER_WAIT=1000\n' >"$work/ro/corvala.ini"
    chmod 444 "$work/ro/corvala.ini"
    before=$(stat -c '%i %a %s %Y' "$work/ro/corvala.ini")
    start "$work/ro/corvala"
}
start_readonly
pid=$!
wait_up $pid || fail "no main window with a read-only settings file"
stop_cleanly $pid || fail "ended with status $? with a read-only settings file"
[ "$(stat -c '%i %a %s %Y' "$work/ro/corvala.ini")" = "$before" ] || fail "the read-only settings file was replaced"

mkdir -p "$work/fifo"
mkfifo "$work/fifo/corvala.ini"
start "$work/fifo/corvala"
pid=$!
wait_up $pid || fail "no main window with a FIFO as the settings file"
stop_cleanly $pid || fail "ended with status $? with a FIFO as the settings file"
[ -p "$work/fifo/corvala.ini" ] || fail "the FIFO was replaced"

# The version check comes first: with the version query failing, a copy started beside a
# running one shows its message (a window on an X server) rather than ending silently.
if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
    start "$work/v/corvala"
    wait_up $! || fail "no main window in $work/v"
    xvfb-run -a sh -c '"$@" & pid=$!
        timeout 30 xdotool search --sync --onlyvisible --pid $pid >/dev/null; shown=$?
        kill -9 $pid; exit $shown' sh \
        env LD_PRELOAD="$fail_uname" ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" \
        QT_QPA_PLATFORM=xcb "$work/v/corvala" ||
        fail "no message from a copy whose version query failed beside a running one"
else
    echo "SKIP: the version message needs xvfb-run and xdotool"
fi

# An executable path longer than PATH_MAX cannot be read back from /proc/self/exe. Such a
# path cannot be given to cd or exec at once: walk down and start it from there.
deep=$(printf 'd%.0s' $(seq 250))
start_deep() {
    cd "$work" || exit 1
    for _ in $(seq 17); do
        mkdir -p "$deep" && cd "$deep" || exit 1
    done
    [ -e corvala ] || cp "$exe" corvala
    exec env ./corvala # bash would make the path absolute, too long to run
}
(start_deep) & pids+=($!)
wait_for_complete "$work/config/corvala/corvala.ini"
wait_up "${pids[-1]}" || fail "no main window with the executable's path unknown"
ends_at_once bash -c "$(declare -f start_deep); work=$work deep=$deep exe=$exe start_deep"

# Without a display: --help and --version answer, anything else is refused with status 2,
# and a start says in one line that there is no display.
nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$exe" "$@" 2>"$work/err"; }
out=$(nodisplay --help) || fail "--help ended with status $?"
[[ $out == "Usage: corvala "* ]] || fail "--help printed: $out"
out=$(nodisplay --version) || fail "--version ended with status $?"
[[ $out =~ ^corvala\ [0-9.]+$ ]] || fail "--version printed: $out"
for args in --bogus -platform "-session x extra"; do
    nodisplay $args; status=$?
    [ "$status" -eq 2 ] && grep -q '^Usage: corvala' "$work/err" || fail "'$args' ended with status $status"
done
nodisplay; status=$?
[ "$status" -eq 1 ] && [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q 'no display' "$work/err" ||
    fail "without a display: status $status, $(cat "$work/err")"

# On an X server without a session bus: no bus of the program's making stays behind.
if command -v Xvfb >/dev/null && command -v dbus-launch >/dev/null; then
    Xvfb -displayfd 5 -nolisten tcp 5>"$work/display" 2>/dev/null & pids+=($!)
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    display=:$(head -n 1 "$work/display")
    mkdir -p "$work/x" && cp "$exe" "$work/x/corvala"
    env -u DBUS_SESSION_BUS_ADDRESS -u QT_QPA_PLATFORM DISPLAY="$display" "$work/x/corvala" & pids+=($!)
    pid=$!
    wait_up $pid || fail "no main window on Xvfb"
    stop_cleanly $pid || fail "ended with status $? on Xvfb"
    left=""
    for proc in /proc/[0-9]*; do
        case $(cat "$proc/comm" 2>/dev/null) in dbus-daemon | dbus-launch) ;; *) continue ;; esac
        tr '\0' '\n' <"$proc/environ" 2>/dev/null | grep -qx "DISPLAY=$display" || continue
        left="$left $(tr '\0' ' ' <"$proc/cmdline")"
        kill "${proc#/proc/}"
    done
    [ -z "$left" ] || fail "a session bus stayed behind:$left"
else
    echo "SKIP: the session bus check needs Xvfb and dbus-launch (dbus-x11)"
fi

# In a mount namespace of our own, with /tmp, /run, /usr/local/bin and the home directory on
# fresh tmpfs so that nothing real is touched: what comes, goes or is cleaned up around a
# running copy never lets a second one run (the runtime folder appearing and going, the old
# /tmp folder cleaned and taken by another user), another user's folder in /tmp stops no
# one, and an installed copy run by root keeps its settings in root's own folder.
if [ "$(id -u)" -eq 0 ] && unshare -m --propagation private true 2>/dev/null; then
    export -f start wait_up ends_at_once fail
    export exe
    unshare -m --propagation private bash -c '
        exec 3<"$exe" # the build tree may lie under a directory covered below
        for dir in /tmp /run /usr/local/bin "$(getent passwd 0 | cut -d: -f6)"; do
            mount -t tmpfs tmpfs "$dir" || exit 1
        done
        mkdir /run/user /tmp/w && cat <&3 >/tmp/w/corvala && chmod 755 /tmp/w/corvala
        trap "kill \$pid 2>/dev/null" EXIT
        for change in "mkdir -m 700 /run/user/0" "rm -r /run/user/0" \
            "rm -rf /tmp/corvala-0; mkdir -m 777 /tmp/corvala-0; chown 65534:65534 /tmp/corvala-0"; do
            /tmp/w/corvala & pid=$!
            wait_up $pid || fail "no start before: $change"
            eval "$change"
            ends_at_once /tmp/w/corvala
            kill $pid; wait $pid
        done
        /tmp/w/corvala & pid=$!
        wait_up $pid || fail "a lock directory of another user in /tmp stopped the start"
        ends_at_once env XDG_RUNTIME_DIR=/tmp /tmp/w/corvala
        [ -z "$(ls -A /tmp/corvala-0)" ] || fail "a lock was taken in the other user'"'"'s directory"
        kill $pid
        cp /tmp/w/corvala /usr/local/bin/corvala
        XDG_CONFIG_HOME=/tmp/config /usr/local/bin/corvala & pid=$!
        wait_up $pid || fail "no start of the installed copy"
        [ -s /tmp/config/corvala/corvala.ini ] && [ ! -e /usr/local/bin/corvala.ini ] ||
            fail "the installed copy run by root wrote beside itself"
    ' || exit 1
else
    echo "SKIP: the lock's folder and the installed copy need root and mount namespaces"
fi
echo "PASS (second start ended after ${first_ms} ms)"
