# One static library per source folder; every .cpp directly in the folder
# belongs to it (main.cpp files excepted: those are programs).
function(ku_library name)
  cmake_parse_arguments(KU "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER srcs EXCLUDE REGEX "/main\\.cpp$")
  if(NOT srcs)
    # An empty folder still yields a library so that dependants link.
    set(srcs ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  endif()
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  # Private: a library's dependencies (and their include paths) do not reach
  # its users; static libraries still pass them on to the final link.
  if(KU_DEPS)
    target_link_libraries(${name} PRIVATE ${KU_DEPS})
  endif()
endfunction()

# One test program per tests/<folder>; every .cpp there belongs to it.
function(ku_tests name)
  cmake_parse_arguments(KU "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${KU_DEPS} ku_testsupport GTest::gtest GTest::gmock)
  # The environment (dummy SDL drivers, source and build folders) is set by
  # the test support library itself: gtest_discover_tests cannot pass a list.
  # A test that never ends (a walk going round in circles) fails rather than
  # holding up the run; the slowest take seconds.
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 300)
endfunction()
