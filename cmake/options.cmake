# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Every option and cache variable of the project, with its help text;
# CONTRIBUTING.md has them as a table, which the test docs.options holds to
# this file. CMakePresets.json sets them per tree.

# What is built.
option(TARVELIN_BUILD_TESTS "Build the tests" ${PROJECT_IS_TOP_LEVEL})
option(TARVELIN_SOFT_EXTENDED
  "Compute the extended chain in software even where long double is the x87 format" OFF)
option(TARVELIN_SANITIZE "Build everything with AddressSanitizer and UBSan" OFF)
option(TARVELIN_FUZZ "Build the libFuzzer targets and their test runs (clang only)" OFF)
set(TARVELIN_FUZZ_SECONDS 60 CACHE STRING "How long each fuzz test runs, in seconds")
option(TARVELIN_LINT "Run clang-tidy and cppcheck on every source as it is compiled" OFF)
# One run is one process, so start-up is nearly all its cost: a static program
# skips the dynamic loader. Packagers who want a dynamic one turn this off; the
# sanitizer runtimes need dynamic linking, so those builds never get it.
include(CMakeDependentOption)
cmake_dependent_option(TARVELIN_STATIC "Link the program statically" ON
  "CMAKE_SYSTEM_NAME STREQUAL Linux;NOT TARVELIN_SANITIZE;NOT TARVELIN_FUZZ" OFF)

# What the tests need. Without GoogleTest or MPFR the tests that need them are
# left out with a note; CI's trees require them.
option(TARVELIN_REQUIRE_GTEST "Fail when GoogleTest for the unit tests is missing" OFF)
option(TARVELIN_REQUIRE_ORACLE "Fail when MPFR for the oracle tests is missing" OFF)
option(TARVELIN_GTEST_FROM_SOURCE "Build GoogleTest from its sources" ${CMAKE_CROSSCOMPILING})
set(TARVELIN_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH
  "GoogleTest sources (Debian's package googletest)")
set(TARVELIN_SWEEP_CASES 100000 CACHE STRING "Cases of each kind in the sweep test")
option(TARVELIN_EXHAUSTIVE "Add the exhaustive sweeps (minutes each) to the tests" OFF)
# The native build that the others are held to: the records and reports of
# this tree are compared with its, and the web page with its program.
set(TARVELIN_NATIVE_DIR "" CACHE PATH
  "Native build tree to compare this build's records and reports with (empty: none)")
set(TARVELIN_CHROMIUM /usr/bin/chromium CACHE FILEPATH "The browser for the web page's tests")

# The Debian package. Its maintainer is whoever builds it; there is no
# project address to put there. The revision counts packagings of one release.
set(tarvelin_maintainer_default "")
if(DEFINED ENV{DEBFULLNAME} AND DEFINED ENV{DEBEMAIL})
  set(tarvelin_maintainer_default "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
endif()
set(TARVELIN_DEBIAN_MAINTAINER "${tarvelin_maintainer_default}" CACHE STRING
  "Maintainer of the Debian package, \"Name <address>\" (default: DEBFULLNAME and DEBEMAIL)")
set(TARVELIN_DEBIAN_REVISION 1 CACHE STRING "Debian revision of the package")
# The Debian architecture a tree is for: its package's, and the processor its
# program is held to (release.processor). A preset states it, so that one
# pointed at another platform's toolchain fails; by hand it is the one
# dpkg-architecture names for the compiler's target.
set(tarvelin_debian_arch_default "")
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND CMAKE_LIBRARY_ARCHITECTURE)
  execute_process(COMMAND dpkg-architecture -t${CMAKE_LIBRARY_ARCHITECTURE} -qDEB_HOST_ARCH
    OUTPUT_VARIABLE tarvelin_debian_arch_default OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
set(TARVELIN_DEBIAN_ARCH "${tarvelin_debian_arch_default}" CACHE STRING
  "Debian architecture of the tree (default: the compiler's, as dpkg-architecture names it)")
