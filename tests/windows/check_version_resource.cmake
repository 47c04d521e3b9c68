# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

cmake_policy(VERSION 3.20)

# Reads the version resource back out of PROGRAM with windres and checks what
# Windows shows in the file's properties against the other places that state
# it: the version line of the usage screen (USAGE, the expected output), the
# description in the manual page's NAME line (PAGE), LICENSE's copyright line.
#   cmake -DWINDRES=... -DPROGRAM=... -DUSAGE=... -DPAGE=... -DLICENSE=... -P check_version_resource.cmake

execute_process(COMMAND "${WINDRES}" -i "${PROGRAM}" -O rc
                OUTPUT_VARIABLE resource RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT resource MATCHES "VERSIONINFO")
  message(FATAL_ERROR "no version resource in ${PROGRAM}")
endif()

file(STRINGS "${USAGE}" version_line REGEX "^ Version ")
if(NOT version_line MATCHES "^ Version ([0-9]+)\\.([0-9]+)\\.([0-9]+),")
  message(FATAL_ERROR "no version line in ${USAGE}")
endif()
set(version "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${CMAKE_MATCH_3}")
set(version_numbers "${CMAKE_MATCH_1}, ${CMAKE_MATCH_2}, ${CMAKE_MATCH_3}, 0")

file(STRINGS "${PAGE}" name_line REGEX "^tarvelin \\\\- ")
string(REGEX REPLACE "^tarvelin \\\\- " "" description "${name_line}")
file(STRINGS "${LICENSE}" copyright REGEX "^Copyright " LIMIT_COUNT 1)
get_filename_component(file_name "${PROGRAM}" NAME)

# Language German (Germany), 0x0407, code page 1252 (0x04E4), the one the
# resource's texts are written in. Windows looks the strings up by the
# translation's language and code page, so the string block and the
# translation must both name it: with two code pages it finds none.
set(expected
  "LANGUAGE 7, 1"
  "FILEVERSION ${version_numbers}"
  "PRODUCTVERSION ${version_numbers}"
  "FILETYPE 0x1"
  "BLOCK \"040704E4\""
  "VALUE \"FileVersion\", \"${version}\""
  "VALUE \"ProductVersion\", \"${version}\""
  "VALUE \"OriginalFilename\", \"${file_name}\""
  "VALUE \"LegalCopyright\", \"${copyright}\""
  "VALUE \"Translation\", 0x407, 1252")
foreach(line IN LISTS expected)
  string(REPLACE "(c)" "\\(c\\)" pattern "${line}")
  if(NOT resource MATCHES "(^|\n) *${pattern}\n")
    message(FATAL_ERROR "not in the version resource: ${line}\n${resource}")
  endif()
endforeach()
# The description is the manual page's, German, capitalised as a title.
string(TOLOWER "${resource}" resource_lower)
string(TOLOWER "${description}" description_lower)
if(description STREQUAL "" OR
   NOT resource_lower MATCHES "value \"filedescription\", \"${description_lower}\"\n")
  message(FATAL_ERROR "the file description is not \"${description}\":\n${resource}")
endif()
message(STATUS "version resource of ${file_name}: ${version}, ${description}, ${copyright}")
