# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT
# WebAssembly with the WASI system interface: programs are .wasm modules,
# linked statically, with no shared libraries.
set(WASI 1)
set(CMAKE_EXECUTABLE_SUFFIX .wasm)
set_property(GLOBAL PROPERTY TARGET_SUPPORTS_SHARED_LIBS FALSE)
