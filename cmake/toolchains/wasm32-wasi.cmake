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
