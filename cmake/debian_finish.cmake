# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Runs in cpack once the Debian package is made, and gives it what Debian's own
# tools would, so that its bytes depend on its files alone:
# - the modes dh_fixperms sets: folders and programs rwxr-xr-x, other files
#   rw-r--r--, whatever the umask of the build (cpack and the scripts that add
#   files take theirs from it, and under umask 077 a folder of the package
#   would be unreadable to all but root);
# - the Installed-Size dpkg-gencontrol counts: each file in whole KiB rounded
#   up, each folder (the root one too) as 1. cpack adds the sizes the file
#   system reports, and a folder's is a block on one file system and a few
#   bytes on another (tmpfs);
# - dependencies named as on the package's own machine (libc6, libgcc-s1):
#   dpkg-shlibdeps names a cross compiler's libraries after their packages on
#   this machine (libc6:arm64, libgcc-s1-armhf-cross) and the 32-bit C library
#   of x86-64 after its multilib package (libc6-i386).
# The package is unpacked and built again with dpkg-deb, its files and their
# times, owners and order unchanged.

if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
find_program(DPKG_DEB dpkg-deb REQUIRED)

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  set(tree ${package}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND ${DPKG_DEB} --raw-extract ${package} ${tree} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb could not unpack ${package}")
  endif()
  execute_process(COMMAND chmod -R u+rwX,go+rX,go-w ${tree} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "chmod could not set the modes in ${tree}")
  endif()

  file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${tree} ${tree}/*)
  set(kib 1)  # the root folder
  foreach(entry IN LISTS entries)
    if(entry MATCHES "^DEBIAN(/|$)")
      continue()
    elseif(IS_DIRECTORY ${tree}/${entry} AND NOT IS_SYMLINK ${tree}/${entry})
      math(EXPR kib "${kib} + 1")
    else()
      file(SIZE ${tree}/${entry} bytes)
      math(EXPR kib "${kib} + (${bytes} + 1023) / 1024")
    endif()
  endforeach()

  file(READ ${tree}/DEBIAN/control control)
  string(REGEX REPLACE "\nInstalled-Size: [0-9]+\n" "\nInstalled-Size: ${kib}\n" control "${control}")
  if(control MATCHES "\nDepends: ([^\n]*)")
    set(depends "${CMAKE_MATCH_1}")
    string(REGEX REPLACE "(-i386|:[a-z0-9]+|-[a-z0-9]+-cross) \\(" " (" own "${depends}")
    string(REPLACE "\nDepends: ${depends}" "\nDepends: ${own}" control "${control}")
  endif()
  file(WRITE ${tree}/DEBIAN/control "${control}")
  # The times stay those cpack gave (SOURCE_DATE_EPOCH, where set): the file
  # written and the folders unpacked into take md5sums's again.
  execute_process(COMMAND touch -r ${tree}/DEBIAN/md5sums ${tree} ${tree}/DEBIAN ${tree}/DEBIAN/control
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "touch could not set the times in ${tree}")
  endif()
  execute_process(COMMAND ${DPKG_DEB} --root-owner-group -Zgzip --build ${tree} ${package}
                  OUTPUT_QUIET RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb could not build ${package} again")
  endif()
  file(REMOVE_RECURSE ${tree})
endforeach()
