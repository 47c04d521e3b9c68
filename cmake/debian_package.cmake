# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Runs in cpack once the install rules have filled the staging folder: gives
# the Debian package what Debian's policy asks of a package and a plain
# `cmake --install` does not need. The CPACK_TARVELIN_* variables come from
# cmake/packaging.cmake. Every file made here is the same on each run for one
# commit and SOURCE_DATE_EPOCH: gzip -n leaves name and time out of its header.

if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
find_program(GZIP gzip REQUIRED)
set(root ${CPACK_TEMPORARY_DIRECTORY})
set(doc ${root}/usr/share/doc/${CPACK_PACKAGE_NAME})
file(MAKE_DIRECTORY ${doc} ${root}/usr/share/lintian/overrides)

# gzip -9n: the compression Debian's tools use, without name or time.
function(compress_into source target)
  execute_process(COMMAND ${GZIP} -9nc ${source} OUTPUT_FILE ${target} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${source}")
  endif()
endfunction()

# Stripped as dh_strip does: the compiler's notes go too.
execute_process(COMMAND ${CPACK_TARVELIN_STRIP} --remove-section=.comment --remove-section=.note
                        ${root}/usr/bin/${CPACK_PACKAGE_NAME} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "strip failed")
endif()

set(page ${root}/usr/share/man/man1/${CPACK_PACKAGE_NAME}.1)
compress_into(${page} ${page}.gz)
file(REMOVE ${page})

file(COPY ${CPACK_TARVELIN_COPYRIGHT} DESTINATION ${doc})
compress_into(${CPACK_TARVELIN_CHANGELOG} ${doc}/changelog.gz)
configure_file(${CPACK_TARVELIN_LINTIAN_OVERRIDES}
               ${root}/usr/share/lintian/overrides/${CPACK_PACKAGE_NAME} COPYONLY)

# The packaging's own changelog, one entry: this build of the release, dated
# by SOURCE_DATE_EPOCH where it is set (string(TIMESTAMP) reads it).
string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(version ${CPACK_PACKAGE_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
file(WRITE ${CPACK_TEMPORARY_DIRECTORY}.changelog.Debian
  "${CPACK_PACKAGE_NAME} (${version}) unstable; urgency=medium\n\n"
  "  * Built with cpack from the release ${CPACK_PACKAGE_VERSION}.\n\n"
  " -- ${CPACK_DEBIAN_PACKAGE_MAINTAINER}  ${date}\n")
compress_into(${CPACK_TEMPORARY_DIRECTORY}.changelog.Debian ${doc}/changelog.Debian.gz)
