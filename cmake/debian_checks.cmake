# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Read by cpack before it makes a package: a tree that cannot give a Debian
# package stops here, with its reasons (from cmake/packaging.cmake) in view.
if(CPACK_GENERATOR STREQUAL "DEB" AND CPACK_TARVELIN_DEBIAN_PROBLEMS)
  list(JOIN CPACK_TARVELIN_DEBIAN_PROBLEMS "\n" problems)
  message(FATAL_ERROR "${problems}")
endif()
