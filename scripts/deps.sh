# Installs the Debian packages that are missing (sourced by run.sh and test.sh).
# Runs apt-get as root, or through sudo for another user; packages already present are skipped.

BUILD_PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev qt6-translations-l10n libxcb1-dev fonts-ipafont-gothic
    libsqlite3-dev"
PACKAGE_PACKAGES="dpkg-dev file"
TEST_PACKAGES="ccache libgtest-dev libbenchmark-dev clang libclang-rt-14-dev iproute2 procps python3
    xvfb xauth xdotool x11-utils imagemagick openbox tint2
    dbus-daemon dbus-x11 python3-gi gir1.2-glib-2.0 at-spi2-core gir1.2-atspi-2.0 weston xwayland qt6-wayland lintian appstream desktop-file-utils man-db"
# The Windows build (scripts/build-windows.sh): the cross compiler, Debian's Qt source
# tools, Tcl to make SQLite's single source file, and Wine to run its tests (locales: a
# Japanese locale, so that Wine plays cp932).
WINDOWS_PACKAGES="g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 dpkg-dev xz-utils wine wine64 tcl locales"

ensure_packages() {
    missing=""
    for package in "$@"; do
        status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
        case "$status" in
            *" installed") ;;
            *) missing="$missing $package" ;;
        esac
    done
    [ -z "$missing" ] && return 0
    echo "Installing:$missing"
    as_root=""
    [ "$(id -u)" -ne 0 ] && as_root="sudo"
    $as_root apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -qq --no-install-recommends $missing
}
