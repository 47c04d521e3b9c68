# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Cross build for 64-bit RISC-V Linux with Debian's g++-riscv64-linux-gnu,
# the tests under qemu-user. long double is binary128 (software arithmetic),
# and the processor's conversions between single and double turn every NaN
# into the positive canonical one, which the front end must not rely on.
#   cmake -S . -B build-riscv64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/riscv64-linux-gnu.cmake
set(TARVELIN_CROSS_TRIPLET riscv64-linux-gnu)
set(TARVELIN_CROSS_QEMU qemu-riscv64)
set(CMAKE_SYSTEM_PROCESSOR riscv64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
