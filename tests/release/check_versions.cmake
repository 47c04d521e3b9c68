# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

cmake_policy(VERSION 3.20)

# The version and date the program prints on its usage screen must be the
# ones the manual page's header (PAGE, as configured) and the newest release
# of the changelog (CHANGELOG) name.
#   cmake -DPROGRAM=... -DEMULATOR=... -DPAGE=... -DCHANGELOG=... -P check_versions.cmake

string(REPLACE "|" ";" emulator "${EMULATOR}")
execute_process(COMMAND ${emulator} "${PROGRAM}" OUTPUT_VARIABLE usage)
if(NOT usage MATCHES "\n Version ([0-9.]+), (([0-9][0-9])\\.([0-9][0-9])\\.([0-9][0-9][0-9][0-9]))\r?\n")
  message(FATAL_ERROR "no version line on the usage screen:\n${usage}")
endif()
set(version "${CMAKE_MATCH_1}")
set(date "${CMAKE_MATCH_2}")
set(iso_date "${CMAKE_MATCH_5}-${CMAKE_MATCH_4}-${CMAKE_MATCH_3}")

file(STRINGS "${PAGE}" header REGEX "^\\.TH ")
if(NOT header STREQUAL ".TH TARVELIN 1 ${iso_date} \"tarvelin ${version}\" \"Benutzerbefehle\"")
  message(FATAL_ERROR "the manual page's header is not of ${version}, ${iso_date}: ${header}")
endif()

file(STRINGS "${CHANGELOG}" releases REGEX "^## [0-9]")
list(GET releases 0 newest)
if(NOT newest STREQUAL "## ${version} (${date})")
  message(FATAL_ERROR "the newest release in the changelog is not ${version} of ${date}: ${newest}")
endif()
message(STATUS "usage screen, manual page and changelog: ${version} of ${date}")
