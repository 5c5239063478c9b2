#!/bin/sh
# Builds SQLite as a static library for Windows (MinGW-w64) from Debian's own sqlite3 source
# package, once per machine, and prints its install prefix on the last line of standard output.
# The prefix holds include/sqlite3.h and lib/libsqlite3.a; pass them to CMake with
#   -DSQLite3_INCLUDE_DIR="$prefix/include" -DSQLite3_LIBRARY="$prefix/lib/libsqlite3.a"
#
# The prefix lives in ${XDG_CACHE_HOME:-~/.cache}/corvala/, named after the Debian version of
# the source and a hash of the compiler and its options, and is reused whenever it is complete.
# Debian's tarball is SQLite's canonical source tree: a host configure makes the single-file
# amalgamation from it (with tclsh), which the cross compiler then builds. About 3 CPU-minutes.
set -eu

# The source, pinned by version and checksum: the same version as the host's libsqlite3-dev.
debian_version=3.40.1-2+deb12u2
dsc=sqlite3_${debian_version}.dsc
dsc_sha256=ee3459ae9d00939741c7708fc1b8ce1bde12d8c3fb1dfa005bbbc8651d884e23
orig_tarball=sqlite3_3.40.1.orig.tar.xz
orig_sha256=aaa776260ab4dc976db34aa7891819484c8676b5b2783123ebc6301e2ca5d655
debian_tarball=sqlite3_${debian_version}.debian.tar.xz
debian_sha256=0843bc12e4364076477935ce313a6d0796fd899a989ff18ebb6545540e10e4ca

cc=x86_64-w64-mingw32-gcc-posix
ar=x86_64-w64-mingw32-ar
# Everything but the prefix is in these, so a change of them builds a new prefix. No loading
# of extensions: the program never asks for one, and a DLL search is an attack surface.
cflags="-O2 -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION=1"
compiler=$($cc -dumpfullversion 2>/dev/null || true)
[ -n "$compiler" ] || { echo "sqlite-mingw.sh: $cc is missing" >&2; exit 1; }
command -v tclsh >/dev/null || { echo "sqlite-mingw.sh: tclsh is missing (package tcl)" >&2; exit 1; }
key=$(printf '%s\n%s\n%s\n' "$debian_version" "$cflags" "$compiler" | sha256sum | cut -c1-12)

cache=${XDG_CACHE_HOME:-$HOME/.cache}/corvala
prefix=$cache/sqlite-$debian_version-mingw-static-$key
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
mkdir -p "$work/lists/partial" "$work/host" "$prefix/include" "$prefix/lib"
echo "sqlite-mingw.sh: building a static SQLite for Windows into $prefix (log: $log)" >&2

# Fetch with a private sources list and lists folder: the system's apt setup stays untouched.
echo "deb-src http://deb.debian.org/debian bookworm main" >"$work/sources.list"
apt_private="-o Dir::Etc::SourceList=$work/sources.list -o Dir::Etc::SourceParts=/dev/null
 -o Dir::State::Lists=$work/lists -o Debug::NoDropPrivs=true"
# shellcheck disable=SC2086
(cd "$work" && apt-get $apt_private update -qq && \
    apt-get $apt_private source --download-only -qq "sqlite3=$debian_version") >"$log" 2>&1
(cd "$work" && printf '%s  %s\n%s  %s\n%s  %s\n' "$dsc_sha256" "$dsc" "$orig_sha256" "$orig_tarball" \
    "$debian_sha256" "$debian_tarball" | sha256sum -c --quiet -) >>"$log" 2>&1 || {
    echo "sqlite-mingw.sh: the sqlite3 source does not match its pinned checksum" >&2
    exit 1
}
# dpkg-source applies Debian's patches (among them security fixes); the .dsc, checked
# above, pins every tarball it names.
(cd "$work" && dpkg-source --no-check -x "$dsc" src) >>"$log" 2>&1

# The amalgamation is made by host tools; its content does not depend on the target.
(cd "$work/host" && CC=gcc ../src/configure --disable-tcl --disable-readline && make sqlite3.c) >>"$log" 2>&1 \
    || { tail -40 "$log" >&2; exit 1; }
# shellcheck disable=SC2086
$cc $cflags -c "$work/host/sqlite3.c" -o "$work/sqlite3.o" >>"$log" 2>&1 || { tail -40 "$log" >&2; exit 1; }
$ar rcs "$prefix/lib/libsqlite3.a" "$work/sqlite3.o"
cp "$work/host/sqlite3.h" "$work/src/src/sqlite3ext.h" "$prefix/include/"
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
