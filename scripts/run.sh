#!/bin/sh
# Installs what is missing, builds Corvala and starts it. Needs a display ($DISPLAY or
# $WAYLAND_DISPLAY); without one, run it under a virtual X server: xvfb-run scripts/run.sh
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
ensure_packages $BUILD_PACKAGES

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVALA_BUILD_TESTS=OFF >/dev/null
cmake --build build --target corvala

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: start it with 'xvfb-run scripts/run.sh', or run build/src/app/corvala on a desktop." >&2
    exit 1
fi
exec build/src/app/corvala
