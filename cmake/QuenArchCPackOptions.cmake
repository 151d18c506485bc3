# Read by cpack as it runs. The libraries and the Designer plugin go where Debian's loader and
# Qt look only when the build was configured for the prefix /usr.
if(CPACK_GENERATOR STREQUAL "DEB" AND NOT CPACK_PACKAGING_INSTALL_PREFIX STREQUAL "/usr")
  message(FATAL_ERROR "Debian packages need a build configured with -DCMAKE_INSTALL_PREFIX=/usr "
    "(this one installs to ${CPACK_PACKAGING_INSTALL_PREFIX})")
endif()
