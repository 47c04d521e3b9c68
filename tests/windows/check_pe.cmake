# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

cmake_policy(VERSION 3.20)

# Checks that PROGRAM is a 32-bit x86 Windows console program that a bare
# Windows runs: every DLL it imports is one that Windows itself ships. Its
# header's time stamp is zero, so that two builds give the same file (objdump
# shows it as local time: hence UTC).
#   cmake -DOBJDUMP=... -DPROGRAM=... -P check_pe.cmake

set(ENV{TZ} UTC)
execute_process(COMMAND "${OBJDUMP}" -f -p "${PROGRAM}"
                OUTPUT_VARIABLE headers RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} could not read ${PROGRAM}")
endif()

foreach(expected "file format pei-i386" "Magic[ \t]+010b[ \t]+\\(PE32\\)"
                 "Subsystem[ \t]+00000003[ \t]+\\(Windows CUI\\)"
                 "Time/Date[ \t]+Thu Jan  1 00:00:00 1970")
  if(NOT headers MATCHES "${expected}")
    message(FATAL_ERROR "not found in the headers: ${expected}")
  endif()
endforeach()

set(system_dlls kernel32.dll msvcrt.dll ntdll.dll user32.dll advapi32.dll)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${headers}")
if(NOT imports)
  message(FATAL_ERROR "no import table found")
endif()
foreach(import IN LISTS imports)
  string(REPLACE "DLL Name: " "" dll "${import}")
  string(TOLOWER "${dll}" dll)
  if(NOT dll IN_LIST system_dlls)
    message(FATAL_ERROR "imports ${dll}, which a bare Windows does not have")
  endif()
  message(STATUS "imports ${dll}")
endforeach()
