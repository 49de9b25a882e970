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
  kelm_check_layering(${name})
endfunction()

# kelm_check_layering(<target> [<include folder>]): the target's folder may include only its own
# headers and those of the libraries it links (directly, or through their public links); the
# build stops on any other include (cmake/CheckLayering.cmake), before the target compiles.
# Every include path is the source root, so without this check an include of a library above
# would compile. The include folder is the target's folder as includes name it ("core",
# "grid"); a target without sources of its own (generated headers) only declares it. The check
# is set up once every target exists, since a library may link one defined later (kelm_forms).
function(kelm_check_layering name)
  if(ARGC GREATER 1)
    set_target_properties(${name} PROPERTIES KELM_INCLUDE_FOLDER "${ARGV1}")
    return()
  endif()
  file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  string(REGEX REPLACE "^platform/" "" folder "${folder}")
  set_target_properties(${name} PROPERTIES KELM_INCLUDE_FOLDER "${folder}")
  # A deferred call reads its arguments when it runs: the values go in as text now.
  cmake_language(EVAL CODE "cmake_language(DEFER DIRECTORY [[${CMAKE_SOURCE_DIR}]] CALL kelm_add_layering_check
                 [[${name}]] [[${CMAKE_CURRENT_SOURCE_DIR}]] [[${CMAKE_CURRENT_BINARY_DIR}]])")
endfunction()

function(kelm_add_layering_check name source_dir binary_dir)
  get_target_property(folder ${name} KELM_INCLUDE_FOLDER)
  set(allowed ${folder})
  get_target_property(pending ${name} LINK_LIBRARIES)
  set(seen "")
  while(pending)
    list(POP_FRONT pending lib)
    if(lib IN_LIST seen OR NOT TARGET ${lib})
      continue()
    endif()
    list(APPEND seen ${lib})
    get_target_property(libFolder ${lib} KELM_INCLUDE_FOLDER)
    if(libFolder)
      list(APPEND allowed ${libFolder})
    endif()
    get_target_property(next ${lib} INTERFACE_LINK_LIBRARIES)
    if(next)
      list(APPEND pending ${next})
    endif()
  endwhile()
  file(GLOB files CONFIGURE_DEPENDS ${source_dir}/*.cpp ${source_dir}/*.h)
  set(stamp ${binary_dir}/${name}.layering)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DLIBRARY=${name} "-DALLOWED=${allowed}" "-DFILES=${files}" -DSTAMP=${stamp}
            -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayering.cmake
    DEPENDS ${files} ${CMAKE_SOURCE_DIR}/cmake/CheckLayering.cmake
    COMMENT "Checking the includes of ${name}"
    VERBATIM)
  add_custom_target(${name}_layering DEPENDS ${stamp})
  add_dependencies(${name} ${name}_layering)
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
