# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# A toolchain file stops the configuration where something it needs is
# missing, naming the Debian package that brings it, so that no test of the
# tree is skipped for it later.

# tarvelin_require_program(PROGRAM PACKAGE)
function(tarvelin_require_program program package)
  find_program(tarvelin_program_${program} ${program} NO_CMAKE_FIND_ROOT_PATH)
  if(NOT tarvelin_program_${program})
    message(FATAL_ERROR "${program} not found: this build needs ${package}")
  endif()
endfunction()

# tarvelin_require_file(GLOB PACKAGE)
function(tarvelin_require_file pattern package)
  file(GLOB found ${pattern})
  if(NOT found)
    message(FATAL_ERROR "${pattern} not found: this build needs ${package}")
  endif()
endfunction()
