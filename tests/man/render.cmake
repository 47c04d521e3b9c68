# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

cmake_policy(VERSION 3.20)

# Lints and renders the manual page PAGE with mandoc, or groff where mandoc is
# missing. Any warning fails; so does a rendering without its sections.

find_program(MANDOC mandoc)
find_program(GROFF groff)

if(MANDOC)
  execute_process(COMMAND ${MANDOC} -T lint -W all "${PAGE}"
                  OUTPUT_VARIABLE lint ERROR_VARIABLE lint RESULT_VARIABLE status)
  set(render ${MANDOC} -T utf8 "${PAGE}")
elseif(GROFF)
  execute_process(COMMAND ${GROFF} -man -ww -z "${PAGE}"
                  OUTPUT_VARIABLE lint ERROR_VARIABLE lint RESULT_VARIABLE status)
  # -P -cbou: no overstrike, bold or underline, plain text.
  set(render ${GROFF} -man -T utf8 -P -cbou "${PAGE}")
else()
  message("tarvelin-skip: neither mandoc nor groff is installed")
  return()
endif()

if(NOT status EQUAL 0 OR NOT lint STREQUAL "")
  message(FATAL_ERROR "the page does not lint clean (status ${status}):\n${lint}")
endif()

execute_process(COMMAND ${render} OUTPUT_VARIABLE text ERROR_VARIABLE errors
                RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT errors STREQUAL "")
  message(FATAL_ERROR "rendering failed (status ${status}): ${errors}")
endif()
# mandoc emboldens by overstriking (X, backspace, X); undo it for ASCII, and
# look for the heading with the umlaut by its ASCII rest.
string(ASCII 8 backspace)
string(REGEX REPLACE "[ -~]${backspace}" "" text "${text}")
foreach(section NAME BERSICHT BESCHREIBUNG OPTIONEN EXIT-STATUS BEISPIELE HINWEISE)
  if(NOT text MATCHES "\n[^ \n]*${section}\n")
    message(FATAL_ERROR "the rendered page lacks the section ${section}")
  endif()
endforeach()
