# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

cmake_policy(VERSION 3.20)

# A failing case reads as text: run_case.cmake, given expected files that the
# program's output must not match, fails and shows the lines that differ with
# their tabs, line ends and bytes beyond ASCII, and names the files.
#   cmake -DPROGRAM=... -DEMULATOR=... -DRUN_CASE=... -DEXPECTED_DIR=... -DWORKDIR=...
#   -P check_failure_report.cmake

file(REMOVE_RECURSE "${WORKDIR}")
file(MAKE_DIRECTORY "${WORKDIR}")
# The report of 5 and 2 with one digit of the real rate changed.
file(READ "${EXPECTED_DIR}/5_2_multi.out" report)
string(REPLACE "2.941 %" "2.942 %" planted "${report}")
file(WRITE "${WORKDIR}/planted.out" "${planted}")

set(problems "")
# failing_case(NAME STATUS ARGS WINDOWS EXPECTED SHOWN...): the case fails, and its
# report holds each SHOWN text.
function(failing_case name status arguments windows expected)
  execute_process(COMMAND "${CMAKE_COMMAND}" "-DPROGRAM=${PROGRAM}" "-DEMULATOR=${EMULATOR}"
                    "-DARGS=${arguments}" -DSTATUS=${status} -DNAME=${name} -DWINDOWS=${windows}
                    "-DEXPECTED=${expected}" -P "${RUN_CASE}"
                  WORKING_DIRECTORY "${WORKDIR}"
                  OUTPUT_VARIABLE report ERROR_VARIABLE report RESULT_VARIABLE failed)
  if(NOT failed)
    list(APPEND problems "${name}: passed")
  endif()
  foreach(shown IN LISTS ARGN)
    string(FIND "${report}" "${shown}" at)
    if(at EQUAL -1)
      list(APPEND problems "${name}: no '${shown}' in:\n${report}")
    endif()
  endforeach()
  set(problems "${problems}" PARENT_SCOPE)
endfunction()

failing_case(planted 0 "5|2|-m" OFF "${WORKDIR}/planted.out"
  "--- ${WORKDIR}/planted.out\n+++ ${WORKDIR}/planted.actual\n"
  "-Tarvelin:\\t  2.942 %\\n\n+Tarvelin:\\t  2.941 %\\n\n")
# Read as a Windows program's, the expected lines end in CR LF.
failing_case(line_ends 0 "5|2|-m" ON "${EXPECTED_DIR}/5_2_multi.out"
  "-Zins:\\t\\t  5.00  %\\r\\n\n" "+Zins:\\t\\t  5.00  %\\n\n")
# The Windows usage screen's ä is the byte 0x84; here it is UTF-8's c3 a4.
failing_case(usage_letter 1 "" OFF "${EXPECTED_DIR}/windows/usage.out"
  "N\\x84herungsweise" "N\\xc3\\xa4herungsweise")
failing_case(missing 0 "5|2" OFF "${WORKDIR}/no-such.out"
  "no such file of expected output" "${WORKDIR}/no-such.out")

if(problems)
  list(JOIN problems "\n  " problems)
  message(FATAL_ERROR "failure reports:\n  ${problems}")
endif()
