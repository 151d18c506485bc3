# The headers a user of the package includes, and every header of this project they include in
# turn, are installed under include/ with their paths below src/ (quenarch/LAYER/name.h).
#
#   quenarch_install_headers(COMPONENT <component> HEADERS <path below src>...)
#
# The closure is found by reading the #include "quenarch/..." lines; a change to any header read
# configures the build again, so a header newly included by a public one is installed too.
function(quenarch_install_headers)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "COMPONENT" "HEADERS")
  set(root ${PROJECT_SOURCE_DIR}/src)
  set(pending ${arg_HEADERS})
  set(closure)
  while(pending)
    list(POP_FRONT pending header)
    if(header IN_LIST closure)
      continue()
    endif()
    if(NOT EXISTS ${root}/${header})
      message(FATAL_ERROR "Public header ${header} is not under src/")
    endif()
    list(APPEND closure ${header})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${root}/${header})
    file(STRINGS ${root}/${header} includes REGEX "^[ \t]*#[ \t]*include[ \t]+[\"<]quenarch/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[^\"<]*[\"<](quenarch/[^\">]+)[\">].*$" "\\1" included "${line}")
      list(APPEND pending ${included})
    endforeach()
  endwhile()

  foreach(header IN LISTS closure)
    get_filename_component(folder ${header} DIRECTORY)
    install(FILES ${root}/${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${folder} COMPONENT ${arg_COMPONENT})
  endforeach()
endfunction()
