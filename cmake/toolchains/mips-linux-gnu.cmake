# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Cross build for 32-bit big-endian MIPS Linux with Debian's
# g++-mips-linux-gnu, the tests under qemu-user. long double is double
# (software arithmetic), and the processor keeps the legacy NaN encoding, in
# which a set top significand bit marks a signaling NaN, not a quiet one; its
# conversions make their own default NaN. CI's one 32-bit big-endian target:
# a 32-bit PowerPC build (g++-powerpc-linux-gnu, qemu-ppc) behaves like the
# s390x one.
#   cmake -S . -B build-mips -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mips-linux-gnu.cmake
set(TARVELIN_CROSS_TRIPLET mips-linux-gnu)
set(TARVELIN_CROSS_QEMU qemu-mips)
set(CMAKE_SYSTEM_PROCESSOR mips)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
