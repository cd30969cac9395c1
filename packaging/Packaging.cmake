# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: scripts/package runs CPack with this, after building the
# brovik-installed target. The package holds exactly what `cmake --install`
# puts in place under /usr.

set(BROVIK_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/brovik)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${BROVIK_DOC_DIR})

# Debian keeps a native package's change log, and any document larger than
# 4 kB, compressed without a name or time stamp inside (gzip -9n).
find_program(BROVIK_GZIP gzip REQUIRED)
set(brovik_docs)
foreach(doc ${CMAKE_CURRENT_LIST_DIR}/changelog ${PROJECT_SOURCE_DIR}/README.md)
    get_filename_component(name ${doc} NAME)
    set(copy ${CMAKE_BINARY_DIR}/packaging/${name})
    add_custom_command(
        OUTPUT ${copy}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
        COMMAND ${CMAKE_COMMAND} -E copy ${doc} ${copy}
        COMMAND ${BROVIK_GZIP} -9nf ${copy}
        DEPENDS ${doc}
        VERBATIM)
    list(APPEND brovik_docs ${copy}.gz)
endforeach()
add_custom_target(brovik-docs ALL DEPENDS ${brovik_docs})
install(FILES ${brovik_docs} DESTINATION ${BROVIK_DOC_DIR})

install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME brovik)

# A stripped install (CPack's, or cmake --install --strip) also drops the
# sections Debian's own packaging drops: the compilers' version notes.
if(CMAKE_STRIP)
    set(brovik_strip_code [=[
if(CMAKE_INSTALL_DO_STRIP)
    foreach(program brovik brovik-virtual-device)
        execute_process(
            COMMAND "@CMAKE_STRIP@" --remove-section=.comment --remove-section=.note
                    "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/@CMAKE_INSTALL_BINDIR@/${program}"
            COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
endif()
]=])
    string(CONFIGURE "${brovik_strip_code}" brovik_strip_code @ONLY)
    install(CODE "${brovik_strip_code}")
endif()

# Everything the install step takes from the build. CPack installs without
# building the rest of the tree (tests, benchmarks) first, so this target is
# what has to be built before it; `make install` no longer builds everything
# either (`cmake --install`, which the README uses, never does).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
add_custom_target(brovik-installed)
add_dependencies(brovik-installed
    brovik brovik-virtual-device brovik-icons brovik-manpages brovik-docs)

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
