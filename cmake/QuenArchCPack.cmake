# Debian packages, one per install component:
#   libquenarch1               the shared libraries
#   libquenarch-dev            headers, CMake package, pkg-config files, link-time symlinks
#   quenarch                   the lister and the viewer, with the viewer's menu entry, icon and
#                              file associations, and the manual pages
#   quenarch-designer-plugin   the widget in Qt Designer
# Made with `cpack -G DEB` in a build configured with -DCMAKE_INSTALL_PREFIX=/usr, so that the
# libraries and the plugin land in Debian's own folders. Run-time dependencies on other packages
# come from dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME quenarch)
set(CPACK_PACKAGE_VENDOR "quenarch developers")
set(CPACK_PACKAGE_CONTACT "quenarch developers <quenarch@localhost>")
# Each package's description starts with its own summary line: no shared summary is put before it.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_STRIP_FILES ON)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/QuenArchCPackOptions.cmake)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The packages' own libraries are found in the build tree; the dependency on them is declared below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/lib)
set(quenarch_deb_version "${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}")
set(quenarch_libraries "libquenarch${PROJECT_VERSION_MAJOR} (= ${quenarch_deb_version})")

set(CPACK_COMPONENTS_ALL Runtime Development)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME "libquenarch${PROJECT_VERSION_MAJOR}")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "quenarch archive viewer control: shared libraries
libquenarch lists the members of ZIP, ARJ, LZH, ARC, RAR and CAB archives as the archive viewer
control shows them; libquenarch-qt is the control as a Qt widget, with the desktop's services.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libquenarch-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "${quenarch_libraries}")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "quenarch archive viewer control: development files
Headers (<quenarch/...>), the CMake package QuenArch (targets QuenArch::Core and
QuenArch::Widgets) and the pkg-config files quenarch and quenarch-qt.")

if(TARGET quenarch-qt)
  string(APPEND CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS ", qt6-base-dev")
  list(APPEND CPACK_COMPONENTS_ALL Tools)
  set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME quenarch)
  set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
  # The viewer's window icon is an SVG picture, drawn by Qt's SVG image plugin.
  set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "${quenarch_libraries}, libqt6svg6")
  set(CPACK_DEBIAN_TOOLS_PACKAGE_RECOMMENDS "shared-mime-info, hicolor-icon-theme")
  set(CPACK_COMPONENT_TOOLS_DESCRIPTION "archive directory lister and viewer
quenarch lists the members of ZIP, ARJ, LZH, ARC, RAR and CAB archives (as text or JSON);
quenarch-view shows them in a window. Neither extracts anything.")
endif()
if(TARGET quenarch_designer)
  list(APPEND CPACK_COMPONENTS_ALL Designer)
  set(CPACK_DEBIAN_DESIGNER_PACKAGE_NAME quenarch-designer-plugin)
  set(CPACK_DEBIAN_DESIGNER_PACKAGE_SECTION devel)
  set(CPACK_DEBIAN_DESIGNER_PACKAGE_DEPENDS "${quenarch_libraries}")
  set(CPACK_DEBIAN_DESIGNER_PACKAGE_ENHANCES designer-qt6)
  set(CPACK_COMPONENT_DESIGNER_DESCRIPTION "quenarch archive viewer control: Qt Designer plugin
Puts the archive viewer widget in Qt Designer's widget box and lets QUiLoader create it from
.ui forms.")
endif()

include(CPack)
