# The window-free library must stay so: none of its files may include a
# header of the window layer (app/, ui/) or of a Qt module it does not link.
# Checked at every build, so a new include fails as soon as it is written.

function(brovik_check_layering target)
    get_target_property(sources ${target} SOURCES)
    set(files "")
    foreach(source IN LISTS sources)
        if(NOT IS_ABSOLUTE "${source}")
            # Sources listed by a subdirectory are relative to it; find which.
            foreach(dir base serial settings transmit session)
                if(EXISTS "${PROJECT_SOURCE_DIR}/${dir}/${source}")
                    set(source "${PROJECT_SOURCE_DIR}/${dir}/${source}")
                    break()
                endif()
            endforeach()
        endif()
        list(APPEND files "${source}")
    endforeach()
    list(JOIN files "|" joined)
    set(stamp "${CMAKE_CURRENT_BINARY_DIR}/${target}_layering.stamp")
    add_custom_command(
        OUTPUT "${stamp}"
        COMMAND ${CMAKE_COMMAND} "-DFILES=${joined}" "-DSTAMP=${stamp}"
                -P "${PROJECT_SOURCE_DIR}/cmake/checklayering.cmake"
        DEPENDS ${files} "${PROJECT_SOURCE_DIR}/cmake/checklayering.cmake"
        COMMENT "Checking that ${target} includes no window header"
        VERBATIM)
    add_custom_target(${target}_layering DEPENDS "${stamp}")
    add_dependencies(${target} ${target}_layering)
endfunction()
