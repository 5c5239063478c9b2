#!/bin/sh
# Builds a static Qt 6 for Windows (MinGW-w64) from Debian's own qt6-base source, once per
# machine, and prints its install prefix on the last line of standard output.
#
# The prefix lives in ${XDG_CACHE_HOME:-~/.cache}/corvala/, named after the Debian version of
# the source and a hash of the configure options, and is reused whenever it is complete.
# The host Qt of the same version (qt6-base-dev) provides moc, rcc and uic.
# A first build costs about 77 CPU-minutes (roughly 40 minutes on two idle cores); progress goes
# to a log beside the prefix.
set -eu
project=$(cd "$(dirname "$0")/.." && pwd)

# The source, pinned by version and checksum: the same version as the host Qt.
debian_version=6.4.2+dfsg-10
orig_tarball=qt6-base_6.4.2+dfsg.orig.tar.xz
orig_sha256=4f14b89a9463a540fd84a6718b8519a2297119b454ef547721015a9e9019ae9e
debian_tarball=qt6-base_${debian_version}.debian.tar.xz
debian_sha256=d1a2621b1acb1606db7274ccdb96654564cea04af836c5b86da94e150714d16c

host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
if [ "$host_version" != "$debian_version" ]; then
    echo "qt-mingw.sh: the host Qt (qt6-base-dev $host_version) must be $debian_version" >&2
    exit 1
fi

# Everything but the prefix is in these options, so a change of them builds a new prefix.
# tabletevent: Debian's tarball lacks the Wacom header wintab.h. OpenGL (dynamic): the
# 6.4 windows platform plugin does not compile without it.
options="-DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DQT_QMAKE_TARGET_MKSPEC=win32-g++
 -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
 -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
 -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
 -DFEATURE_zstd=OFF -DFEATURE_icu=OFF
 -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
 -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_androiddeployqt=OFF
 -DFEATURE_tabletevent=OFF -DFEATURE_opengl=ON -DINPUT_opengl=desktop"
toolchain_sha=$(sha256sum "$project/cmake/mingw-w64.cmake" | cut -c1-64)
key=$(printf '%s\n%s\n%s\n' "$debian_version" "$options" "$toolchain_sha" | sha256sum | cut -c1-12)

# The compiler cache of the project's own builds is no place for Qt's objects.
unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER

cache=${XDG_CACHE_HOME:-$HOME/.cache}/corvala
prefix=$cache/qt-$debian_version-mingw-static-$key
mkdir -p "$cache"

# One build at a time per cache; a second caller waits and then reuses the result.
exec 9>"$prefix.lock"
flock 9
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

work=$prefix.work
log=$prefix.log
rm -rf "$work" "$prefix"
mkdir -p "$work/lists/partial"
echo "qt-mingw.sh: building a static Qt for Windows into $prefix (log: $log)" >&2

# Fetch with a private sources list and lists folder: the system's apt setup stays untouched.
echo "deb-src http://deb.debian.org/debian bookworm main" >"$work/sources.list"
apt_private="-o Dir::Etc::SourceList=$work/sources.list -o Dir::Etc::SourceParts=/dev/null
 -o Dir::State::Lists=$work/lists -o Debug::NoDropPrivs=true"
# shellcheck disable=SC2086
(cd "$work" && apt-get $apt_private update -qq && \
    apt-get $apt_private source --download-only -qq "qt6-base=$debian_version") >"$log" 2>&1
(cd "$work" && printf '%s  %s\n%s  %s\n' "$orig_sha256" "$orig_tarball" \
    "$debian_sha256" "$debian_tarball" | sha256sum -c --quiet -) >>"$log" 2>&1 || {
    echo "qt-mingw.sh: the qt6-base source does not match its pinned checksum" >&2
    exit 1
}
# dpkg-source applies Debian's patches (among them security fixes).
(cd "$work" && dpkg-source --no-check -x "qt6-base_$debian_version.dsc" src) >>"$log" 2>&1

# shellcheck disable=SC2086
cmake -S "$work/src" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$project/cmake/mingw-w64.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    $options >>"$log" 2>&1 || { tail -40 "$log" >&2; exit 1; }
cmake --build "$work/build" -j "$(nproc)" >>"$log" 2>&1 || { tail -40 "$log" >&2; exit 1; }
cmake --install "$work/build" >>"$log" 2>&1 || { tail -40 "$log" >&2; exit 1; }
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
