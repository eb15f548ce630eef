# The program's help file: Help.chm, built from resources/help with the CHM compiler of the
# Free Pascal utilities (Debian package fp-utils) and placed in the program folder beside the
# binary. Page texts may name the product as @CD_PRODUCT_NAME@.
find_program(CD_CHMCMD NAMES chmcmd chmcmd-3.2.2)
if(NOT CD_CHMCMD)
  message(WARNING "chmcmd (package fp-utils) not found: Help.chm will not be built")
  return()
endif()

set(CD_HELP_SOURCE_DIR ${CMAKE_SOURCE_DIR}/resources/help)
set(CD_HELP_WORK_DIR ${CMAKE_BINARY_DIR}/help)
set(CD_HELP_OUTPUT ${CMAKE_BINARY_DIR}/bin/Help.chm)

file(GLOB CD_HELP_FILES CONFIGURE_DEPENDS ${CD_HELP_SOURCE_DIR}/*)
set(CD_HELP_STAGED)
foreach(f ${CD_HELP_FILES})
  get_filename_component(n ${f} NAME)
  if(n MATCHES "\\.in$")
    string(REGEX REPLACE "\\.in$" "" n ${n})
    configure_file(${f} ${CD_HELP_WORK_DIR}/${n} @ONLY)
  elseif(n MATCHES "\\.html?$")
    configure_file(${f} ${CD_HELP_WORK_DIR}/${n} @ONLY)
  else()
    configure_file(${f} ${CD_HELP_WORK_DIR}/${n} COPYONLY)
  endif()
  list(APPEND CD_HELP_STAGED ${CD_HELP_WORK_DIR}/${n})
endforeach()

add_custom_command(
  OUTPUT ${CD_HELP_OUTPUT}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/bin
  COMMAND ${CMAKE_COMMAND} -E remove -f ${CD_HELP_OUTPUT}
  COMMAND ${CD_CHMCMD} --verbosity 0 Help.hhp
  WORKING_DIRECTORY ${CD_HELP_WORK_DIR}
  DEPENDS ${CD_HELP_STAGED}
  COMMENT "Building Help.chm"
  VERBATIM)
add_custom_target(cd_help ALL DEPENDS ${CD_HELP_OUTPUT})
