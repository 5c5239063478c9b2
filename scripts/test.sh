#!/bin/sh
# Installs what is missing, builds Corvala with its tests and runs every test:
#   1. the whole project (core tests, widget tests offscreen, end-to-end tests under Xvfb with
#      XEmbed and StatusNotifier trays, and under Weston with XWayland and on Wayland itself);
#   2. the core and widget tests again under AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. the core again under ThreadSanitizer (sampling thread and sample queue);
#   4. the settings parser, and the value codec on the file store, under libFuzzer for a
#      bounded time (clang);
#   5. the Debian package from a release build, checked with lintian and run unpacked;
#   6. the Windows program built with MinGW-w64 against a static Qt (built once per machine
#      from Debian's Qt source, about 77 CPU-minutes, then reused), its core tests and its
#      journey on an X server run under Wine.
# Tests that need root (network namespaces, tmpfs) say so and skip when run without it.
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
ensure_packages $BUILD_PACKAGES $PACKAGE_PACKAGES $TEST_PACKAGES $WINDOWS_PACKAGES

jobs=$(nproc)
# Every build below goes through the compiler cache: a later run on this machine compiles only
# what changed (~/.cache/ccache), also from a clone in another folder.
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVALA_BUILD_GUI=ON -DCORVALA_BUILD_TESTS=ON >/dev/null
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

# Any report ends the test that made it. Debug (-O0) builds fastest. Left out: the journeys
# on a display server (e2e_*): there the toolkit loads the session's libraries, whose own
# leaks at exit (D-Bus) LeakSanitizer would charge to the program; the widget tests and the
# start-up test run the same code of ours offscreen.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORVALA_BUILD_GUI=ON -DCORVALA_BUILD_TESTS=ON \
    -DCORVALA_ASAN=ON -DCORVALA_UBSAN=ON >/dev/null
cmake --build build-asan -j "$jobs"
(cd build-asan && ASAN_OPTIONS=halt_on_error=1:detect_stack_use_after_return=1 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --output-on-failure -j "$jobs" -E '^e2e_')

cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVALA_BUILD_GUI=OFF \
    -DCORVALA_TSAN=ON >/dev/null
cmake --build build-tsan -j "$jobs"
(cd build-tsan && ctest --output-on-failure -j "$jobs")

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVALA_BUILD_GUI=OFF \
    -DCORVALA_BUILD_TESTS=OFF -DCORVALA_BUILD_FUZZ=ON \
    -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j "$jobs" --target fuzz_ini_text fuzz_ini_store
(cd build-fuzz && ctest --output-on-failure -L fuzz -j "$jobs")

deb=$(scripts/package.sh | tail -n 1)
# Debian's own Python: python3-gi and friends are installed for it.
/usr/bin/python3 tests/package/test_package.py "$deb"

scripts/build-windows.sh -DCORVALA_BUILD_TESTS=ON
(cd build-win && ctest --output-on-failure -j "$jobs")
WINEPREFIX="$PWD/build-win/wineprefix" wineserver -w
