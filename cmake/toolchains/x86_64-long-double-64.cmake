# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# x86-64 Linux with long double as double, the configuration of Microsoft's
# compiler: no x87 format to compute the chain with, so the software
# arithmetic is chosen, as it would be there. Not a cross build; the tests
# run on this machine.
#   cmake -S . -B build-ld64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/x86_64-long-double-64.cmake
# The flag changes the ABI of everything that passes a long double, so
# GoogleTest is built from its sources with it (the system's library has the
# 80-bit one); the C and C++ libraries are only called with float and double.
set(CMAKE_C_FLAGS_INIT -mlong-double-64)
set(CMAKE_CXX_FLAGS_INIT -mlong-double-64)
set(TARVELIN_GTEST_FROM_SOURCE ON CACHE BOOL "Build GoogleTest from its sources")
