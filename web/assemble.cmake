# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT
cmake_policy(VERSION 3.20)

# Writes the ready page: cmake -DSOURCE_DIR=... -DMODULE=... -DOUTPUT_DIR=...
# -P assemble.cmake. index.html gets the stylesheet and the script inline and
# the module's bytes as base64 in the script, so that it works opened from the
# file system, where the browser loads neither modules nor other files; the
# Content-Security-Policy names the two by their SHA-256. The script is
# states.js, the tables of what the page says, then tarvelin.js. The module is
# also copied beside the page, as the program for any WASI runtime. Beside
# them, for a page served over http(s): the web app manifest, with its icons
# inside as data (the page's own 16-pixel icon enlarged pixel for pixel by
# netpbm, whose PNGs carry no time), so that one request brings all it
# names, and the service worker, which knows each file it caches by its hash.
# Also -DPNGTOPAM=... -DPAMENLARGE=... -DPAMTOPNG=...

set(base64_alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")

# Base64 of the bytes given as hexadecimal digits, three bytes at a time.
function(base64_of_hex hex out)
  string(LENGTH "${hex}" hex_length)
  math(EXPR tail_length "${hex_length} % 6")
  math(EXPR body_length "${hex_length} - ${tail_length}")
  string(SUBSTRING "${hex}" ${body_length} -1 tail)
  string(SUBSTRING "${hex}" 0 ${body_length} body)
  # The last one or two bytes are padded with zero bits to a full group.
  set(padding "")
  if(tail_length EQUAL 2)
    string(APPEND body "${tail}0000")
    set(padding "==")
  elseif(tail_length EQUAL 4)
    string(APPEND body "${tail}00")
    set(padding "=")
  endif()
  string(REGEX MATCHALL "......" groups "${body}")
  set(text "")
  foreach(group IN LISTS groups)
    math(EXPR bits "0x${group}")
    foreach(shift 18 12 6 0)
      math(EXPR index "(${bits} >> ${shift}) & 63")
      string(SUBSTRING "${base64_alphabet}" ${index} 1 digit)
      string(APPEND text "${digit}")
    endforeach()
  endforeach()
  string(LENGTH "${padding}" padding_length)
  if(padding_length GREATER 0)
    string(LENGTH "${text}" text_length)
    math(EXPR kept "${text_length} - ${padding_length}")
    string(SUBSTRING "${text}" 0 ${kept} text)
    string(APPEND text "${padding}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Comments left out of what is served, bar the licence's lines: they are for
# the people who read the sources, and every byte counts on a first visit.
# A script's are whole lines of //, a stylesheet's /* */.
function(strip_comments variable pattern)
  string(REPLACE " SPDX-" "@SPDX@" text "${${variable}}")
  string(REGEX REPLACE "${pattern}" "" text "${text}")
  string(REPLACE "@SPDX@" " SPDX-" text "${text}")
  set(${variable} "${text}" PARENT_SCOPE)
endfunction()
set(script_comments "(^|\n)[ \t]*//[^@\n][^\n]*")
set(style_comments "/\\*[^*@]*\\*+([^/*][^*]*\\*+)*/\n?")

# The CSP source expression of an inline element's text.
function(csp_hash text out)
  string(SHA256 digest "${text}")
  base64_of_hex(${digest} digest_base64)
  set(${out} "sha256-${digest_base64}" PARENT_SCOPE)
endfunction()

# Replaces one exact piece of text, which must be there.
function(replace_once variable piece replacement)
  string(FIND "${${variable}}" "${piece}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "assemble.cmake: '${piece}' not found")
  endif()
  string(REPLACE "${piece}" "${replacement}" text "${${variable}}")
  set(${variable} "${text}" PARENT_SCOPE)
endfunction()

file(READ "${MODULE}" module_hex HEX)
base64_of_hex("${module_hex}" module_base64)

file(READ "${SOURCE_DIR}/states.js" states)
file(READ "${SOURCE_DIR}/tarvelin.js" script)
replace_once(script "@TARVELIN_MODULE_BASE64@" "${module_base64}")
set(script "${states}\n${script}")
strip_comments(script "${script_comments}")
file(READ "${SOURCE_DIR}/tarvelin.css" style)
strip_comments(style "${style_comments}")
set(script "\n${script}")
set(style "\n${style}")

file(READ "${SOURCE_DIR}/index.html" page)
replace_once(page "<link rel=\"stylesheet\" href=\"tarvelin.css\">" "<style>${style}</style>")
replace_once(page "<script type=\"module\" src=\"tarvelin.js\" blocking=\"render\"></script>"
             "<script type=\"module\" blocking=\"render\">${script}</script>")
csp_hash("${script}" script_hash)
csp_hash("${style}" style_hash)
replace_once(page "@SCRIPT_HASH@" "${script_hash}")
replace_once(page "@STYLE_HASH@" "${style_hash}")

file(MAKE_DIRECTORY "${OUTPUT_DIR}")
file(WRITE "${OUTPUT_DIR}/index.html" "${page}")
file(COPY_FILE "${MODULE}" "${OUTPUT_DIR}/tarvelin.wasm")

string(REGEX MATCH "rel=\"icon\" type=\"image/png\" href=\"data:image/png;base64,([^\"]+)\"" icon "${page}")
if(NOT icon)
  message(FATAL_ERROR "assemble.cmake: the page's PNG icon not found")
endif()
set(scratch "${OUTPUT_DIR}/icon.scratch")
file(WRITE "${scratch}" "${CMAKE_MATCH_1}")
file(READ "${SOURCE_DIR}/manifest.webmanifest" manifest)
foreach(size 192 512)
  math(EXPR factor "${size} / 16")
  execute_process(COMMAND base64 -d "${scratch}"
    COMMAND "${PNGTOPAM}" -alphapam
    COMMAND "${PAMENLARGE}" ${factor}
    COMMAND "${PAMTOPNG}"
    OUTPUT_FILE "${scratch}.png" RESULTS_VARIABLE statuses)
  if(NOT statuses MATCHES "^0(;0)*$")
    message(FATAL_ERROR "assemble.cmake: icon-${size}.png not made (${statuses})")
  endif()
  file(READ "${scratch}.png" icon_hex HEX)
  base64_of_hex("${icon_hex}" icon_base64)
  replace_once(manifest "\"icon-${size}.png\"" "\"data:image/png;base64,${icon_base64}\"")
endforeach()
file(REMOVE "${scratch}" "${scratch}.png")
file(WRITE "${OUTPUT_DIR}/manifest.webmanifest" "${manifest}")

# The service worker caches what the page and its installation use, each
# file with its hash, and names its cache by a hash of them all.
set(cached_hashes "")
set(cached_files "")
foreach(file index.html manifest.webmanifest)
  file(SHA256 "${OUTPUT_DIR}/${file}" file_hash)
  string(APPEND cached_hashes "${file_hash} ${file}\n")
  list(APPEND cached_files "${file}=${file_hash}")
endforeach()
list(JOIN cached_files " " cached_files)
string(SHA256 cache_version "${cached_hashes}")
string(SUBSTRING "${cache_version}" 0 16 cache_version)
file(READ "${SOURCE_DIR}/sw.js" worker)
strip_comments(worker "${script_comments}")
replace_once(worker "@CACHE_VERSION@" "${cache_version}")
replace_once(worker "@CACHED_FILES@" "${cached_files}")
file(WRITE "${OUTPUT_DIR}/sw.js" "${worker}")
