# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

cmake_policy(VERSION 3.20)

# Runs the program once as a process and checks its exit status and the
# bytes it wrote; where they differ, it prints a unified diff of the expected
# and the written output as text. Called by CTest as: cmake -D... -P run_case.cmake
# A failed case ends in a line "FAIL: why", which the test's
# FAIL_REGULAR_EXPRESSION turns into a failed test: a FATAL_ERROR would read
# as an error in this script, and CMake before 3.29 has no other way out of
# a script with a status.
#   PROGRAM   the program; EMULATOR: what runs it on a cross build, or empty
#   ARGS      the arguments, separated by |
#   STATUS    the expected exit status
#   EXPECTED  file with the exact expected standard output; @PROGRAM@ in it
#             stands for the program name as it was passed
#   STDOUT    instead of EXPECTED: where standard output goes (/dev/full);
#             then standard error must say that the write failed
#   NAME      the case's name, for the files it leaves behind
#   WINDOWS   ON for a Windows program: text mode turns every line feed into
#             CR LF, its text is code page 850 (any other program's must
#             be valid UTF-8), and the program sees its name as a Windows
#             path (under Wine a Unix path /x/y is Z:\x\y)
#   FILES     names of empty files, separated by |, to create in a fresh
#             working directory for the run (for wildcard expansion)
#   NAME_LENGTH  instead of its own path, the program sees a name of exactly
#             this many characters: it is run through a link in a fresh
#             working directory, by a relative path that long

# fail(TEXT...): the case fails for this reason, and the script ends.
macro(fail)
  string(CONCAT reason ${ARGN})
  message(NOTICE "FAIL: ${reason}")
  return()
endmacro()

string(REPLACE "|" ";" arguments "${ARGS}")
string(REPLACE "|" ";" emulator "${EMULATOR}")
if(DEFINED EXPECTED AND NOT EXISTS "${EXPECTED}")
  fail("no such file of expected output: ${EXPECTED}")
endif()

# write_visible(FROM TO): FROM's bytes as text to compare by eye, each line
# ending in a visible \n. A tab, a CR, a backslash and any byte that is not
# printable ASCII appear as C escapes, so that a CR LF ending, or the byte
# 0x84 where UTF-8 has c3 a4, shows.
function(write_visible from to)
  file(READ "${from}" hex HEX)
  string(REGEX MATCHALL ".." bytes "${hex}")
  set(text "")
  foreach(byte IN LISTS bytes)
    if(byte STREQUAL "0a")
      string(APPEND text "\\n\n")
    elseif(byte STREQUAL "09")
      string(APPEND text "\\t")
    elseif(byte STREQUAL "0d")
      string(APPEND text "\\r")
    elseif(byte STREQUAL "5c")
      string(APPEND text "\\\\")
    elseif(byte MATCHES "^[2-7]" AND NOT byte STREQUAL "7f")
      math(EXPR code "0x${byte}")
      string(ASCII ${code} character)
      string(APPEND text "${character}")
    else()
      string(APPEND text "\\x${byte}")
    endif()
  endforeach()
  file(WRITE "${to}" "${text}")
endfunction()

# mark_first_columns(DIFF OUT): the unified diff with a line under each
# written line ("+") that marks with ^ the first column where it differs from
# the expected line it stands for ("-"), the first of a run with the first,
# and so on: one digit in a line of 120 characters is easily missed. The
# lines are made a list, their ; [ and ] kept aside as bytes the visible text
# never holds.
function(mark_first_columns diff out)
  string(ASCII 1 semicolon)
  string(ASCII 2 open)
  string(ASCII 3 close)
  string(REPLACE ";" "${semicolon}" diff "${diff}")
  string(REPLACE "[" "${open}" diff "${diff}")
  string(REPLACE "]" "${close}" diff "${diff}")
  string(REPLACE "\n" ";" lines "${diff}")
  set(marked "")
  set(hunk OFF)
  set(removed "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^@@")
      set(hunk ON)
    endif()
    list(LENGTH removed unpaired)
    if(hunk AND line MATCHES "^-")
      list(APPEND removed "${line}")
    elseif(hunk AND line MATCHES "^[+]" AND unpaired GREATER 0)
      list(POP_FRONT removed old)
      string(LENGTH "${old}" old_length)
      string(LENGTH "${line}" length)
      set(column 1)
      while(column LESS old_length AND column LESS length)
        string(SUBSTRING "${old}" ${column} 1 was)
        string(SUBSTRING "${line}" ${column} 1 is)
        if(NOT was STREQUAL is)
          break()
        endif()
        math(EXPR column "${column} + 1")
      endwhile()
      math(EXPR column "${column} - 1")
      string(REPEAT " " ${column} indent)
      string(APPEND line "\n?${indent}^")
    else()
      set(removed "")
    endif()
    string(APPEND marked "${line}\n")
  endforeach()
  string(REPLACE "${semicolon}" ";" marked "${marked}")
  string(REPLACE "${open}" "[" marked "${marked}")
  string(REPLACE "${close}" "]" marked "${marked}")
  set(${out} "${marked}" PARENT_SCOPE)
