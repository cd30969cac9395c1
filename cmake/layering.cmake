# SPDX-License-Identifier: GPL-3.0-or-later
# The source folders, in the order they may include each other: a folder
# includes only those before it. The window-free ones (base/ to session/, the
# brovik_base library) include no header of a Qt module that library does not
# link either. Checked at every build, so a wrong include fails as soon as it
# is written, naming the file and the line.

set(BROVIK_LAYERS base serial settings transmit session ui app)
set(BROVIK_WINDOW_FREE_LAYERS 5) # the first five

function(brovik_check_layering)
    set(files "")
    foreach(layer IN LISTS BROVIK_LAYERS)
        file(GLOB_RECURSE found CONFIGURE_DEPENDS
             "${PROJECT_SOURCE_DIR}/${layer}/*.h" "${PROJECT_SOURCE_DIR}/${layer}/*.cpp")
        list(APPEND files ${found})
    endforeach()
    list(JOIN files "|" joined)
    list(JOIN BROVIK_LAYERS "|" layers)
    set(stamp "${CMAKE_CURRENT_BINARY_DIR}/brovik_layering.stamp")
    add_custom_command(
        OUTPUT "${stamp}"
        COMMAND ${CMAKE_COMMAND} "-DROOT=${PROJECT_SOURCE_DIR}" "-DFILES=${joined}"
                "-DLAYERS=${layers}" "-DWINDOW_FREE=${BROVIK_WINDOW_FREE_LAYERS}"
                "-DSTAMP=${stamp}" -P "${PROJECT_SOURCE_DIR}/cmake/checklayering.cmake"
        DEPENDS ${files} "${PROJECT_SOURCE_DIR}/cmake/checklayering.cmake"
        COMMENT "Checking that no folder includes one that comes after it"
        VERBATIM)
    add_custom_target(brovik_layering DEPENDS "${stamp}")
endfunction()
