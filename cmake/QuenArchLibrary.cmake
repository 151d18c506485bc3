# The package's libraries are each compiled once, into an object library, and linked twice:
#   <name>         the installed library, shared unless BUILD_SHARED_LIBS is OFF, exported to
#                  users as QuenArch::<EXPORT_NAME>. A shared one exports every symbol: the
#                  public headers inline calls into internal classes, so hiding those would
#                  break hosts that use the headers as they stand;
#   <name>-static  a static twin for the tools, tests, benchmarks and fuzzers of this project,
#                  which then need not load the shared libraries. In a static build the twin is
#                  the installed library itself.
#
#   quenarch_add_library(<name> EXPORT_NAME <export name> SOURCES <file>...
#                        [PUBLIC <library>...] [PRIVATE <library>...]
#                        [PUBLIC_HEADERS <path below src>...])
#
# The installed library goes to the export set QuenArch<export name>Targets, and the headers its
# users include, with those they include, to include/ (see quenarch_install_headers).
# A library named in PUBLIC or PRIVATE that has a twin is linked as itself by the installed
# library and as its twin by the twin. An object library named in PRIVATE (an internal part that
# is not installed on its own) has its objects put into both. <name>-objects is the object
# library, for properties such as AUTOMOC.
function(quenarch_add_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "EXPORT_NAME" "SOURCES;PUBLIC;PRIVATE;PUBLIC_HEADERS")

  set(objects ${name}-objects)
  add_library(${objects} OBJECT ${arg_SOURCES})
  set_target_properties(${objects} PROPERTIES POSITION_INDEPENDENT_CODE ON)

  add_library(${name} $<TARGET_OBJECTS:${objects}>)
  add_library(QuenArch::${arg_EXPORT_NAME} ALIAS ${name})
  set_target_properties(${name} PROPERTIES
    EXPORT_NAME ${arg_EXPORT_NAME}
    LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/lib
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR})

  if(BUILD_SHARED_LIBS)
    add_library(${name}-static STATIC $<TARGET_OBJECTS:${objects}>)
    set(linked ${name} ${name}-static)
  else()
    add_library(${name}-static ALIAS ${name})
    set(linked ${name})
  endif()

  foreach(target IN ITEMS ${objects} ${linked})
    target_include_directories(${target} PUBLIC
      $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src>
      $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
    target_compile_features(${target} PUBLIC cxx_std_20)
  endforeach()

  foreach(library IN LISTS arg_PRIVATE)
    if(TARGET ${library})
      get_target_property(type ${library} TYPE)
      if(type STREQUAL "OBJECT_LIBRARY")
        list(REMOVE_ITEM arg_PRIVATE ${library})
        target_link_libraries(${objects} PRIVATE ${library})
        foreach(target IN LISTS linked)
          target_sources(${target} PRIVATE $<TARGET_OBJECTS:${library}>)
        endforeach()
      endif()
    endif()
  endforeach()

  foreach(scope IN ITEMS PUBLIC PRIVATE)
    foreach(library IN LISTS arg_${scope})
      if(TARGET ${library}-static)
        set(twin ${library}-static)
      else()
        set(twin ${library})
      endif()
      # The object library needs the compile flags only; the twin keeps every internal symbol.
      target_link_libraries(${objects} ${scope} ${twin})
      target_link_libraries(${name} ${scope} ${library})
      if(BUILD_SHARED_LIBS)
        target_link_libraries(${name}-static ${scope} ${twin})
      endif()
    endforeach()
  endforeach()

  install(TARGETS ${name} EXPORT QuenArch${arg_EXPORT_NAME}Targets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development)
  quenarch_install_headers(COMPONENT Development HEADERS ${arg_PUBLIC_HEADERS})
endfunction()

# Lets a program or plugin installed to <folder> (relative to the prefix) find the package's
# shared libraries relative to itself, so that an installed tree still works when moved. Nothing
# is added when the libraries go to a folder the system searches anyway.
function(quenarch_set_install_rpath target folder)
  if(NOT BUILD_SHARED_LIBS OR "${CMAKE_INSTALL_FULL_LIBDIR}" IN_LIST CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES)
    return()
  endif()
  file(RELATIVE_PATH to_libraries /${folder} /${CMAKE_INSTALL_LIBDIR})
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${to_libraries}")
endfunction()
