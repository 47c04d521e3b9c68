# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

cmake_policy(VERSION 3.20)

# Runs every example of the manual page PAGE with PROGRAM and compares what it
# prints with what the page shows. An example is a line "$ tarvelin ARGS"
# inside the .EX block, followed by the exact output lines.

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
