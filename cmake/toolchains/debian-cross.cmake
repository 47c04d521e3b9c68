# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# What every Linux cross build with Debian's cross compilers shares; the
# toolchain file of a target sets these three and includes this file:
#   TARVELIN_CROSS_TRIPLET  the GNU triplet of the compilers, g++-<triplet>
#   TARVELIN_CROSS_QEMU     the qemu-user program that runs the target's code
#   CMAKE_SYSTEM_PROCESSOR
# and may set TARVELIN_CROSS_QEMU_CPU, the processor qemu emulates (its -cpu),
# where the oldest one the program is for is not qemu's default, the newest.
# The target's C library lives under /usr/<triplet>, where qemu finds it too;
# GoogleTest is built from Debian's copy of its sources (tests/CMakeLists.txt).
set(CMAKE_SYSTEM_NAME Linux)

include(${CMAKE_CURRENT_LIST_DIR}/require.cmake)
tarvelin_require_program(${TARVELIN_CROSS_TRIPLET}-g++ "g++-${TARVELIN_CROSS_TRIPLET}")
tarvelin_require_program(${TARVELIN_CROSS_QEMU} qemu-user)

set(CMAKE_C_COMPILER ${TARVELIN_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${TARVELIN_CROSS_TRIPLET}-g++)

set(tarvelin_cross_sysroot /usr/${TARVELIN_CROSS_TRIPLET})
set(CMAKE_CROSSCOMPILING_EMULATOR ${TARVELIN_CROSS_QEMU} -L ${tarvelin_cross_sysroot})
if(TARVELIN_CROSS_QEMU_CPU)
  list(APPEND CMAKE_CROSSCOMPILING_EMULATOR -cpu ${TARVELIN_CROSS_QEMU_CPU})
endif()

set(CMAKE_FIND_ROOT_PATH ${tarvelin_cross_sysroot})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
