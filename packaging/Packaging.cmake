# The Debian package: scripts/package runs CPack with this, after building the
# brovik-installed target. The package holds exactly what `cmake --install`
# puts in place under /usr.

set(BROVIK_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/brovik)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${BROVIK_DOC_DIR})

# Debian keeps a native package's change log compressed, without a time stamp.
find_program(BROVIK_GZIP gzip REQUIRED)
set(brovik_changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(
    OUTPUT ${brovik_changelog}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/changelog ${CMAKE_BINARY_DIR}/packaging/changelog
    COMMAND ${BROVIK_GZIP} -9nf ${CMAKE_BINARY_DIR}/packaging/changelog
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog
    VERBATIM)
add_custom_target(brovik-changelog ALL DEPENDS ${brovik_changelog})
install(FILES ${brovik_changelog} DESTINATION ${BROVIK_DOC_DIR})

# Everything the install step takes from the build. CPack installs without
# building the rest of the tree (tests, benchmarks) first, so this target is
# what has to be built before it; `make install` no longer builds everything
# either (`cmake --install`, which the README uses, never does).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
add_custom_target(brovik-installed)
add_dependencies(brovik-installed
    brovik brovik-virtual-device brovik-icons brovik-manpages brovik-changelog)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brovik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Brovik developers")
set(CPACK_PACKAGE_CONTACT "The Brovik developers <brovik@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "serial-port terminal for microcontroller boards")
set(CPACK_PACKAGE_DESCRIPTION [=[
Brovik is a desktop terminal for people who talk to a microcontroller
board, or any other device, over a serial port: an Arduino, a USB serial
adapter, a modem or the built-in COM port of a PC.

Type a line and send it, with an optional carriage return and line feed,
and write control bytes as escapes such as 0x0Dh. Send one of eight
predefined outputs with one click, or send a whole file. Every
transmission and every block of received data goes into an activity log,
marked as sent or received, and the status line shows the open port and
its settings.

The package includes brovik-virtual-device, which plays a serial device
on a pseudo-terminal, so Brovik can be tried without any hardware.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://developers.example.com/brovik)
# Dependencies come from the libraries the binaries link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
