# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Cross build for IBM Z Linux with Debian's g++-s390x-linux-gnu, the tests
# under qemu-user: big-endian, long double binary128, so the software
# arithmetic computes the chain. The compiler builds for the z196, the oldest
# machine Debian's s390x is for; qemu's own model runs the tests, as qemu
# without KVM cannot present a z196 (its cryptographic and decimal floating
# point facilities are missing).
#   cmake -S . -B build-s390x -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/s390x-linux-gnu.cmake
set(TARVELIN_CROSS_TRIPLET s390x-linux-gnu)
set(TARVELIN_CROSS_QEMU qemu-s390x)
set(CMAKE_SYSTEM_PROCESSOR s390x)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
