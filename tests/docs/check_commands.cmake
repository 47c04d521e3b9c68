# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

cmake_policy(VERSION 3.20)

# Every ctest command written in the Markdown files under SOURCE_DIR (build
# trees and node_modules aside) runs tests. A command either takes a preset,
# whose test preset fails when it runs none, or the tree build/: then a
# selection must carry --no-tests=error, and the command, listed with -N in
# TREE instead of build/, must find at least one test. Otherwise a contributor
# who runs it sees "No tests were found" and an exit status of 0.
#   cmake -DSOURCE_DIR=... -DTREE=... -DCTEST=... -P check_commands.cmake

file(GLOB_RECURSE documents RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.md")
list(FILTER documents EXCLUDE REGEX "(^|/)(build[^/]*|node_modules|\\.git)/")

set(commands 0)
set(problems "")
foreach(document IN LISTS documents)
  # In a code block a command ends at the line's end, a shell operator or a
  # comment; in the text, at its closing backtick.
  file(STRINGS "${SOURCE_DIR}/${document}" lines REGEX "ctest -")
  foreach(line IN LISTS lines)
    string(REGEX MATCHALL "ctest -[^`&;|#)]*" found "${line}")
    foreach(command IN LISTS found)
      string(STRIP "${command}" command)
      math(EXPR commands "${commands} + 1")
      separate_arguments(arguments UNIX_COMMAND "${command}")
      list(POP_FRONT arguments)
      if(arguments MATCHES "(^|;)--preset")
        continue()
      endif()
      list(FIND arguments --test-dir at)
      if(at EQUAL -1)
        list(APPEND problems "${document}: '${command}' names neither a preset nor --test-dir build")
        continue()
      endif()
      math(EXPR tree_at "${at} + 1")
      list(GET arguments ${tree_at} tree)
      if(NOT tree STREQUAL "build")
        list(APPEND problems "${document}: '${command}' runs in ${tree}, not build")
        continue()
      endif()
      list(REMOVE_AT arguments ${at} ${tree_at})
      if(arguments MATCHES "(^|;)-(R|E|L|LE|I)(;|$)" AND NOT "--no-tests=error" IN_LIST arguments)
        list(APPEND problems "${document}: '${command}' selects without --no-tests=error")
      endif()
      execute_process(COMMAND "${CTEST}" --test-dir "${TREE}" -N ${arguments}
                      OUTPUT_VARIABLE listing ERROR_VARIABLE listing RESULT_VARIABLE status)
      if(NOT listing MATCHES "Total Tests: ([0-9]+)" OR CMAKE_MATCH_1 EQUAL 0)
        list(APPEND problems "${document}: '${command}' selects no test (status ${status})")
      endif()
    endforeach()
  endforeach()
endforeach()

if(problems)
  list(JOIN problems "\n  " problems)
  message(FATAL_ERROR "documented ctest commands that run no test:\n  ${problems}")
endif()
message(STATUS "${commands} documented ctest commands select tests")
