# The Debian package: cpack -G DEB in a build folder gives marbeck_<version>_<arch>.deb holding
# exactly what cmake --install installs, with its dependencies computed by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME marbeck)
set(CPACK_PACKAGE_VENDOR "The Marbeck developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "QR codes for text, links, e-mail, contacts and Wi-Fi")
# Debian shows the description on 80-column terminals: no line longer than that.
set(CPACK_PACKAGE_DESCRIPTION
    "Marbeck turns a short piece of information into a QR code that phones scan:
plain text, a web address, an e-mail, a vCard 4.0 contact or a Wi-Fi network.
The desktop program shows the code in the colours you choose and writes it as
PNG, SVG or PDF; marbeck-cli makes the same codes from the shell, one at a time
or by the thousand from a CSV file.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Marbeck developers <maintainers@users.noreply.c-seed-41efcbb0.example>")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window is laid out for Liberation Sans; without it Qt falls back to another font.
# Qt's own translations give its dialogs (file, colour, print) the window's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# The documents every Debian package carries in share/doc/marbeck: the licence as a
# machine-readable copyright file, made from LICENSE, and the changelog, both compressed as Debian
# asks (gzip -9n: no name or time stamp, so builds repeat).
set(MARBECK_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/marbeck)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE MARBECK_LICENSE)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${MARBECK_LICENSE}")
set(MARBECK_COPYRIGHT_HOLDER "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^.*Copyright \\(c\\) [^\n]*\n+" "" MARBECK_LICENSE_TERMS "${MARBECK_LICENSE}")
string(STRIP "${MARBECK_LICENSE_TERMS}" MARBECK_LICENSE_TERMS)
string(REGEX REPLACE "\n\n" "\n.\n" MARBECK_LICENSE_TERMS "${MARBECK_LICENSE_TERMS}")
string(REGEX REPLACE "\n" "\n " MARBECK_LICENSE_TERMS "${MARBECK_LICENSE_TERMS}")
file(WRITE ${PROJECT_BINARY_DIR}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Marbeck

Files: *
Copyright: ${MARBECK_COPYRIGHT_HOLDER}
License: Expat
 ${MARBECK_LICENSE_TERMS}
")
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${MARBECK_DOC_DIR})

configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
file(STRINGS ${PROJECT_BINARY_DIR}/changelog MARBECK_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT MARBECK_CHANGELOG_TOP MATCHES "^marbeck \\(${PROJECT_VERSION}\\) ")
  set(message "cmake/changelog.in has no entry for version ${PROJECT_VERSION} at its top")
  if(MARBECK_WERROR)
    message(FATAL_ERROR "${message}")
  endif()
  message(WARNING "${message}")
endif()
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/changelog.gz
  COMMAND gzip -9nc ${PROJECT_BINARY_DIR}/changelog > ${PROJECT_BINARY_DIR}/changelog.gz
  DEPENDS ${PROJECT_BINARY_DIR}/changelog)
add_custom_target(marbeck_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${MARBECK_DOC_DIR})
include(CPack)
