# Helpers shared by the folders' CMakeLists.

include(GoogleTest)

# The environment of every test. Sanitized builds read their suppressions
# from cmake/lsan.supp and cmake/tsan.supp, also when ctest is run by hand.
set(CE_TEST_PROPERTIES TIMEOUT 300)
if(CE_SANITIZE)
  list(APPEND CE_TEST_PROPERTIES
       ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/cmake/lsan.supp")
endif()
if(CE_TSAN)
  list(APPEND CE_TEST_PROPERTIES
       ENVIRONMENT "TSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/cmake/tsan.supp")
endif()

# ce_library(NAME [SOURCES file...] [EXCLUDE file...] [DEPS target...]): a
# static library of the given sources of the calling folder (default: every
# .cpp file there, less those excluded). Includes are written from the
# repository root ("platform/base/Registry.h").
function(ce_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;EXCLUDE" ${ARGN})
  if(ARG_SOURCES)
    list(TRANSFORM ARG_SOURCES PREPEND "${CMAKE_CURRENT_SOURCE_DIR}/" OUTPUT_VARIABLE sources)
  else()
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  endif()
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources "${CMAKE_CURRENT_SOURCE_DIR}/${ex}")
  endforeach()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC "${CMAKE_SOURCE_DIR}")
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# ce_test(NAME [SOURCES file...] [DEPS target...]): a GoogleTest program of
# the given sources (default: every .cpp file in the calling folder); each
# test case becomes one CTest test.
function(ce_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_SOURCES)
    file(GLOB ARG_SOURCES CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} ce_testing GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ${CE_TEST_PROPERTIES})
endfunction()
