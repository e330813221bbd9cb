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
function(velloran_tests target)
  cmake_parse_arguments(T "" "" "DIRS;LINKS" ${ARGN})
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
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "VELLORAN_HEADLESS=1")
endfunction()
