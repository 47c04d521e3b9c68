# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# 32-bit x86 Linux on an x86-64 Debian machine (needs libc6-dev-i386 and
# lib32stdc++-12-dev, from g++-12-multilib): float and double arithmetic in
# x87 registers, long double the x87 format, so the processor computes the
# chain. The programs run under qemu-user.
#   cmake -S . -B build-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/i686-linux-gnu.cmake
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

include(${CMAKE_CURRENT_LIST_DIR}/require.cmake)
tarvelin_require_program(qemu-i386 qemu-user)
tarvelin_require_file(/usr/lib/gcc/x86_64-linux-gnu/*/32/libstdc++.so g++-12-multilib)

# The kernel's asm headers serve both widths; Debian links them as
# /usr/include/asm only with gcc-multilib, which cannot be installed beside
# the aarch64 cross compiler. The same link in the build tree does its work.
set(tarvelin_i686_include ${CMAKE_BINARY_DIR}/i686-include)
if(NOT EXISTS ${tarvelin_i686_include}/asm)
  file(MAKE_DIRECTORY ${tarvelin_i686_include})
  file(CREATE_LINK /usr/include/x86_64-linux-gnu/asm ${tarvelin_i686_include}/asm SYMBOLIC)
endif()
set(CMAKE_C_FLAGS_INIT "-m32 -isystem ${tarvelin_i686_include}")
set(CMAKE_CXX_FLAGS_INIT "-m32 -isystem ${tarvelin_i686_include}")

# Many x86-64 kernels run 32-bit programs natively, but not every one does:
# qemu-user runs them everywhere, with an exact x87, and as the oldest
# processor Debian's i386 is for: a P6 without MMX (the Pentium Pro), where an
# SSE instruction stops the program.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386 -cpu pentium2,-mmx)
