# SPDX-License-Identifier: GPL-3.0-or-later
# The distribution's compiler and linker flags, as a Debian package build
# sets them: stack protector, FORTIFY, format checks, full RELRO with
# BIND_NOW, and source paths mapped to "." so that two checkouts compile the
# same bytes. Taken from dpkg-buildflags when it is there and the build was
# configured without flags of its own (a package build passes its own
# CXXFLAGS and LDFLAGS, and those win). Optimisation and debugging
# information stay the build type's choice.

option(BROVIK_DISTRIBUTION_FLAGS "Add dpkg-buildflags' hardening flags" ON)
find_program(BROVIK_DPKG_BUILDFLAGS dpkg-buildflags)
mark_as_advanced(BROVIK_DPKG_BUILDFLAGS)

function(brovik_dpkg_buildflags kind out)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${BROVIK_DPKG_BUILDFLAGS} --get ${kind}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE flags
        OUTPUT_STRIP_TRAILING_WHITESPACE
        COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(g.*|O.*)$")
    set(${out} ${flags} PARENT_SCOPE)
endfunction()

if(BROVIK_DISTRIBUTION_FLAGS AND BROVIK_DPKG_BUILDFLAGS AND NOT CMAKE_CXX_FLAGS
   AND NOT CMAKE_EXE_LINKER_FLAGS)
    brovik_dpkg_buildflags(CPPFLAGS brovik_cppflags)
    brovik_dpkg_buildflags(CXXFLAGS brovik_cxxflags)
    brovik_dpkg_buildflags(LDFLAGS brovik_ldflags)
    foreach(flag IN LISTS brovik_cppflags brovik_cxxflags)
        # glibc refuses FORTIFY without optimisation, and warnings are errors.
        if(flag MATCHES "^-D_FORTIFY_SOURCE")
            add_compile_options($<$<NOT:$<CONFIG:Debug>>:${flag}>)
        else()
            add_compile_options(${flag})
        endif()
    endforeach()
    add_link_options(${brovik_ldflags})
    list(JOIN brovik_cppflags " " cpp)
    list(JOIN brovik_cxxflags " " cxx)
    list(JOIN brovik_ldflags " " ld)
    message(STATUS "Distribution flags (dpkg-buildflags): ${cpp} ${cxx} ${ld}")
endif()
