# Builds the fuzz targets (tests/fuzz) with clang's libFuzzer as a sub-build
# of the native one, and runs each for a short fixed time as a test.
include(ExternalProject)
find_program(FUZZ_CLANGXX NAMES clang++ REQUIRED)

set(FUZZ_SECONDS 30 CACHE STRING "Seconds each fuzz target runs as a test")
set(FUZZ_BINARY_DIR ${CMAKE_BINARY_DIR}/fuzz)

ExternalProject_Add(fuzz
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/tests/fuzz
  BINARY_DIR ${FUZZ_BINARY_DIR}
  CMAKE_ARGS -DCMAKE_CXX_COMPILER=${FUZZ_CLANGXX} -DCMAKE_BUILD_TYPE=Release
             -DZV_COUNTER_IMAGE_HOST=${ZV_COUNTER_IMAGE_HOST}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON)

foreach(_target mp3_reader counter_page counter_host)
  add_test(NAME fuzz.${_target}
    COMMAND ${CMAKE_SOURCE_DIR}/tests/fuzz/run_fuzz.sh ${_target} ${FUZZ_SECONDS} ${FUZZ_BINARY_DIR})
  set_tests_properties(fuzz.${_target} PROPERTIES TIMEOUT 300)
endforeach()
