# What users build against: the CMake package QuenArch (targets QuenArch::Core and
# QuenArch::Widgets, with a version file), the pkg-config files quenarch.pc and quenarch-qt.pc,
# and the Debian packages CPack makes. Every path written is relative to the installed file, so
# an installed tree may be moved.
include(CMakePackageConfigHelpers)

set(QUENARCH_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/QuenArch)
# The folder whose "designer" folder holds the Designer plugin.
get_filename_component(QUENARCH_QT_PLUGIN_DIR "${QUENARCH_PLUGIN_INSTALL_DIR}" DIRECTORY)
if(TARGET quenarch-qt)
  # Users need at least the Qt the widget was built with.
  find_package(Qt6 REQUIRED COMPONENTS Core)
  set(QUENARCH_QT_VERSION ${Qt6_VERSION_MAJOR}.${Qt6_VERSION_MINOR})
endif()

install(EXPORT QuenArchCoreTargets NAMESPACE QuenArch:: DESTINATION ${QUENARCH_CMAKE_DIR} COMPONENT Development)
if(TARGET quenarch-qt)
  install(EXPORT QuenArchWidgetsTargets NAMESPACE QuenArch:: DESTINATION ${QUENARCH_CMAKE_DIR} COMPONENT Development)
endif()
configure_package_config_file(cmake/QuenArchConfig.cmake.in ${PROJECT_BINARY_DIR}/QuenArchConfig.cmake
  INSTALL_DESTINATION ${QUENARCH_CMAKE_DIR}
  PATH_VARS CMAKE_INSTALL_INCLUDEDIR QUENARCH_QT_PLUGIN_DIR)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/QuenArchConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/QuenArchConfig.cmake ${PROJECT_BINARY_DIR}/QuenArchConfigVersion.cmake
  DESTINATION ${QUENARCH_CMAKE_DIR} COMPONENT Development)

# pkg-config: the prefix is found from the .pc file's own folder.
set(QUENARCH_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH QUENARCH_PKGCONFIG_TO_PREFIX /${QUENARCH_PKGCONFIG_DIR} /)
string(REGEX REPLACE "/$" "" QUENARCH_PKGCONFIG_TO_PREFIX "${QUENARCH_PKGCONFIG_TO_PREFIX}")
# Outside the folders the loader searches, programs linked through pkg-config find the shared
# libraries by a run path, as those linked through the CMake package do.
set(QUENARCH_PKGCONFIG_RPATH "")
if(BUILD_SHARED_LIBS AND NOT "${CMAKE_INSTALL_FULL_LIBDIR}" IN_LIST CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES)
  set(QUENARCH_PKGCONFIG_RPATH " -Wl,-rpath,\${libdir}")
endif()
set(pkgconfig_files quenarch)
if(TARGET quenarch-qt)
  list(APPEND pkgconfig_files quenarch-qt)
endif()
foreach(name IN LISTS pkgconfig_files)
  configure_file(cmake/${name}.pc.in ${PROJECT_BINARY_DIR}/${name}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${name}.pc DESTINATION ${QUENARCH_PKGCONFIG_DIR} COMPONENT Development)
endforeach()

# build/check-installed-package installs this build into a staging folder and checks the tree,
# then builds and runs programs against it through CMake and pkg-config.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  set(check_options --version ${PROJECT_VERSION} --libdir ${CMAKE_INSTALL_LIBDIR} --generator "${CMAKE_GENERATOR}"
    --build-dir ${PROJECT_BINARY_DIR} --source-dir ${PROJECT_SOURCE_DIR} --cxx ${CMAKE_CXX_COMPILER}
    --plugin-dir ${QUENARCH_PLUGIN_INSTALL_DIR})
  if(BUILD_SHARED_LIBS)
    list(APPEND check_options --shared)
  endif()
  if(TARGET quenarch-qt)
    list(APPEND check_options --qt)
  endif()
  if(TARGET quenarch_designer)
    list(APPEND check_options --designer)
  endif()
  if(QUENARCH_SANITIZE)
    # Programs that load the sanitized libraries are sanitized themselves.
    list(APPEND check_options --cxx-flag=-fsanitize=address,undefined --cxx-flag=-fno-omit-frame-pointer)
  endif()
  list(JOIN check_options "\" \"" check_options)
  file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/check-installed-package
    CONTENT "#!/bin/sh\nexec \"${Python3_EXECUTABLE}\" \"${PROJECT_SOURCE_DIR}/tests/packaging/check_installed_package.py\" \"${check_options}\"\n"
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()

include(QuenArchCPack)
