# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# A static x86-64 Linux program on musl (Debian's musl-dev and musl-tools),
# which runs on any Linux of that processor and starts in a fraction of the
# instructions glibc's static start-up takes. Not a cross build: the tests
# run on this machine.
#   cmake -S . -B build-musl -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/x86_64-linux-musl.cmake
#
# clang-14 with libc++'s headers (libc++-14-dev) and LLVM's own run-time
# (compiler-rt, libunwind): libc++ has a configuration for musl, which its
# <cstdio> family then wraps like any C library. libstdc++'s headers are
# configured for glibc (__GLIBC_PREREQ, glibc's locale and ctype tables) and
# do not compile on musl's. The program uses the C library alone, so it links
# nothing of a C++ library and nothing of GCC's or glibc's.
#
# GoogleTest cannot be had: it needs a compiled C++ library, and Debian's
# libc++.a and libstdc++.a are both built on glibc's headers (fortified calls
# such as __fprintf_chk, locale macros that read glibc's locale record; a
# stream's first number crashes on musl). So this tree holds the program to
# the native build by its end-to-end cases, the manual page's examples and
# records_digest (whose vectors need only libc++'s operator new); the unit
# and oracle tests run in the native build on the same sources.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET x86_64-linux-musl)
set(CMAKE_CXX_COMPILER_TARGET x86_64-linux-musl)

if(NOT EXISTS /usr/lib/x86_64-linux-musl/libc.a OR NOT EXISTS /usr/lib/llvm-14/include/c++/v1/cstdio)
  message(FATAL_ERROR "musl or libc++ not found; to get them, run: "
    "apt-get install musl-tools clang-14 libc++-14-dev libclang-rt-14-dev")
endif()

# clang looks for a target's C library under a system root; Debian keeps
# musl's beside glibc's, so links in the build tree make one.
set(tarvelin_musl_root ${CMAKE_BINARY_DIR}/musl-root)
if(NOT EXISTS ${tarvelin_musl_root}/usr/lib)
  file(MAKE_DIRECTORY ${tarvelin_musl_root}/usr)
  file(CREATE_LINK /usr/include/x86_64-linux-musl ${tarvelin_musl_root}/usr/include SYMBOLIC)
  file(CREATE_LINK /usr/lib/x86_64-linux-musl ${tarvelin_musl_root}/usr/lib SYMBOLIC)
endif()
set(CMAKE_SYSROOT ${tarvelin_musl_root})

# --gcc-toolchain: the root has no GCC, so none of the host's is searched.
set(CMAKE_C_FLAGS_INIT "--gcc-toolchain=${tarvelin_musl_root}/usr")
set(CMAKE_CXX_FLAGS_INIT
    "--gcc-toolchain=${tarvelin_musl_root}/usr -stdlib=libc++ -D_LIBCPP_HAS_MUSL_LIBC -fno-exceptions")
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -nostdlib++ -rtlib=compiler-rt -unwindlib=none")

# tests/CMakeLists.txt leaves GoogleTest out.
set(TARVELIN_TOOLCHAIN_WITHOUT_CXX_LIBRARY ON)
