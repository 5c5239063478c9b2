#!/bin/sh
# Builds the Debian package from a release build: build-deb/corvala_<version>_amd64.deb.
# Install it with: sudo apt install ./build-deb/corvala_*_amd64.deb
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
ensure_packages $BUILD_PACKAGES $PACKAGE_PACKAGES

# The release build of the preset, with Debian's hardening flags as a package built by
# dpkg-buildpackage would have them.
cmake --preset deb \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS) -Wl,-z,now" >/dev/null
cmake --build --preset deb -j "$(nproc)" >&2
rm -f build-deb/corvala_*.deb
(cd build-deb && cpack -G DEB >/dev/null)
ls build-deb/corvala_*.deb # the last line: the package
