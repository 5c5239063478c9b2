# The Debian package, built from a release build with: cpack -G DEB (see scripts/package.sh).
# Its dependencies are computed from the shared libraries of the programs (dpkg-shlibdeps),
# plus the fonts the user interface is drawn with.
set(CPACK_PACKAGE_NAME corvala)
set(CPACK_PACKAGE_VENDOR "The Corvala developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small desktop monitor of network traffic")
set(CPACK_PACKAGE_DESCRIPTION
    "Corvala shows, in a small borderless tool window, a scrolling line graph of the
per-second counters of one network interface: bytes or packets, received, sent
or in total. It lives in the notification area (XEmbed trays and
StatusNotifierItem hosts), has a three-page options sheet and keeps every
setting in one INI file. Its user interface is Japanese.
.
corvala-probe prints the same counters on the command line.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Corvala developers <corvala@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
# The toolkit's own buttons in Japanese; Qt's Wayland platform for a compositor without XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland")

set(CPACK_GENERATOR DEB)
include(CPack)
