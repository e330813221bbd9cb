# Each layer is one library whose sources are every .cpp below its folders.
# New files are picked up at the next build (CONFIGURE_DEPENDS), so adding a
# source file never needs an edit here.
function(velloran_layer target)
  cmake_parse_arguments(L "" "" "DIRS;EXCLUDE;LINKS" ${ARGN})
  set(srcs)
  foreach(d IN LISTS L_DIRS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
         ${PROJECT_SOURCE_DIR}/${d}/*.cpp ${PROJECT_SOURCE_DIR}/${d}/*.c)
    list(APPEND srcs ${found})
  endforeach()
  foreach(x IN LISTS L_EXCLUDE)
    list(FILTER srcs EXCLUDE REGEX "${x}")
  endforeach()
  if(NOT srcs)
    message(FATAL_ERROR "${target}: no sources below ${L_DIRS}")
  endif()
  add_library(${target} STATIC ${srcs})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${L_LINKS})
endfunction()

# One GoogleTest executable per layer, from every .cpp below the given test folders.
#
# Test code is built lighter than the product (-O1 -g1) and, with
# VELLORAN_UNITY_TESTS, in unity batches: compiling the tests is most of what a
# cold build costs. With VELLORAN_TEST_SHARDS=N each executable is registered
# as N CTest entries that split its tests by GoogleTest's sharding (shuffled
# with VELLORAN_TEST_SEED), plus two entries for its real-X-server tests, each
# writing a JSON result under test-results/ so a failure still names its test;
# with 0, one CTest entry per test.
function(velloran_tests target)
  cmake_parse_arguments(T "IN_ORDER" "" "DIRS;LINKS" ${ARGN})
  set(srcs)
  foreach(d IN LISTS T_DIRS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${d}/*.cpp)
    list(APPEND srcs ${found})
  endforeach()
  if(NOT srcs)
    return()
  endif()
  add_executable(${target} ${srcs})
  target_link_libraries(${target} PRIVATE ${T_LINKS} velloran_testmain GTest::gtest GTest::gmock)
  target_compile_definitions(${target} PRIVATE
    VELLORAN_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    VELLORAN_SHARED_DATA="${PROJECT_SOURCE_DIR}/../shared/data")
  velloran_light_test_build(${target})
  if(VELLORAN_UNITY_TESTS)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON
                          UNITY_BUILD_BATCH_SIZE ${VELLORAN_UNITY_BATCH})
    # A test's fixture in an anonymous namespace is file-local as meant; in a
    # unity batch GCC takes the included file for a header and warns.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
    endif()
  endif()
  if(VELLORAN_SANITIZE AND VELLORAN_PACK_RELOCS)
    target_link_options(${target} PRIVATE -Wl,-z,pack-relative-relocs)
  endif()

  if(VELLORAN_TEST_SHARDS GREATER 0)
    set(results ${CMAKE_BINARY_DIR}/test-results)
    # IN_ORDER: the executable's tests still lean on what an earlier test of
    # theirs left behind, so its shards keep the declared order.
    set(shuffle 1)
    if(T_IN_ORDER)
      set(shuffle 0)
    endif()
    file(MAKE_DIRECTORY ${results})
    math(EXPR last "${VELLORAN_TEST_SHARDS} - 1")
    foreach(i RANGE ${last})
      add_test(NAME ${target}/shard-${i} COMMAND ${target})
      set_tests_properties(${target}/shard-${i} PROPERTIES ENVIRONMENT
        "VELLORAN_HEADLESS=1;GTEST_TOTAL_SHARDS=${VELLORAN_TEST_SHARDS};GTEST_SHARD_INDEX=${i};GTEST_FILTER=-*X11*;GTEST_SHUFFLE=${shuffle};GTEST_RANDOM_SEED=${VELLORAN_TEST_SEED};GTEST_OUTPUT=json:${results}/${target}-${i}.json")
    endforeach()
    # The real-X-server tests: each starts its own Xvfb, so two shards of
    # them may run side by side.
    foreach(i RANGE 1)
      add_test(NAME ${target}/x11-${i} COMMAND ${target})
      set_tests_properties(${target}/x11-${i} PROPERTIES ENVIRONMENT
        "VELLORAN_HEADLESS=1;GTEST_TOTAL_SHARDS=2;GTEST_SHARD_INDEX=${i};GTEST_FILTER=*X11*;GTEST_SHUFFLE=${shuffle};GTEST_RANDOM_SEED=${VELLORAN_TEST_SEED};GTEST_OUTPUT=json:${results}/${target}-x11-${i}.json")
    endforeach()
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "VELLORAN_HEADLESS=1")
  endif()
endfunction()

# Test code (the tests and their helpers) at -O1 -g1: optimised enough to run
# quickly, cheap to compile. These come after the build type's flags, so they win.
function(velloran_light_test_build target)
  if(VELLORAN_LIGHT_TESTS)
    target_compile_options(${target} PRIVATE -O1 -g1)
  endif()
endfunction()
