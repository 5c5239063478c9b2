#!/bin/sh
# Runs a Windows program of the build under Wine: wine-run.sh PREFIX PROGRAM [ARGS...].
# PREFIX is the build's own Wine prefix, made on first use (one maker at a time, so that
# tests started in parallel do not race); Wine's own messages are kept quiet.
set -eu
prefix=$1
shift
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialogs in a fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        [ -f "$prefix/system.reg" ] || { wine wineboot -i >/dev/null 2>&1 && wineserver -w; }
    ) 9>"$prefix.lock"
fi
exec wine "$@"
