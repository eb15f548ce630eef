# Icon groups of the program, looked up by name under ":/icons/<group>/".
qt_add_resources(${CD_LIB_TARGET} "icons"
  PREFIX "/icons"
  BASE "${CMAKE_SOURCE_DIR}/resources/icons"
  FILES
    "${CMAKE_SOURCE_DIR}/resources/icons/AAA/16.png"
    "${CMAKE_SOURCE_DIR}/resources/icons/AAA/32.png"
    "${CMAKE_SOURCE_DIR}/resources/icons/AAA/48.png")
