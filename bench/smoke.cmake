# SPDX-License-Identifier: GPL-3.0-or-later
# Runs each benchmark driver with --quick: tiny sizes, to check that they
# still run and that every count matches. Speed is not judged here.
# Usage: cmake -DPROGRAMS="a|b|..." -P smoke.cmake
string(REPLACE "|" ";" programs "${PROGRAMS}")
set(failed "")
foreach(program IN LISTS programs)
    message(STATUS "${program} --quick")
    execute_process(COMMAND "${program}" --quick
        RESULT_VARIABLE status OUTPUT_VARIABLE rows ERROR_VARIABLE errors TIMEOUT 240)
    message("${rows}")
    if(NOT status EQUAL 0)
        message("${errors}")
        list(APPEND failed "${program} (${status})")
    elseif(NOT rows MATCHES "^\\|")
        list(APPEND failed "${program} (printed no results)")
    endif()
endforeach()
if(failed)
    message(FATAL_ERROR "failed: ${failed}")
endif()
