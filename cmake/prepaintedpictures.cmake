# SPDX-License-Identifier: GPL-3.0-or-later
# The main window's banner, painted once at build time for the usual pixel
# ratios and built into the programs that show the window: at start-up they
# load it instead of painting it.

set(BROVIK_PREPAINTED_DIR "${PROJECT_BINARY_DIR}/prepainted")
set(BROVIK_PREPAINTED_FILES "${BROVIK_PREPAINTED_DIR}/banner-1x.rgb32"
    "${BROVIK_PREPAINTED_DIR}/banner-2x.rgb32")

# Once, at the top level, after brovik_window.
function(brovik_prepaint_pictures)
    add_executable(brovik-paint-pictures tools/paintpictures/main.cpp)
    target_link_libraries(brovik-paint-pictures PRIVATE brovik_window)
    add_custom_command(
        OUTPUT ${BROVIK_PREPAINTED_FILES}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                $<TARGET_FILE:brovik-paint-pictures> "${BROVIK_PREPAINTED_DIR}"
        DEPENDS brovik-paint-pictures
        COMMENT "Painting the banner"
        VERBATIM)
    add_custom_target(brovik_prepainted DEPENDS ${BROVIK_PREPAINTED_FILES})
endfunction()

function(brovik_use_prepainted_pictures target)
    add_dependencies(${target} brovik_prepainted)
    set_source_files_properties(${BROVIK_PREPAINTED_FILES} PROPERTIES GENERATED TRUE)
    # Uncompressed: the window reads the pixels where they lie in the program.
    qt_add_resources(${target} brovik_prepainted PREFIX /pictures BASE "${BROVIK_PREPAINTED_DIR}"
                     FILES ${BROVIK_PREPAINTED_FILES} OPTIONS --no-compress)
endfunction()
