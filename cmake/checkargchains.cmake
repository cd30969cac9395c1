# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DFILES=a|b|c -DSTAMP=file -P checkargchains.cmake
#
# Refuses chained QString::arg calls, .arg(a).arg(b): the second arg() looks
# for place markers in the text the first one put in, so a path or a stored
# value holding "%1" gets the next argument put into it. One arg(a, b) or a
# concatenation fills each marker once.
string(REPLACE "|" ";" files "${FILES}")
set(problems "")
foreach(file IN LISTS files)
    file(READ "${file}" text)
    # Strings, characters and comments can hold anything, brackets included.
    string(REGEX REPLACE
        "\"([^\"\\\\\n]|\\\\.)*\"|'([^'\\\\\n]|\\\\.)*'|//[^\n]*|/\\*([^*]|\\*+[^*/])*\\*+/"
        "S" text "${text}")
    if(NOT text MATCHES "\\.arg[ \t\r\n]*\\(")
        continue()
    endif()
    # Fold bracketed argument lists, innermost first, into one mark each; a
    # chain shows as .arg@.arg@ before the brackets around it fold too.
    set(chain "\\.arg[ \t\r\n]*@([ \t\r\n]*\\.arg[ \t\r\n]*@)+")
    set(count 0)
    while(text MATCHES "\\([^()]*\\)")
        string(REGEX REPLACE "\\([^()]*\\)" "@" text "${text}")
        string(REGEX MATCHALL "${chain}" found "${text}")
        list(LENGTH found n)
        math(EXPR count "${count} + ${n}")
        string(REGEX REPLACE "${chain}" "X" text "${text}")
    endwhile()
    if(count GREATER 0)
        string(APPEND problems "\n  ${file}: ${count}")
    endif()
endforeach()
if(problems)
    message(FATAL_ERROR "Chained arg() calls (use one arg(a, b, ...) instead), per file:${problems}")
endif()
if(STAMP)
    file(TOUCH "${STAMP}")
endif()