endfunction()

if(DEFINED STDOUT)
  set(actual "${STDOUT}")
else()
  set(actual "${CMAKE_CURRENT_BINARY_DIR}/${NAME}.actual")
endif()

set(workdir "${CMAKE_CURRENT_BINARY_DIR}")
if(DEFINED FILES OR DEFINED NAME_LENGTH)
  set(workdir "${CMAKE_CURRENT_BINARY_DIR}/${NAME}.dir")
  file(REMOVE_RECURSE "${workdir}")
  file(MAKE_DIRECTORY "${workdir}")
endif()
if(DEFINED NAME_LENGTH)
  # Folders of 200 characters and a link of 20 to 220: no file name may be
  # longer than 255.
  math(EXPR folders "(${NAME_LENGTH} - 20) / 201")
  math(EXPR link_length "${NAME_LENGTH} - 201 * ${folders}")
  string(REPEAT "n" 200 folder)
  string(REPEAT "t" ${link_length} name)
  foreach(k RANGE 1 ${folders})
    set(name "${folder}/${name}")
  endforeach()
  get_filename_component(parent "${workdir}/${name}" DIRECTORY)
  file(MAKE_DIRECTORY "${parent}")
  file(CREATE_LINK "${PROGRAM}" "${workdir}/${name}" SYMBOLIC)
  set(PROGRAM "${name}")
endif()
if(DEFINED FILES)
  string(REPLACE "|" ";" files "${FILES}")
  foreach(file IN LISTS files)
    file(TOUCH "${workdir}/${file}")
  endforeach()
endif()

execute_process(COMMAND ${emulator} "${PROGRAM}" ${arguments}
                WORKING_DIRECTORY "${workdir}"
                OUTPUT_FILE "${actual}"
                ERROR_VARIABLE errors
                RESULT_VARIABLE status)

if(NOT status STREQUAL STATUS)
  fail("exit status ${status}, expected ${STATUS}; standard error: ${errors}")
endif()

if(DEFINED STDOUT)
  if(NOT errors MATCHES "^tarvelin: Schreibfehler: [^\n]+\n$")
    fail("expected one line about the failed write, got: '${errors}'")
  endif()
  return()
endif()

if(NOT errors STREQUAL "")
  fail("unexpected output on standard error: ${errors}")
endif()

# Every terminal but the Windows console reads UTF-8: text that is not valid
# UTF-8 shows as replacement marks there, whatever the expected file holds.
if(NOT WINDOWS)
  execute_process(COMMAND iconv -f UTF-8 -t UTF-8 INPUT_FILE "${actual}"
                  OUTPUT_QUIET ERROR_QUIET RESULT_VARIABLE invalid)
  if(invalid)
    fail("standard output is not valid UTF-8")
  endif()
endif()

file(READ "${EXPECTED}" expected)
set(program_name "${PROGRAM}")
if(WINDOWS)
  string(REGEX REPLACE "^/" "Z:/" program_name "${program_name}")
  string(REPLACE "/" "\\" program_name "${program_name}")
  string(REPLACE "\n" "\r\n" expected "${expected}")
endif()
string(REPLACE "@PROGRAM@" "${program_name}" expected "${expected}")
set(written "${CMAKE_CURRENT_BINARY_DIR}/${NAME}.expected")
file(WRITE "${written}" "${expected}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${written}" "${actual}"
                RESULT_VARIABLE differs)
if(differs)
  write_visible("${written}" "${written}.txt")
  write_visible("${actual}" "${actual}.txt")
  find_program(DIFF diff)
  if(DIFF)
    execute_process(COMMAND "${DIFF}" -u --label "${EXPECTED}" --label "${actual}"
                    "${written}.txt" "${actual}.txt" OUTPUT_VARIABLE shown)
  else()
    file(READ "${written}.txt" want)
    file(READ "${actual}.txt" got)
    set(shown "expected (${EXPECTED}):\n${want}\nwritten (${actual}):\n${got}")
  endif()
  mark_first_columns("${shown}" shown)
  # NOTICE prints the lines as they are, unwrapped.
  message(NOTICE "${shown}")
  fail("standard output (${actual}) differs from ${EXPECTED} "
    "(as expected in this run: ${written}), as shown above")
endif()
