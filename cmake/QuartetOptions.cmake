# Build options shared by every module: warnings, sanitizers, test helper.
option(QUARTET_WERROR "Treat warnings as errors" OFF)
option(QUARTET_BUILD_TESTS "Build the tests" ON)
option(QUARTET_BUILD_BENCH "Build the benchmarks" ON)
set(QUARTET_SANITIZE "" CACHE STRING "Sanitizers to build with: 'address;undefined' or 'thread'")

add_library(quartet_warnings INTERFACE)
target_compile_options(quartet_warnings INTERFACE
  -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Wsuggest-override
  $<$<BOOL:${QUARTET_WERROR}>:-Werror>)

if(QUARTET_SANITIZE)
  list(JOIN QUARTET_SANITIZE "," _quartet_sanitizers)
  add_compile_options(-fsanitize=${_quartet_sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_quartet_sanitizers})
endif()

# quartet_library(<name> SOURCES ... [DEPS ...] [PRIVATE_DEPS ...])
# A static library with its public headers in include/ of the current folder.
function(quartet_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include
                                      PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE quartet_warnings ${ARG_PRIVATE_DEPS})
endfunction()

# quartet_test(<name> SOURCES ... DEPS ... [TIMEOUT s] [LABELS ...])
# A GoogleTest executable whose cases are each registered with ctest, with a timeout.
function(quartet_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS;LABELS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 60)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock quartet_warnings Threads::Threads)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${QUARTET_RESOURCE_DIR}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}"
               ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy")
endfunction()
