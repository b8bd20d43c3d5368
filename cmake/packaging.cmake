# Debian packages of tavlo: `cpack` in a build tree writes packages/tavlo_*.deb
# for the architecture the tree is built for.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavlo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "LCD bring-up test: paints a bit-band pattern into /dev/fb")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Paints one fixed image into the framebuffer of an embedded board's LCD panel: a white border and sixteen bands, each lighting one bit of the 16-bit pixel word alone, so that a swapped, stuck or missing data line of the panel's bus shows at a glance.")
# No person maintains these packages; the address is a reserved, unroutable one.
set(CPACK_PACKAGE_CONTACT "tavlo developers <noreply@tavlo.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
if(CMAKE_CROSSCOMPILING)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${TAVLO_DEB_ARCHITECTURE})
endif()
if(NOT TAVLO_STATIC)
  # A dynamically linked binary depends on the libraries it was linked with.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
