# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# A toolchain file stops the configuration where something it needs is
# missing, saying in one line what to run to get it (the Debian package, as
# root), so that no test of the tree is skipped for it later.

# tarvelin_require_program(PROGRAM PACKAGE|COMMAND): a package name, or the
# command that brings the program where no package alone does.
function(tarvelin_require_program program remedy)
  find_program(tarvelin_program_${program} ${program} NO_CMAKE_FIND_ROOT_PATH)
  if(NOT tarvelin_program_${program})
    tarvelin_missing(${program} "${remedy}")
  endif()
endfunction()

# tarvelin_require_file(GLOB PACKAGE)
function(tarvelin_require_file pattern package)
  file(GLOB found ${pattern})
  if(NOT found)
    tarvelin_missing(${pattern} ${package})
  endif()
endfunction()

function(tarvelin_missing what remedy)
  if(NOT remedy MATCHES " ")
    set(remedy "apt-get install ${remedy}")
  endif()
  message(FATAL_ERROR "${what} not found; to get it, run: ${remedy}")
endfunction()
