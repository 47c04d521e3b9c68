# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Cross build for little-endian 64-bit POWER Linux with Debian's
# g++-powerpc64le-linux-gnu, the tests under qemu-user as a POWER8, the oldest
# processor Debian's ppc64el is for. long double is the
# IBM double-double (a pair of doubles, 106 bits), which has neither the
# x87's significand nor its exponent range: the software arithmetic computes
# the chain.
#   cmake -S . -B build-ppc64le -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/powerpc64le-linux-gnu.cmake
set(TARVELIN_CROSS_TRIPLET powerpc64le-linux-gnu)
set(TARVELIN_CROSS_QEMU qemu-ppc64le)
set(TARVELIN_CROSS_QEMU_CPU power8)
set(CMAKE_SYSTEM_PROCESSOR ppc64le)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
