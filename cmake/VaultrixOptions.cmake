# Compiler settings shared by every target of our own. Third-party code
# (GoogleTest, Google Benchmark) is not built here, so warnings-as-errors
# only ever applies to Vaultrix sources.

option(VAULTRIX_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(VAULTRIX_FUZZ "Build the libFuzzer targets in fuzz/ (needs clang)" OFF)
option(VAULTRIX_BENCH "Build the benchmarks in bench/" ON)
option(VAULTRIX_TESTS "Build the unit tests in tests/" ON)

set(VAULTRIX_WARNINGS
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wimplicit-fallthrough
    -Wno-missing-field-initializers -Werror)

if(VAULTRIX_SANITIZE OR VAULTRIX_FUZZ)
  set(VAULTRIX_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
      -fno-omit-frame-pointer)
  add_compile_options(${VAULTRIX_SANITIZER_FLAGS})
  add_link_options(${VAULTRIX_SANITIZER_FLAGS})
endif()

# Fuzzing needs coverage feedback from the libraries the targets exercise,
# not only from the targets themselves.
if(VAULTRIX_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# vaultrix_module(NAME DIR [DEPS ...]): a static library made of every .cpp in
# DIR (not recursive), with the project root as include root.
function(vaultrix_module name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(NOT sources)
    set(sources ${CMAKE_SOURCE_DIR}/cmake/empty_module.cpp)
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VAULTRIX_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()

# vaultrix_options(TARGET): our warnings on a target made elsewhere.
function(vaultrix_options target)
  target_compile_options(${target} PRIVATE ${VAULTRIX_WARNINGS})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
endfunction()
