# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DROOT=dir -DFILES=a|b|c -DLAYERS=base|serial|... -DWINDOW_FREE=n
#       -DSTAMP=file -P checklayering.cmake
string(REPLACE "|" ";" files "${FILES}")
string(REPLACE "|" ";" layers "${LAYERS}")
list(JOIN layers " → " order)
set(problems "")
foreach(file IN LISTS files)
    file(RELATIVE_PATH name "${ROOT}" "${file}")
    string(REGEX MATCH "^[^/]+" own "${name}")
    list(FIND layers "${own}" ownIndex)
    file(READ "${file}" text)
    # One list element per line: characters that would split or join list
    # elements are of no interest here.
    foreach(special "\\" ";" "[" "]")
        string(REPLACE "${special}" "_" text "${text}")
    endforeach()
    string(REPLACE "\n" ";" lines "${text}")
    set(number 0)
    foreach(line IN LISTS lines)
        math(EXPR number "${number} + 1")
        if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*)")
            continue()
        endif()
        set(header "${CMAKE_MATCH_1}")
        if(header MATCHES "^([A-Za-z_]+)/")
            list(FIND layers "${CMAKE_MATCH_1}" index)
            if(index GREATER ownIndex)
                string(APPEND problems "\n  ${name}:${number}: ${own}/ includes ${header}, "
                                       "but ${CMAKE_MATCH_1}/ comes after ${own}/")
            endif()
        endif()
        if(ownIndex LESS WINDOW_FREE AND header MATCHES "^Qt([A-Za-z]+)/" AND
           NOT CMAKE_MATCH_1 MATCHES "^(Core|SerialPort)$")
            string(APPEND problems "\n  ${name}:${number}: ${own}/ is window-free and includes "
                                   "${header}")
        endif()
    endforeach()
endforeach()
if(problems)
    message(FATAL_ERROR "Folders include each other only in the order ${order}:${problems}")
endif()
file(TOUCH "${STAMP}")
