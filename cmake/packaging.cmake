# The installed layout (cmake --install) and the Debian package (cpack -G DEB, or the
# "package" target): the program in bin/, its read-only data in share/ventrel/, the
# desktop entry, the icons, the manual page and the package's documentation in their
# standard places. An installed program finds its data in ../share/ventrel from its
# own folder (src/files/layout.h) and writes only in the user's folders.
include(GNUInstallDirs)

set(VENTREL_PACKAGE_RELEASE 1)
set(VENTREL_MAINTAINER "Ventrel maintainers <maintainers@users.noreply.c-seed-ad72d7b0.example>")

install(TARGETS ventrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/ventrel)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/ventrel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/ventrel-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ventrel.png)
endforeach()

# The manual page and the package's change log, the version put in, compressed as
# Debian wants them (gzip -9n: no name nor date inside). Without gzip (a Windows
# build) they are left out.
find_program(VENTREL_GZIP gzip)
if(VENTREL_GZIP)
  set(pkgdir ${CMAKE_BINARY_DIR}/packaging)
  set(VERSION "${PROJECT_VERSION}-${VENTREL_PACKAGE_RELEASE}")
  configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog ${pkgdir}/changelog.Debian @ONLY)
  set(VERSION "${PROJECT_VERSION}")
  configure_file(${CMAKE_SOURCE_DIR}/packaging/ventrel.1 ${pkgdir}/ventrel.1 @ONLY)
  add_custom_command(OUTPUT ${pkgdir}/ventrel.1.gz ${pkgdir}/changelog.Debian.gz
    COMMAND ${VENTREL_GZIP} -9nkf ${pkgdir}/ventrel.1 ${pkgdir}/changelog.Debian
    DEPENDS ${pkgdir}/ventrel.1 ${pkgdir}/changelog.Debian
    COMMENT "Compressing the manual page"
    VERBATIM)
  add_custom_target(ventrel_manual ALL DEPENDS ${pkgdir}/ventrel.1.gz ${pkgdir}/changelog.Debian.gz)
  install(FILES ${pkgdir}/ventrel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${pkgdir}/changelog.Debian.gz ${CMAKE_SOURCE_DIR}/packaging/copyright
          DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

# A Debian package; elsewhere (Windows) an archive of the installed tree.
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB)
endif()
set(CPACK_PACKAGE_NAME ventrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${VENTREL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sailing simulator and NMEA 0183 transmitter")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VENTREL_PACKAGE_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VENTREL_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; CPack puts it first.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Ventrel simulates a sailing boat (wind, current, speed polar, autopilot) and
sends the NMEA 0183 sentences of its instruments to a serial port, to TCP
clients, to UDP destinations or to standard output, for testing navigation
software and instruments. It runs with a window (French interface) or without
one, from the command line, where it can also play scenarios.")
# The libraries' packages are found by dpkg-shlibdeps (the Qt 6 runtime brings
# its platform and picture plugins with it).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
