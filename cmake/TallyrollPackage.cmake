# A Debian package of what `cmake --install` lays out, as users of this kind
# of system install programs: `cpack -G DEB` in the ci build writes
# tallyroll_2.0-1_amd64.deb. Dependencies are computed from the binaries by
# dpkg-shlibdeps, not listed by hand; the binaries are stripped.
set(CPACK_PACKAGE_NAME tallyroll)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Print plain text on a small portable serial printer")
set(CPACK_PACKAGE_DESCRIPTION
    "Tallyroll is a one-window utility that prints plain text on a small portable printer over a serial port (a USB, Bluetooth or infrared link). The form is shown in the terminal. A virtual printer, tallyroll-vprinter, stands in for a printer. A CUPS backend and PPD make each printer a system print queue.")
# The backend is of use only where CUPS runs.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS cups)
set(CPACK_PACKAGE_CONTACT "Tallyroll developers <tallyroll@localhost>")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
