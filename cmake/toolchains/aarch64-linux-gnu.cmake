# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Cross build for 64-bit Arm Linux with Debian's g++-aarch64-linux-gnu; the
# tests run under qemu-user as a Cortex-A53, the ARMv8.0 of a Raspberry Pi 3
# and the oldest processor Debian's arm64 is for (no atomics of ARMv8.1). There
# long double is binary128, so the extended chain runs in the project's
# software arithmetic.
#   cmake -S . -B build-aarch64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/aarch64-linux-gnu.cmake
set(TARVELIN_CROSS_TRIPLET aarch64-linux-gnu)
set(TARVELIN_CROSS_QEMU qemu-aarch64)
set(TARVELIN_CROSS_QEMU_CPU cortex-a53)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
