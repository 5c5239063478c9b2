#!/bin/sh
# Builds corvala.exe and corvala-probe.exe for 64-bit Windows 10/11 on this Debian machine:
# MinGW-w64 against a static Qt built once from Debian's own Qt source (scripts/qt-mingw.sh,
# roughly 40 minutes on two cores the first time, then reused). Each executable is one file
# with nothing beside it. Pass -DCORVALA_BUILD_TESTS=ON to build the tests that run under Wine
# as well, as the test command does (its preset, win, has them).
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
ensure_packages $BUILD_PACKAGES $WINDOWS_PACKAGES

qt=$(scripts/qt-mingw.sh | tail -n 1)
# SQLite for the totals database, static from Debian's source (scripts/sqlite-mingw.sh).
sqlite=$(scripts/sqlite-mingw.sh | tail -n 1)
set -- -DSQLite3_INCLUDE_DIR="$sqlite/include" -DSQLite3_LIBRARY="$sqlite/lib/libsqlite3.a" "$@"
cmake --preset win -DCMAKE_PREFIX_PATH="$qt" -DCORVALA_BUILD_TESTS=OFF "$@" >/dev/null
cmake --build --preset win -j "$(nproc)"
echo "Built: build-win/corvala.exe build-win/corvala-probe.exe"
