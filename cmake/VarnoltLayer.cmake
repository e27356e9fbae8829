# A layer is every .cpp file of its folder and its sub-folders; new units need
# no edit here.
function(varnolt_layer name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    set(scope PUBLIC)
  else()
    add_library(${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(${name} ${scope} ${PROJECT_SOURCE_DIR})
  if(ARG_DEPS)
    target_link_libraries(${name} ${scope} ${ARG_DEPS})
  endif()
endfunction()

# One test program per layer, every .cpp file of the test folder and below.
function(varnolt_layer_tests name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} varnolt_test_support GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    # One variable per property: test discovery splits a list property apart.
    PROPERTIES ENVIRONMENT "VARNOLT_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data"
               ENVIRONMENT_MODIFICATION "VARNOLT_SHARED_DATA=set:${PROJECT_SOURCE_DIR}/data")
endfunction()
