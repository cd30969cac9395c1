# SPDX-License-Identifier: GPL-3.0-or-later
# No chained QString::arg calls anywhere in the sources (see
# checkargchains.cmake for why). Checked at every build, so a new chain fails
# as soon as it is written.

function(brovik_check_arg_chains target)
    set(files "")
    foreach(dir base serial settings session transmit ui app tools bench fuzz tests)
        file(GLOB_RECURSE found CONFIGURE_DEPENDS
             "${PROJECT_SOURCE_DIR}/${dir}/*.cpp" "${PROJECT_SOURCE_DIR}/${dir}/*.h")
        list(APPEND files ${found})
    endforeach()
    list(JOIN files "|" joined)
    set(stamp "${CMAKE_CURRENT_BINARY_DIR}/arg_chains.stamp")
    add_custom_command(
        OUTPUT "${stamp}"
        COMMAND ${CMAKE_COMMAND} "-DFILES=${joined}" "-DSTAMP=${stamp}"
                -P "${PROJECT_SOURCE_DIR}/cmake/checkargchains.cmake"
        DEPENDS ${files} "${PROJECT_SOURCE_DIR}/cmake/checkargchains.cmake"
        COMMENT "Checking that no message chains arg() calls"
        VERBATIM)
    add_custom_target(arg_chains DEPENDS "${stamp}")
    add_dependencies(${target} arg_chains)
endfunction()
