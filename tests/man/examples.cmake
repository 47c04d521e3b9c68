# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

cmake_policy(VERSION 3.20)

# Runs every example of the manual page PAGE with PROGRAM and compares what it
# prints with what the page shows; then holds the page's exit statuses to the
# program's. An example is a line "$ tarvelin ARGS" inside the .EX block,
# followed by the exact output lines.

file(READ "${PAGE}" page)
if(NOT page MATCHES "\n\\.EX\n(.*)\n\\.EE\n")
  message(FATAL_ERROR "no .EX/.EE block in ${PAGE}")
endif()
set(block "${CMAKE_MATCH_1}")
# The block is split into a list by lines; list syntax must not bite.
if(block MATCHES "[][;]")
  message(FATAL_ERROR "the example block holds ; [ or ], which this check cannot split")
endif()

# Only the escapes the block needs are undone; any other is an error, so a
# new escape cannot slip through as literal text.
string(REPLACE "\\-" "-" block "${block}")
string(REPLACE "\\&" "" block "${block}")
if(block MATCHES "\\\\")
  message(FATAL_ERROR "unexpected roff escape in the example block")
endif()

string(REPLACE "\n" ";" lines "${block}")
string(REPLACE "|" ";" emulator "${EMULATOR}")
set(count 0)
set(arguments "")
set(expected "")

function(check_example)
  execute_process(COMMAND ${emulator} "${PROGRAM}" ${arguments}
                  OUTPUT_VARIABLE actual RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT actual STREQUAL expected)
    message(FATAL_ERROR "tarvelin ${arguments}: status ${status}\n"
                        " page:    [${expected}]\n program: [${actual}]")
  endif()
endfunction()

foreach(line IN LISTS lines)
  if(line MATCHES "^\\$ tarvelin (.*)$")
    if(count GREATER 0)
      check_example()
    endif()
    separate_arguments(arguments UNIX_COMMAND "${CMAKE_MATCH_1}")
    set(expected "")
    math(EXPR count "${count} + 1")
  elseif(count EQUAL 0)
    message(FATAL_ERROR "output before the first command: ${line}")
  else()
    string(APPEND expected "${line}\n")
  endif()
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "the page shows no example")
endif()
check_example()
message(STATUS "${count} examples match")

# The exit statuses: the program run in each situation the page documents,
# and the page's entry for the status it returned must name that situation.
# The page documents no other status.
if(NOT page MATCHES "\n\\.SH EXIT-STATUS\n(.*)")
  message(FATAL_ERROR "no section EXIT-STATUS in ${PAGE}")
endif()
string(REGEX REPLACE "\n\\.SH .*" "" statuses "${CMAKE_MATCH_1}")
set(situations 0)

function(check_status words output)
  execute_process(COMMAND ${emulator} "${PROGRAM}" ${ARGN}
                  OUTPUT_FILE ${output} ERROR_QUIET RESULT_VARIABLE status)
  list(JOIN ARGN " " arguments)
  if(NOT statuses MATCHES "\\.TP\n\\.B ${status}\n([^\n]*)")
    message(FATAL_ERROR "tarvelin ${arguments} >${output}: status ${status}, which the page does not document")
  endif()
  if(NOT CMAKE_MATCH_1 MATCHES "${words}")
    message(FATAL_ERROR "tarvelin ${arguments} >${output}: status ${status}, documented as: ${CMAKE_MATCH_1}")
  endif()
  math(EXPR situations "${situations} + 1")
  set(situations ${situations} PARENT_SCOPE)
endfunction()

check_status("Bericht wurde geschrieben" ${CMAKE_CURRENT_BINARY_DIR}/man_status.out 5 2)
check_status("fehlten Zinss" ${CMAKE_CURRENT_BINARY_DIR}/man_status.out 5)
if(EXISTS /dev/full)
  check_status("nicht geschrieben" /dev/full 5 2)
endif()
string(REGEX MATCHALL "\\.TP\n\\.B [0-9]+\n" entries "${statuses}")
list(LENGTH entries documented)
if(EXISTS /dev/full AND NOT documented EQUAL situations)
  message(FATAL_ERROR "the page documents ${documented} statuses, the program returns ${situations}")
endif()
message(STATUS "${situations} exit statuses match")
