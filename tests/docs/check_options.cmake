# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

cmake_policy(VERSION 3.20)

# The table of options in DOCUMENT holds every option and cache variable that
# OPTIONS declares, each once, with its default, and no other: off and on as
# "off" and "on ...", an empty default as "empty", a value as itself, a
# default computed at configure time as any words.
#   cmake -DOPTIONS=cmake/options.cmake -DDOCUMENT=CONTRIBUTING.md -P check_options.cmake

file(READ "${OPTIONS}" declarations)
string(REGEX MATCHALL "option\\((TARVELIN_[A-Z_]+)[ \n]+\"[^\"]*\"[ \n]+[^ \n)]+"
       options "${declarations}")
string(REGEX MATCHALL "set\\((TARVELIN_[A-Z_]+) (\"[^\"]*\"|[^ \n]+) CACHE"
       variables "${declarations}")
file(STRINGS "${DOCUMENT}" rows REGEX "^\\| `TARVELIN_[A-Z_]+` \\|")

set(problems "")
set(declared "")
foreach(declaration IN LISTS options variables)
  if(NOT declaration MATCHES "^option\\((TARVELIN_[A-Z_]+).*[ \n]([^ \n]+)$")
    string(REGEX MATCH "^set\\((TARVELIN_[A-Z_]+) (.*) CACHE$" declaration "${declaration}")
  endif()
  set(name "${CMAKE_MATCH_1}")
  set(default "${CMAKE_MATCH_2}")
  list(APPEND declared ${name})
  set(documented "")
  foreach(row IN LISTS rows)
    if(row MATCHES "^\\| `${name}` \\| ([^|]*) \\|")
      list(APPEND documented "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  list(LENGTH documented count)
  if(NOT count EQUAL 1)
    list(APPEND problems "${name}: ${count} rows in the table")
    continue()
  endif()
  if(default STREQUAL "OFF")
    set(pattern "^off$")
  elseif(default STREQUAL "ON")
    set(pattern "^on( |$)")
  elseif(default STREQUAL "\"\"")
    set(pattern "^empty$")
  elseif(default MATCHES "\\$")
    set(pattern ".")
  else()
    string(REGEX REPLACE "[.+*?^$()|\\[\\]\\\\]" "\\\\\\0" pattern "${default}")
    set(pattern "^`?${pattern}`?$")
  endif()
  if(NOT documented MATCHES "${pattern}")
    list(APPEND problems "${name}: default ${default}, documented as '${documented}'")
  endif()
endforeach()

foreach(row IN LISTS rows)
  string(REGEX MATCH "TARVELIN_[A-Z_]+" name "${row}")
  if(NOT name IN_LIST declared)
    list(APPEND problems "${name}: in the table, not in ${OPTIONS}")
  endif()
endforeach()

list(LENGTH declared count)
if(problems)
  list(JOIN problems "\n  " problems)
  message(FATAL_ERROR "the options table and ${OPTIONS} disagree:\n  ${problems}")
endif()
message(STATUS "${count} options documented with their defaults")
