#!/bin/sh
# Installs what is missing, builds Corvala and starts it on the display ($DISPLAY or
# $WAYLAND_DISPLAY). Without a display it starts on a virtual X server (xvfb-run), which
# shows nothing but proves the build runs.
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
ensure_packages $BUILD_PACKAGES

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVALA_BUILD_TESTS=OFF >/dev/null
cmake --build build --target corvala

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    ensure_packages xvfb xauth
    echo "No display: starting on a virtual X server (xvfb-run); stop it with Ctrl+C." >&2
    exec xvfb-run -a build/src/app/corvala
fi
exec build/src/app/corvala
