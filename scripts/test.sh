#!/bin/sh
# Installs what is missing, builds Corvala and runs its tests, stage by stage (the builds are
# the presets of CMakePresets.json):
#   default  the whole project: core tests, widget tests offscreen, end-to-end tests under
#            Xvfb with XEmbed and StatusNotifier trays, and under Weston with XWayland and on
#            Wayland itself;
#   asan     the core and widget tests again under AddressSanitizer and
#            UndefinedBehaviorSanitizer;
#   tsan     the core again under ThreadSanitizer (sampling thread and sample queue);
#   fuzz     the settings parser, and the value codec on the file store, under libFuzzer for a
#            bounded time (clang);
#   deb      the Debian package from a release build, checked with lintian and run unpacked;
#   win      the Windows program built with MinGW-w64 against a static Qt (built once per
#            machine from Debian's Qt source, about 77 CPU-minutes, then reused), its core
#            tests and its journey on an X server run under Wine.
# Usage: scripts/test.sh [STAGE...]   (every stage when none is named)
# Every stage runs even when an earlier one failed; one summary line per stage ends the run,
# and the exit status is 1 when any stage failed.
# Tests that need root (network namespaces, tmpfs) say so and skip when run without it.
set -u
cd "$(dirname "$0")/.."
. scripts/deps.sh

all="default asan tsan fuzz deb win"
stages=${*:-$all}
packages="$BUILD_PACKAGES $TEST_PACKAGES"
for stage in $stages; do
    case $stage in
        default | asan | tsan | fuzz) ;;
        deb) packages="$packages $PACKAGE_PACKAGES" ;;
        win) packages="$packages $WINDOWS_PACKAGES" ;;
        *)
            echo "Usage: scripts/test.sh [STAGE...]   stages: $all (all by default)" >&2
            exit 2
            ;;
    esac
done
# shellcheck disable=SC2086
ensure_packages $packages || exit 1

jobs=$(nproc)
export CMAKE_BUILD_PARALLEL_LEVEL="$jobs" CTEST_PARALLEL_LEVEL="$jobs"
# Every build goes through the compiler cache: a later run on this machine compiles only
# what changed (~/.cache/ccache), also from a clone in another folder.
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true

run_stage() {
    case $1 in
        deb)
            deb=$(scripts/package.sh | tail -n 1)
            # Debian's own Python: python3-gi and friends are installed for it.
            [ -f "$deb" ] && /usr/bin/python3 tests/package/test_package.py "$deb"
            ;;
        win)
            scripts/build-windows.sh -DCORVALA_BUILD_TESTS=ON && ctest --preset win
            status=$?
            WINEPREFIX="$PWD/build-win/wineprefix" wineserver -w
            return $status
            ;;
        *) cmake --workflow --preset "$1" ;;
    esac
}

summary=""
failed=0
for stage in $stages; do
    echo "=== stage $stage"
    start=$(date +%s)
    if (run_stage "$stage"); then
        result=passed
    else
        result=FAILED
        failed=1
    fi
    seconds=$(($(date +%s) - start))
    summary="$summary$(printf '%-8s %-6s %3dm%02ds' "$stage" "$result" $((seconds / 60)) $((seconds % 60)))
"
done
echo "=== summary"
printf '%s' "$summary"
exit $failed
