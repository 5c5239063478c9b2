#!/bin/bash
# Start-up with settings files that cost the store the most: the time from the start of the
# program (offscreen) to its main window, and the bytes it read and wrote until then
# (/proc/PID/io rchar and wchar), and the processor time it took (user + system), which a
# busy machine does not stretch as it stretches the time to the window. No interface is chosen in any of the files, so the window
# makes its first choice and saves it before it shows: the window is up once the file holds
# the chosen name (the machine needs a network interface, loopback will do). Each case runs on a fresh copy of its file, beside a fresh
# copy of the program:
#   missing-keys  15 MiB of foreign lines and none of our keys: the first start writes them all
#   all-keys      every key present (no interface chosen yet, so the window saves its first
#                 choice), then 15 MiB of foreign lines
#   lines-before  a million lines before the known sections
#   full-folder   no settings file yet, in a folder that holds 100,000 other files
# Usage: startup_big_files.sh PATH-TO-corvala [RUNS (default 3)] [SECONDS-TO-WAIT (default 60)]
set -u
exe=$(realpath "$1")
runs=${2:-3}
limit=${3:-60}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$work/config

# The keys a first start writes, as it writes them, taken from a first start itself.
complete=$work/complete/corvala.ini
mkdir -p "$work/complete" && cp "$exe" "$work/complete/corvala"

foreign() { # $1 bytes of lines that are no keys of ours
    awk -v n="$1" 'BEGIN { print "[FOREIGN]"; for (i = 0; i < n / 32; i++) printf "KEY_%08d=value of no interest\n", i }'
}

# Runs the copy in $1, on a fresh copy of $1.ini, until its main window is up, at most $limit s.
measure() {
    local dir=$1 start pid io cpu
    rm -f "$dir"/corvala.ini*
    [ -e "$dir.ini" ] && cp "$dir.ini" "$dir/corvala.ini"
    start=$(date +%s%N)
    "$dir/corvala" 2>/dev/null & pid=$!
    until grep -q '^INS_NAME="' "$dir/corvala.ini" 2>/dev/null; do
        kill -0 "$pid" 2>/dev/null || break
        (( $(date +%s%N) - start > limit * 1000000000 )) && break
        sleep 0.01
    done
    local ms=$(( ($(date +%s%N) - start) / 1000000 ))
    io=$(awk '/^rchar|^wchar/ {printf "%.1f ", $2 / 1048576}' "/proc/$pid/io" 2>/dev/null)
    cpu=$(awk -v tick="$(getconf CLK_TCK)" '{printf "%d", ($14 + $15) * 1000 / tick}' "/proc/$pid/stat" 2>/dev/null)
    kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
    (( ms > limit * 1000 )) && ms=">$((limit * 1000))"
    printf '%-13s %10s ms to the window, %6s ms processor   read/written MiB: %s\n' \
        "$(basename "$dir")" "$ms" "$cpu" "$io"
}

measure "$work/complete" >/dev/null
cp "$complete" "$work/complete.ini"
[ -s "$complete" ] || { echo "no settings file from a first start"; exit 1; }
sed -i 's/^INS_NAME=.*/INS_NAME=%BLANK%/' "$work/complete.ini"
complete=$work/complete.ini

for case in missing-keys all-keys lines-before full-folder; do
    mkdir -p "$work/$case" && cp "$exe" "$work/$case/corvala"
done
foreign $((15 << 20)) >"$work/missing-keys.ini"
{ cat "$complete"; foreign $((15 << 20)); } >"$work/all-keys.ini"
{ awk 'BEGIN { for (i = 0; i < 1000000; i++) print "; line " i }'; cat "$complete"; } >"$work/lines-before.ini"
(cd "$work/full-folder" && seq -f 'file%06g' 100000 | xargs touch)

for case in missing-keys all-keys lines-before full-folder; do
    for _ in $(seq "$runs"); do
        measure "$work/$case"
    done
done
