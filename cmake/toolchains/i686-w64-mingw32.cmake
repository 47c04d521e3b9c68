# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# The 32-bit Windows console program, cross-built with Debian's MinGW-w64
# (g++-mingw-w64-i686; the posix threading variant, for GoogleTest). The
# tests run under Wine: tools/setup-wine.sh prepares it, and WINEPREFIX,
# WINEDEBUG and WINEDLLOVERRIDES come from the environment, as it says.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

include(${CMAKE_CURRENT_LIST_DIR}/require.cmake)
tarvelin_require_program(i686-w64-mingw32-g++-posix "tools/setup-wine.sh")
tarvelin_require_program(wine "tools/setup-wine.sh")

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
