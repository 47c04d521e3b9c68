# SPDX-FileCopyrightText: 2026 the tarvelin authors
# SPDX-License-Identifier: MIT

# Packages made by cpack from the install rules: a Debian package on Linux,
# a ZIP with the program and the README on Windows.

if(WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB)
endif()

set(CPACK_PACKAGE_NAME tarvelin)
set(CPACK_PACKAGE_VENDOR "Tarvelin-Entwicklung")
set(CPACK_PACKAGE_CONTACT "Tarvelin-Entwicklung <tarvelin@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Rechner für den Realzins nach der Fisher-Gleichung")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://example.org/tarvelin")

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The long description; cpack puts the summary above it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "tarvelin liest einen Nominalzins und eine Inflationsrate in Prozent und gibt
beide aus, ihre Differenz (die übliche Näherung des Realzinses), den genauen
Realzins nach der Fisher-Gleichung und den Unterschied zwischen Näherung und
genauem Wert.")
set(CPACK_STRIP_FILES ON)
# Dependencies come from the libraries the program links; a static program
# has none to declare.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
