# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Cross build for 32-bit Arm Linux with hardware floating point (armhf: ARMv7
# with VFPv3-D16, as Debian defines it, so not the ARMv6 of a Raspberry Pi 1 or
# Zero) with Debian's g++-arm-linux-gnueabihf, the tests under qemu-user as a
# Cortex-A8, the oldest ARMv7. long double is double there, so the software
# arithmetic computes the chain. Its VFP converts a NaN between single and
# double as an x86 does (sign and the top of the payload kept, quiet bit set),
# since Linux leaves the default-NaN mode off.
#
# The C library is glibc, linked statically from Debian's cross package
# (libc6-dev-armhf-cross, which g++-arm-linux-gnueabihf brings): the program
# calls nothing of glibc that needs shared objects at run time (no locale,
# name service or dlopen), so the static program runs on any armhf Linux.
# Debian has musl for armhf only as a package of that foreign architecture,
# and the tests need GCC's libstdc++ for GoogleTest anyway; one C library
# keeps the released program the one these tests hold to the native tree.
#   cmake -S . -B build-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/arm-linux-gnueabihf.cmake
set(TARVELIN_CROSS_TRIPLET arm-linux-gnueabihf)
set(TARVELIN_CROSS_QEMU qemu-arm)
set(TARVELIN_CROSS_QEMU_CPU cortex-a8)
set(CMAKE_SYSTEM_PROCESSOR arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
