# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT
# The console program compiled to WebAssembly for WASI, with Debian's clang-14,
# lld-14, wasi-libc and the wasm32 packages of compiler-rt and libc++. long
# double is binary128 there, so the extended chain runs in the project's
# software arithmetic. The tests run the module under node's WASI, and the
# build writes the web page around it (web/).
#   cmake -S . -B build-web -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/wasm32-wasi.cmake
set(CMAKE_SYSTEM_NAME WASI)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
# Platform/WASI.cmake: CMake has no description of this system of its own.
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})

include(${CMAKE_CURRENT_LIST_DIR}/require.cmake)
tarvelin_require_program(clang++-14 clang-14)
tarvelin_require_program(wasm-ld-14 lld-14)
tarvelin_require_program(node "apt-get install nodejs (20 or later)")
tarvelin_require_file(/usr/include/wasm32-wasi/stdio.h wasi-libc)
tarvelin_require_file(/usr/lib/llvm-14/lib/clang/*/lib/wasi/libclang_rt.builtins-wasm32.a
  libclang-rt-14-dev-wasm32)
tarvelin_require_file(/usr/lib/wasm32-wasi/libc++.a libc++-14-dev-wasm32)
tarvelin_require_file(/usr/lib/wasm32-wasi/libc++abi.a libc++abi-14-dev-wasm32)

set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
# The module carries no names or debug sections: it is downloaded with the page.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--strip-all")

# node runs a WASI command as a process would: arguments, standard output and
# error, exit status. Its notice that WASI is experimental would land on
# standard error, which the tests require to be empty.
find_program(TARVELIN_NODE node)
set(CMAKE_CROSSCOMPILING_EMULATOR ${TARVELIN_NODE} --no-warnings
    ${CMAKE_CURRENT_LIST_DIR}/../../tools/run-wasi.mjs)
