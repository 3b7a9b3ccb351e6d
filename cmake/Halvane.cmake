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

# GoogleTest programs for one tests/ folder: the tests directly in it form
# test_<folder> (label unit); each subfolder <sub> forms test_<folder>_<sub>
# labelled <sub> (gl: needs a display and OpenGL; audio: needs OpenAL; slow).
# Discovery runs at test time, so the build needs no display.
function(halvane_test_suite name)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  halvane_test_program(test_${name} unit "${srcs}" "${T_LIBS}")
  file(GLOB subs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*)
  foreach(sub ${subs})
    if(IS_DIRECTORY ${sub})
      get_filename_component(label ${sub} NAME)
      file(GLOB_RECURSE subsrcs CONFIGURE_DEPENDS ${sub}/*.cpp)
      halvane_test_program(test_${name}_${label} ${label} "${subsrcs}" "${T_LIBS}")
    endif()
  endforeach()
endfunction()

function(halvane_test_program target label srcs libs)
  if(NOT srcs)
    return()
  endif()
  add_executable(${target} ${srcs})
  target_link_libraries(${target} PRIVATE ${libs} halvane_testsupport GTest::gtest_main)
  # Tests build fast and still debug well; the libraries under test keep the
  # build type's optimisation.
  target_compile_options(${target} PRIVATE -Og)
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    PROPERTIES LABELS "${label}"
               ENVIRONMENT "HALVANE_FIXTURES=${CMAKE_CURRENT_SOURCE_DIR}/fixtures"
               # a second variable in ENVIRONMENT would be split off by the
               # discovery script, so it goes through the modification list
               ENVIRONMENT_MODIFICATION "HALVANE_BUNDLE=set:${HALVANE_BUNDLE}")
  # The whole program once more in a shuffled order, so that a test that
  # leans on another's leftovers shows up. An e2e test shares nothing with
  # another (each has its own X server, program and home folder), so a second
  # run of those would only add minutes.
  if(label STREQUAL "e2e")
    return()
  endif()
  add_test(NAME ${target}.Shuffled COMMAND ${target} --gtest_shuffle
           WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  set_tests_properties(${target}.Shuffled PROPERTIES
    LABELS "${label}"
    ENVIRONMENT "HALVANE_FIXTURES=${CMAKE_CURRENT_SOURCE_DIR}/fixtures;HALVANE_BUNDLE=${HALVANE_BUNDLE}")
endfunction()
