#!/bin/bash
# Traffic totals of the real executable (offscreen, TOTALS=1) on a veth pair in network
# namespaces made here: what corvala-probe --totals reads after each run is the kernel's
# own delta over the runs' lifetimes, within 0.1 %; a 30 s SIGSTOP adds exactly the pause's
# traffic; deleting and re-creating the interface (its counters start again from zero) or
# renaming it, between runs or while the program is stopped, adds nothing false. The
# database is written at most once per five minutes while the program runs. Root only.
# Usage: totals_netns_test.sh PATH-TO-corvala PATH-TO-corvala-probe
set -u
[ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root for network namespaces"; exit 0; }
exe=$(realpath "$1")
probe=$(realpath "$2")
work=$(mktemp -d)
a=corvala-tot$$a b=corvala-tot$$b
pid=
cleanup() {
    [ -n "$pid" ] && { kill -CONT "$pid"; kill -9 "$pid"; wait "$pid"; } 2>/dev/null
    ip netns del "$a" 2>/dev/null; ip netns del "$b" 2>/dev/null
    rm -f "$(getent passwd "$(id -u)" | cut -d: -f6)/.local/state/corvala-locks/${work//\//_}"_*.lock
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

for ns in "$a" "$b"; do
    ip netns add "$ns" && ip netns exec "$ns" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 \
        net.ipv6.conf.default.disable_ipv6=1 || { echo "SKIP: cannot create network namespaces"; exit 0; }
done
# tva (counted) in $a, its peer tvb in $b: a fresh pair, whose counters start from zero.
connect() {
    ip -n "$a" link add tva type veth peer name tvb netns "$b" && ip -n "$a" addr add 10.77.1.1/24 dev tva &&
        ip -n "$b" addr add 10.77.1.2/24 dev tvb && ip -n "$a" link set tva up && ip -n "$b" link set tvb up ||
        fail "cannot make the veth pair"
}
connect
mkdir -p "$work/app"
cp "$exe" "$work/app/corvala"
printf '[CNTBASE]\nINS_NAME="tva"\n[CORVALA_EXTRA]\nTOTALS=1\n' >"$work/app/corvala.ini"
db=$work/app/corvala.db

rx() { ip netns exec "$a" cat /sys/class/net/"${1:-tva}"/statistics/rx_bytes; }
# $1 datagrams of 1000 bytes from $b to tva ($2: to the address of tva's peer side instead).
send() {
    ip netns exec "$b" python3 -c 'import socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
for _ in range(int(sys.argv[1])): s.sendto(b"c" * 1000, ("10.77.1.1", 9))' "$1" || fail "cannot send"
}
today() { "$probe" --totals --db "$db" | awk -F'\t' '$1 == "tva" && $2 == "today" {print $3}'; }

# Up once its database is there and its user-interface thread waits for events (poll): the
# first reading, from which it counts, is taken before.
start() {
    ip netns exec "$a" env QT_QPA_PLATFORM=offscreen "$work/app/corvala" 2>/dev/null &
    pid=$!
    for _ in $(seq 300); do
        [ -e "$db" ] && case $(cut -d' ' -f1 "/proc/$pid/syscall" 2>/dev/null) in 7 | 271) return 0 ;; esac
        sleep 0.1
    done
    fail "the program did not come up"
}
stop() {
    kill -TERM "$pid"
    wait "$pid" || fail "the program ended with status $?"
    pid=
}
# $1 within 0.1 % of $2.
near() { awk -v got="$1" -v want="$2" 'BEGIN { d = got - want; exit !(want > 0 && (d < 0 ? -d : d) <= want / 1000) }'; }

# One run: everything the kernel counted while it ran.
before=$(rx)
start
send 3000
stop
expected=$(( $(rx) - before ))
near "$(today)" "$expected" || fail "first run: $(today), the kernel counted $expected"

# A second run adds to it, also what came during a 30 s SIGSTOP. Running for well under five
# minutes, it writes the database only at its end: the files stay as they were until then.
stamp() { stat -c '%n %s %.9Y' "$db"*; }
before=$(rx)
start
written=$(stamp)
send 1000
sleep 5 # five counting cycles
kill -STOP "$pid"
send 2000
sleep 30 # a pause as long as a short suspend
kill -CONT "$pid"
send 500
[ "$(stamp)" = "$written" ] || fail "the database was written while the program ran"
stop
expected=$(( expected + $(rx) - before ))
near "$(today)" "$expected" || fail "second run: $(today), the kernel counted $expected in both"

# Between runs: deleted and re-created (counters from zero), renamed and back; then a run
# during which, while stopped, the interface is re-created and takes traffic, or is renamed
# and takes traffic: none of that traffic is the counted interface's.
ip -n "$a" link del tva && connect
send 200
ip -n "$a" link set tva down && ip -n "$a" link set tva name tvx && ip -n "$a" link set tvx up
send 200
ip -n "$a" link set tvx down && ip -n "$a" link set tvx name tva && ip -n "$a" link set tva up
for event in recreate rename; do
    counted=$(today)
    before=$(rx)
    start
    send 100
    kill -STOP "$pid"
    if [ "$event" = recreate ]; then
        ip -n "$a" link del tva && connect
    else
        ip -n "$a" link set tva down && ip -n "$a" link set tva name tvx && ip -n "$a" link set tvx up
    fi
    send 5000
    kill -CONT "$pid"
    stop
    [ "$event" = rename ] && ip -n "$a" link set tvx down && ip -n "$a" link set tvx name tva &&
        ip -n "$a" link set tva up
    added=$(( $(today) - counted ))
    # At most the 100 datagrams sent before the event (and the first run's own replies).
    [ "$added" -ge 0 ] && [ "$added" -le 110000 ] || fail "$event while stopped added $added bytes"
done
