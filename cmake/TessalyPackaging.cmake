# Debian package: `cpack -G DEB` in a release build (scripts/package does all of it).
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessaly)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaly)
set(CPACK_PACKAGE_VENDOR "The Tessaly developers")
set(CPACK_PACKAGE_CONTACT "Tessaly developers <team@tessaly.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Now-playing status, track popups and a radio playlist from the tray")
set(CPACK_PACKAGE_DESCRIPTION
    "Tessaly follows any MPRIS media player. On every track change it publishes the song as the\n\
messenger's custom status, shows a small popup with Back, Pause and Forward buttons, and can log\n\
internet-radio titles to a playlist file.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.tessaly.org")
# Library dependencies come from the binaries themselves.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "dbus")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins, libqt6svg6, mpv-mpris | vlc | rhythmbox")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "playerctl")
set(CPACK_STRIP_FILES ON)
include(CPack)
