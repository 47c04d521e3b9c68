# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Packages made by cpack from the install rules: a Debian package on Linux,
# a ZIP for the Windows user (the program, LIESMICH.txt, the changelog and the
# licence), a ZIP with the web page and the licence for WASI. CPack takes the times of the packed files
# from SOURCE_DATE_EPOCH where it is set, so two builds of one commit give the
# same archives.

if(WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
  # Windows has no place for the manual page: its user reads it, after a word
  # on starting the program, in LIESMICH.txt, rendered here as text.
  find_program(TARVELIN_MANDOC mandoc)
  find_program(TARVELIN_COL col)
  if(TARVELIN_MANDOC AND TARVELIN_COL)
    set(liesmich ${PROJECT_BINARY_DIR}/LIESMICH.txt)
    add_custom_command(OUTPUT ${liesmich}
      COMMAND ${CMAKE_COMMAND} -DMANDOC=${TARVELIN_MANDOC} -DCOL=${TARVELIN_COL}
        -DPAGE=${PROJECT_BINARY_DIR}/man/tarvelin.1 -DVERSION=${PROJECT_VERSION}
        -DOUTPUT=${liesmich} -P ${CMAKE_CURRENT_LIST_DIR}/liesmich.cmake
      DEPENDS ${PROJECT_BINARY_DIR}/man/tarvelin.1 ${CMAKE_CURRENT_LIST_DIR}/liesmich.cmake
      VERBATIM)
    add_custom_target(liesmich ALL DEPENDS ${liesmich})
    install(FILES ${liesmich} DESTINATION .)
  else()
    message(STATUS "mandoc or col (bsdextrautils) not found: "
      "the Windows archive goes without LIESMICH.txt")
  endif()
  set(CPACK_GENERATOR ZIP)
elseif(CMAKE_SYSTEM_NAME STREQUAL "WASI")
  set(CPACK_GENERATOR ZIP)
  # One folder of the archive's name: the page's files and the licence.
  set(CPACK_PACKAGE_FILE_NAME tarvelin-web-${PROJECT_VERSION})
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
  # Only the page's component, not the program's install rules.
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_COMPONENTS_ALL web)
else()
  set(CPACK_GENERATOR DEB)
endif()

set(CPACK_PACKAGE_NAME tarvelin)
set(CPACK_PACKAGE_VENDOR "the tarvelin authors")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TARVELIN_DEBIAN_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TARVELIN_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The long description; cpack puts the summary (the project's description)
# above it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "tarvelin liest einen Nominalzins und eine Inflationsrate in Prozent und gibt
beide aus, ihre Differenz (die übliche Näherung des Realzinses), den genauen
Realzins nach der Fisher-Gleichung und den Unterschied zwischen Näherung und
genauem Wert.")
# Dependencies come from the libraries the program links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A package for the architecture the tree is built for, not the one of the
# machine that builds it; a cross compiler's C library lies outside the
# system's library folders, where dpkg-shlibdeps is told to look.
if(TARVELIN_DEBIAN_ARCH)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${TARVELIN_DEBIAN_ARCH})
endif()
if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_NAME STREQUAL "Linux")
  separate_arguments(tarvelin_flags UNIX_COMMAND "${CMAKE_CXX_FLAGS}")
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} ${tarvelin_flags} -print-file-name=libc.so.6
                  OUTPUT_VARIABLE tarvelin_libc OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(tarvelin_libc_dir "${tarvelin_libc}" DIRECTORY)
  get_filename_component(tarvelin_libc_dir "${tarvelin_libc_dir}" REALPATH)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${tarvelin_libc_dir})
endif()

# The copyright file in Debian's machine-readable format, from LICENSE and
# the format line of the REUSE configuration (the same format).
file(STRINGS ${PROJECT_SOURCE_DIR}/.reuse/dep5 tarvelin_copyright_format REGEX "^Format: ")
string(REGEX REPLACE "^Copyright \\(c\\) " "" tarvelin_copyright "${TARVELIN_COPYRIGHT}")
file(READ ${PROJECT_SOURCE_DIR}/LICENSE tarvelin_licence_text)
string(REGEX REPLACE "^.*\n\n(Permission is hereby granted)" "\\1" tarvelin_licence_text
  "${tarvelin_licence_text}")
string(STRIP "${tarvelin_licence_text}" tarvelin_licence_text)
string(REPLACE "\n\n" "\n.\n" tarvelin_licence_text "${tarvelin_licence_text}")
string(REPLACE "\n" "\n " tarvelin_licence_text "${tarvelin_licence_text}")
file(CONFIGURE OUTPUT debian/copyright CONTENT "${tarvelin_copyright_format}
Upstream-Name: tarvelin

Files: *
Copyright: ${tarvelin_copyright}
License: Expat

License: Expat
 ${tarvelin_licence_text}
")

# What keeps a tree from giving a Debian package, said when it is configured
# and again, as an error, by cpack -G DEB (debian_checks.cmake, which cpack
# reads before it starts, so that the sentence is not lost in its log).
# Debian wants its packages dynamically linked, so that a fixed C library
# reaches them; the static default is for `cmake --install` and its start-up.
set(CPACK_TARVELIN_DEBIAN_PROBLEMS "")
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  if(TARVELIN_STATIC)
    list(APPEND CPACK_TARVELIN_DEBIAN_PROBLEMS "The Debian package takes a dynamically linked \
program: configure a build tree with -DTARVELIN_STATIC=OFF and run cpack there.")
  endif()
  if(NOT TARVELIN_DEBIAN_MAINTAINER MATCHES "^[^<>]+ <[^<>@ ]+@[^<>@ ]+>$")
    list(APPEND CPACK_TARVELIN_DEBIAN_PROBLEMS "The Debian package needs a maintainer, \
\"Name <address>\": configure with -DTARVELIN_DEBIAN_MAINTAINER=... or set DEBFULLNAME and DEBEMAIL.")
  endif()
  # A static tree is the usual one and needs no word; a dynamic one is meant
  # for the package.
  if(NOT TARVELIN_STATIC AND CPACK_TARVELIN_DEBIAN_PROBLEMS)
    message(WARNING "${CPACK_TARVELIN_DEBIAN_PROBLEMS}")
  endif()
endif()
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/debian_checks.cmake)

# What the Debian package needs beyond the install rules is added to the
# staging folder by a script that runs in cpack.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian_package.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian_finish.cmake)
set(CPACK_TARVELIN_STRIP ${CMAKE_STRIP})
set(CPACK_TARVELIN_COPYRIGHT ${PROJECT_BINARY_DIR}/debian/copyright)
set(CPACK_TARVELIN_CHANGELOG ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
set(CPACK_TARVELIN_LINTIAN_OVERRIDES ${CMAKE_CURRENT_LIST_DIR}/debian/lintian-overrides)

include(CPack)
