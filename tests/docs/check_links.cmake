# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

cmake_policy(VERSION 3.20)

# Every link of the Markdown files under SOURCE_DIR (build trees and
# node_modules aside) names a file or folder of the project that exists, and
# its #anchor a heading of that file, made as rendered Markdown makes anchors:
# lower case, punctuation but - and _ dropped, spaces as hyphens. A link to
# anything outside the project is an error too: the project names no address.
#   cmake -DSOURCE_DIR=... -P check_links.cmake

file(GLOB_RECURSE documents RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.md")
list(FILTER documents EXCLUDE REGEX "(^|/)(build[^/]*|node_modules|\\.git)/")

# The text of a document as it is rendered: without its code, where a "# " or
# "](" is no heading and no link.
function(read_prose file out)
  file(READ "${file}" prose)
  string(REGEX REPLACE "```[^`]*```" "" prose "${prose}")
  string(REGEX REPLACE "`[^`\n]*`" "" prose "${prose}")
  # Brackets and semicolons would bend CMake's lists: a link's "](" becomes
  # a mark, the rest goes.
  string(REPLACE "](" " @LINK@" prose "${prose}")
  string(REGEX REPLACE "[][;]" "" prose "${prose}")
  set(${out} "\n${prose}" PARENT_SCOPE)
endfunction()

function(anchors_of file out)
  read_prose("${file}" prose)
  string(REGEX MATCHALL "\n#+ [^\n]+" headings "${prose}")
  set(anchors "")
  foreach(heading IN LISTS headings)
    string(REGEX REPLACE "^\n#+ " "" anchor "${heading}")
    string(TOLOWER "${anchor}" anchor)
    string(REGEX REPLACE "[!\"#$%&'()*+,./:;<=>?@\\^{|}~]" "" anchor "${anchor}")
    string(REPLACE " " "-" anchor "${anchor}")
    list(APPEND anchors "${anchor}")
  endforeach()
  set(${out} "${anchors}" PARENT_SCOPE)
endfunction()

set(links 0)
set(broken "")
foreach(document IN LISTS documents)
  get_filename_component(folder "${SOURCE_DIR}/${document}" DIRECTORY)
  read_prose("${SOURCE_DIR}/${document}" prose)
  string(REGEX MATCHALL "@LINK@[^)\n]*\\)" targets "${prose}")
  foreach(target IN LISTS targets)
    math(EXPR links "${links} + 1")
    string(REGEX REPLACE "^@LINK@(.*)\\)$" "\\1" target "${target}")
    if(target MATCHES "^[A-Za-z][A-Za-z0-9+.-]*:" OR target MATCHES "^/")
      list(APPEND broken "${document}: ${target} is outside the project")
      continue()
    endif()
    string(FIND "${target}" "#" hash)
    string(SUBSTRING "${target}" 0 ${hash} path)
    set(file "${SOURCE_DIR}/${document}")
    if(NOT path STREQUAL "")
      get_filename_component(file "${folder}/${path}" ABSOLUTE)
    endif()
    if(NOT EXISTS "${file}")
      list(APPEND broken "${document}: ${target}: no such file")
    elseif(target MATCHES "#(.*)$")
      set(anchor "${CMAKE_MATCH_1}")
      anchors_of("${file}" anchors)
      if(NOT anchor IN_LIST anchors)
        list(APPEND broken "${document}: ${target}: no such heading")
      endif()
    endif()
  endforeach()
endforeach()

list(LENGTH documents count)
if(broken)
  list(JOIN broken "\n  " broken)
  message(FATAL_ERROR "broken links:\n  ${broken}")
endif()
message(STATUS "${links} links in ${count} Markdown files resolve")
