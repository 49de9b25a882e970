# kelm_library(<name> [DEPS libs...] [PRIVATE_DEPS libs...]): one shared library from every .cpp
# in the current folder. A library is exactly its folder, so the sources are globbed: a file
# added to the folder belongs to the library, and CONFIGURE_DEPENDS notices it at build time.
# Includes name their library folder ("core/SysUtils.h", "grid/DBGridEh.h"): the platform's
# libraries are found under platform/, the others under the source root. PRIVATE_DEPS stay
# out of the library's users: Qt is one, so nothing above the platform layer can include it.
function(kelm_library name)
  cmake_parse_arguments(K "" "" "DEPS;PRIVATE_DEPS;SOURCES" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} SHARED ${srcs} ${K_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/platform ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${K_DEPS} PRIVATE ${K_PRIVATE_DEPS})
endfunction()

# kelm_test(<name> [DEPS libs...] [GUI]): one GoogleTest program from every .cpp in the folder,
# each test registered with CTest.
include(GoogleTest)
function(kelm_test name)
  cmake_parse_arguments(K "GUI" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    return()  # a library whose tests are not written yet
  endif()
  add_executable(${name} ${srcs})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  if(K_GUI)
    target_link_libraries(${name} PRIVATE ${K_DEPS} kelm_test_main_gui GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${K_DEPS} kelm_test_main GTest::gtest GTest::gmock)
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  if(KELM_SANITIZE)
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/common/LeakSuppressions.cpp)
  endif()
  # One variable only: a list here would be split into separate test properties on the way
  # through test discovery.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
