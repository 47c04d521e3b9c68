# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Cross build for 32-bit Arm Linux of every generation (armel: ARMv5TE,
# floating point in software, as Debian defines it) with Debian's
# g++-arm-linux-gnueabi, the tests under qemu-user as the ARM1176 of a
# Raspberry Pi 1 or Zero. Its program runs on those ARMv6 boards too, where
# the armhf one (ARMv7) dies of an illegal instruction, and on every later
# board with a 32-bit system. long double is double there, so the software
# arithmetic computes the chain. With no floating-point unit, GCC's library
# converts between single and double: it widens a NaN as an x86 does but
# narrows every NaN to its default NaN (positive, no payload), so the program's
# own conversions by the bits are what keep a NaN's sign here.
#
# The C library is glibc, linked statically from Debian's cross package
# (libc6-dev-armel-cross, which g++-arm-linux-gnueabi brings), for the reasons
# arm-linux-gnueabihf.cmake gives; that library is built for ARMv5TE as well.
#   cmake -S . -B build-armel -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/arm-linux-gnueabi.cmake
set(TARVELIN_CROSS_TRIPLET arm-linux-gnueabi)
set(TARVELIN_CROSS_QEMU qemu-arm)
set(TARVELIN_CROSS_QEMU_CPU arm1176)
set(CMAKE_SYSTEM_PROCESSOR arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
