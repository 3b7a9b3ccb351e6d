# One static library per src folder; every .cpp under the folder belongs to it.
function(halvane_library name)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp)
  if(srcs)
    add_library(halvane_${name} STATIC ${srcs})
    set(scope PUBLIC)
  else()
    add_library(halvane_${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(halvane_${name} ${scope} ${PROJECT_SOURCE_DIR}/src)
  if(ARGN)
    target_link_libraries(halvane_${name} ${scope} ${ARGN})
  endif()
endfunction()

# One GoogleTest program per tests/ folder. Labels name what a test needs
# (unit, gl, audio, slow); discovery runs at test time so the build needs no display.
function(halvane_test_suite name)
  cmake_parse_arguments(T "" "" "LIBS;LABELS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(test_${name} ${srcs})
  target_link_libraries(test_${name} PRIVATE ${T_LIBS} halvane_testsupport GTest::gmock GTest::gtest_main)
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  gtest_discover_tests(test_${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    PROPERTIES LABELS "${T_LABELS}"
               ENVIRONMENT "HALVANE_FIXTURES=${CMAKE_CURRENT_SOURCE_DIR}/fixtures;HALVANE_BUNDLE=${HALVANE_BUNDLE}")
endfunction()
