# The Debian package: cpack -G DEB in a build folder gives marbeck_<version>_<arch>.deb holding
# exactly what cmake --install installs, with its dependencies computed by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME marbeck)
set(CPACK_PACKAGE_VENDOR "The Marbeck developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "QR codes for text, links, e-mail, contacts and Wi-Fi")
set(CPACK_PACKAGE_DESCRIPTION
    "Marbeck turns a short piece of information into a QR code that phones scan: plain text, a
web address, an e-mail, a vCard 4.0 contact or a Wi-Fi network. The desktop program shows the
code in the colours you choose and writes it as PNG, SVG or PDF; marbeck-cli makes the same codes
from the shell, one at a time or by the thousand from a CSV file.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Marbeck developers <maintainers@users.noreply.c-seed-41efcbb0.example>")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window is laid out for Liberation Sans; without it Qt falls back to another font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# The licence travels in the package as share/doc/marbeck/LICENSE (installed by data/).
include(CPack)
