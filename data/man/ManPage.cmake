# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DPROGRAM=... -DOUTPUT=... -P ManPage.cmake: writes what "PROGRAM --man" prints to
# OUTPUT, and fails without leaving a page when the program fails.
execute_process(COMMAND ${PROGRAM} --man OUTPUT_VARIABLE page RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR page STREQUAL "")
    message(FATAL_ERROR "${PROGRAM} --man failed (${status})")
endif()
file(WRITE ${OUTPUT} "${page}")
