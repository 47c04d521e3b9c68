# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# The linters as part of the build: clang-tidy with .clang-tidy (whose
# findings are errors) and cppcheck with the options in .cppcheck run on each
# source of the project beside its compilation, so a finding fails the build.
# The tree needs clang (clang-tidy reads the compiler's flags) and the system's
# GoogleTest, whose sources it would otherwise lint as well. The format of
# every source is a test of the tree (lint.format).
find_program(TARVELIN_CLANG_TIDY clang-tidy)
find_program(TARVELIN_CPPCHECK cppcheck)
find_program(TARVELIN_CLANG_FORMAT clang-format)
foreach(tool TARVELIN_CLANG_TIDY TARVELIN_CPPCHECK TARVELIN_CLANG_FORMAT)
  if(NOT ${tool})
    string(REGEX REPLACE "^TARVELIN_" "" name ${tool})
    string(TOLOWER ${name} name)
    string(REPLACE "_" "-" name ${name})
    message(FATAL_ERROR "TARVELIN_LINT needs ${name} (apt-get install ${name})")
  endif()
endforeach()

set(CMAKE_CXX_CLANG_TIDY ${TARVELIN_CLANG_TIDY} --quiet)
file(STRINGS ${PROJECT_SOURCE_DIR}/.cppcheck tarvelin_cppcheck_options REGEX "^[^#]")
set(CMAKE_CXX_CPPCHECK ${TARVELIN_CPPCHECK} ${tarvelin_cppcheck_options})

file(GLOB_RECURSE tarvelin_formatted_sources CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.h
  ${PROJECT_SOURCE_DIR}/tests/*.cpp ${PROJECT_SOURCE_DIR}/tests/*.h
  ${PROJECT_SOURCE_DIR}/fuzz/*.cpp ${PROJECT_SOURCE_DIR}/fuzz/*.h)
add_test(NAME lint.format
  COMMAND ${TARVELIN_CLANG_FORMAT} --dry-run -Werror ${tarvelin_formatted_sources})
set_tests_properties(lint.format PROPERTIES LABELS lint)
