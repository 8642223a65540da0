# Compiler settings shared by every target of our own. Third-party code
# (GoogleTest, Google Benchmark) is not built here, so warnings-as-errors
# only ever applies to Vaultrix sources.

option(VAULTRIX_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(VAULTRIX_TSAN "Build everything with ThreadSanitizer (not together with VAULTRIX_SANITIZE)" OFF)
option(VAULTRIX_FUZZ "Build the libFuzzer targets in fuzz/ (needs clang)" OFF)
option(VAULTRIX_BENCH "Build the benchmarks in bench/" ON)
option(VAULTRIX_TESTS "Build the unit tests in tests/" ON)

set(VAULTRIX_WARNINGS
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wimplicit-fallthrough
    -Wno-missing-field-initializers -Werror)
# GCC 12 at -O3 (Release) reports overlapping copies inside std::string's
# own inlined code wherever a string is made from a literal and another
# string ("r" + std::to_string(i), assign("@")): a false -Wrestrict of that
# compiler, gone in GCC 13. It is off there alone.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND VAULTRIX_WARNINGS -Wno-restrict)
endif()

if(VAULTRIX_SANITIZE OR VAULTRIX_FUZZ)
  set(VAULTRIX_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
      -fno-omit-frame-pointer)
  add_compile_options(${VAULTRIX_SANITIZER_FLAGS})
  add_link_options(${VAULTRIX_SANITIZER_FLAGS})
endif()

if(VAULTRIX_TSAN)
  if(VAULTRIX_SANITIZE)
    message(FATAL_ERROR "VAULTRIX_TSAN and VAULTRIX_SANITIZE cannot be combined")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# Fuzzing needs coverage feedback from the libraries the targets exercise,
# not only from the targets themselves.
if(VAULTRIX_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# vaultrix_module(NAME DIR [DEPS ...] [RECURSE] [EXCLUDE FILE ...]): a static
# library made of every .cpp in DIR (with RECURSE, in its subfolders too, for
# a layer whose parts have folders of their own), less the EXCLUDE files, with
# the project root as include root.
function(vaultrix_module name dir)
  cmake_parse_arguments(PARSE_ARGV 2 module "RECURSE" "" "EXCLUDE")
  if(module_RECURSE)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  else()
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  endif()
  foreach(excluded IN LISTS module_EXCLUDE)
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/${excluded})
  endforeach()
  if(NOT sources)
    set(sources ${CMAKE_SOURCE_DIR}/cmake/empty_module.cpp)
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VAULTRIX_WARNINGS})
  target_link_libraries(${name} PUBLIC ${module_UNPARSED_ARGUMENTS})
endfunction()

# vaultrix_options(TARGET): our warnings on a target made elsewhere.
function(vaultrix_options target)
  target_compile_options(${target} PRIVATE ${VAULTRIX_WARNINGS})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
endfunction()
