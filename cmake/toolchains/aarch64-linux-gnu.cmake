# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Cross build for 64-bit Arm Linux with Debian's g++-aarch64-linux-gnu; the
# tests run under qemu-user. There long double is binary128, so the extended
# chain runs in the project's software arithmetic.
#   cmake -S . -B build-aarch64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/aarch64-linux-gnu.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

set(TARVELIN_AARCH64_SYSROOT /usr/aarch64-linux-gnu CACHE PATH "Target libraries for qemu")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L ${TARVELIN_AARCH64_SYSROOT})

set(CMAKE_FIND_ROOT_PATH ${TARVELIN_AARCH64_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
