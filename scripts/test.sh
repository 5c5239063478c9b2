#!/bin/sh
# Installs what is missing, builds Corvala with its tests and runs every test:
#   1. the whole project (core tests, widget tests offscreen, end-to-end tests under Xvfb with
#      XEmbed and StatusNotifier trays, and under Weston with XWayland and on Wayland itself);
#   2. the core again under ThreadSanitizer (sampling thread and sample queue);
#   3. the settings parser under libFuzzer for a bounded time (clang);
#   4. the Qt-free core cross-compiled for Windows (MinGW-w64), so its platform layer keeps building;
#   5. the Debian package from a release build, checked with lintian and run unpacked.
# Tests that need root (network namespaces, tmpfs) say so and skip when run without it.
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
ensure_packages $BUILD_PACKAGES $PACKAGE_PACKAGES $TEST_PACKAGES

jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVALA_BUILD_GUI=ON -DCORVALA_BUILD_TESTS=ON >/dev/null
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVALA_BUILD_GUI=OFF \
    -DCORVALA_TSAN=ON >/dev/null
cmake --build build-tsan -j "$jobs"
(cd build-tsan && ctest --output-on-failure -j "$jobs")

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVALA_BUILD_GUI=OFF \
    -DCORVALA_BUILD_TESTS=OFF -DCORVALA_BUILD_FUZZ=ON \
    -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j "$jobs" --target fuzz_ini_text
(cd build-fuzz && ctest --output-on-failure -L fuzz)

cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCORVALA_BUILD_GUI=OFF -DCORVALA_BUILD_TESTS=OFF >/dev/null
cmake --build build-win -j "$jobs"

deb=$(scripts/package.sh | tail -n 1)
# Debian's own Python: python3-gi and friends are installed for it.
/usr/bin/python3 tests/package/test_package.py "$deb"
