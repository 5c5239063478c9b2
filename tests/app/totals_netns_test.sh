#!/bin/bash
# Traffic totals of the real executable (offscreen, TOTALS=1) on a veth pair in namespaces
# made here: after each run, corvala-probe --totals shows the kernel's own delta over the runs'
# lifetimes within 0.1 %, a 30 s SIGSTOP included, with no database write while it runs; an
# interface re-created or renamed while the program is stopped adds nothing. Root only.
# Usage: totals_netns_test.sh PATH-TO-corvala PATH-TO-corvala-probe
set -u
[ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root for network namespaces"; exit 0; }
exe=$(realpath "$1") probe=$(realpath "$2") work=$(mktemp -d) a=corvala-tot$$a b=corvala-tot$$b pid=
trap '[ -n "$pid" ] && { kill -CONT $pid; kill -9 $pid; wait $pid; } 2>/dev/null; ip netns del $a 2>/dev/null
    ip netns del $b 2>/dev/null; rm -rf "$work" "$(getent passwd 0 | cut -d: -f6)/.local/state/corvala-locks/${work//\//_}"_*.lock' EXIT
fail() { echo "FAIL: $*"; exit 1; }
for ns in "$a" "$b"; do
    ip netns add "$ns" && ip netns exec "$ns" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 \
        net.ipv6.conf.default.disable_ipv6=1 || { echo "SKIP: cannot create network namespaces"; exit 0; }
done
ipa() { ip -n "$a" "$@" || fail "ip $*"; }
# tva (counted) in $a, its peer in $b: made anew, its counters start from zero.
connect() {
    ipa link add tva type veth peer name tvb netns "$b" && ipa addr add 10.77.1.1/24 dev tva &&
        ip -n "$b" addr add 10.77.1.2/24 dev tvb && ipa link set tva up && ip -n "$b" link set tvb up
}
rename() { ipa link set "$1" down && ipa link set "$1" name "$2" && ipa link set "$2" up; }
connect; cp "$exe" "$work/corvala" && db=$work/corvala.db
printf '[CNTBASE]\nINS_NAME="tva"\n[CORVALA_EXTRA]\nTOTALS=1\n' >"$work/corvala.ini"
rx() { ip netns exec "$a" cat /sys/class/net/tva/statistics/rx_bytes; }
send() { # $1 datagrams of 1000 bytes to tva
    ip netns exec "$b" python3 -c 'import socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
for _ in range(int(sys.argv[1])): s.sendto(b"c" * 1000, ("10.77.1.1", 9))' "$1" || fail "cannot send"
}
today() { "$probe" --totals --db "$db" | awk -F'\t' '$1 == "tva" && $2 == "today" {print $3}'; }
stamp() { stat -c '%n %s %.9Y' "$db"*; }
# Up once its database is there and its user-interface thread waits in poll: its first
# reading, from which it counts, was taken before.
start() {
    ip netns exec "$a" env QT_QPA_PLATFORM=offscreen "$work/corvala" 2>/dev/null &
    pid=$!
    for _ in $(seq 300); do
        [ -e "$db" ] && case $(cut -d' ' -f1 "/proc/$pid/syscall" 2>/dev/null) in 7 | 271) return 0 ;; esac
        sleep 0.1
    done
    fail "the program did not come up"
}
stop() { kill -TERM "$pid"; wait "$pid" || fail "the program ended with status $?"; pid=; }
near() { awk -v got="$1" -v want="$2" 'BEGIN { d = got - want; exit !(want > 0 && d * d <= want * want / 1e6) }'; }

before=$(rx); start; send 3000; stop
expected=$(( $(rx) - before ))
near "$(today)" "$expected" || fail "first run: $(today), the kernel counted $expected"

before=$(rx); start; written=$(stamp); send 1000
sleep 5 # five counting cycles
kill -STOP "$pid"; send 2000; sleep 30 # a pause as long as a short suspend
kill -CONT "$pid"; send 500
[ "$(stamp)" = "$written" ] || fail "the database was written while the program ran"
stop
expected=$(( expected + $(rx) - before ))
near "$(today)" "$expected" || fail "second run: $(today), the kernel counted $expected in both"

for event in "ipa link del tva && connect" "rename tva tvx"; do
    counted=$(today); start; send 100
    kill -STOP "$pid"; eval "$event"; send 5000; kill -CONT "$pid"; stop
    [ "$event" = "rename tva tvx" ] && rename tvx tva
    added=$(( $(today) - counted ))
    # At most the 100 datagrams sent before the event, none of the 5000 after it.
    [ "$added" -ge 0 ] && [ "$added" -le 110000 ] || fail "$event while stopped added $added bytes"
done
