# Warnings, and Qt's stricter API, for every target of ours: link it PRIVATE.
add_library(cd_strict INTERFACE)
target_compile_options(cd_strict INTERFACE -Wall -Wextra $<$<BOOL:${CD_WERROR}>:-Werror>)
# Qt's stricter API: text meets bytes only through a named conversion (fromUtf8, fromLatin1,
# QLatin1String; a string literal still makes a QString), a QUrl only from QUrl(...), no
# narrowing in connect, no foreach, Java-style iterators or API deprecated by Qt 6.4.
target_compile_definitions(cd_strict INTERFACE
  QT_RESTRICTED_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH QT_NO_JAVA_STYLE_ITERATORS QT_DISABLE_DEPRECATED_BEFORE=0x060400)

# One static library per source folder; every .cpp/.h in the folder belongs to it.
function(cd_add_library name dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.h)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/${name}.qrc)
    list(APPEND srcs ${CMAKE_SOURCE_DIR}/${dir}/${name}.qrc)
  endif()
  if(NOT srcs)
    set(stub ${CMAKE_BINARY_DIR}/stubs/${name}_empty.cpp)
    file(WRITE ${stub} "// empty\n")
    set(srcs ${stub})
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARGN})
  target_link_libraries(${name} PRIVATE cd_strict)
  # A folder may bring Qt resources of its own (pictures, icons).
  if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/resources.cmake)
    set(CD_LIB_TARGET ${name})
    include(${CMAKE_SOURCE_DIR}/${dir}/resources.cmake)
  endif()
endfunction()

# One GoogleTest executable per library, from every .cpp in tests/<dir>.
#   cd_add_test_suite(<name> <dir> [TIMING <gtest filter>] <libraries>...)
# The tests the TIMING filter names hold time bounds: they carry the label "timing" and run
# alone, so the load of other tests does not decide them.
function(cd_add_test_suite name dir)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "TIMING" "")
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.h)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE cd_test_support cd_strict ${arg_UNPARSED_ARGUMENTS})
  set(props ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
  if(NOT arg_TIMING)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES ${props})
    return()
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_FILTER "-${arg_TIMING}" PROPERTIES ${props})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_FILTER "${arg_TIMING}"
    PROPERTIES ${props} LABELS timing RUN_SERIAL TRUE)
  add_test(NAME ${name}.TimingFilterNamesRealTests
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/build/timing-filter.sh $<TARGET_FILE:${name}> "${arg_TIMING}")
endfunction()
