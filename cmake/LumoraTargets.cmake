set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

find_package(GTest REQUIRED)

# lumora_add_test(NAME SOURCES ... LIBS ... [CONCURRENT])
# One GoogleTest binary per layer suite. CONCURRENT marks suites that run threads:
# they are the ones the ThreadSanitizer build runs.
function(lumora_add_test name)
  cmake_parse_arguments(T "CONCURRENT" "" "SOURCES;LIBS" ${ARGN})
  if(LUMORA_CONCURRENT_ONLY AND NOT T_CONCURRENT)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  target_compile_definitions(${name} PRIVATE LUMORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set(labels unit)
  if(T_CONCURRENT)
    set(labels concurrent)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT 600
    ENVIRONMENT "LUMORA_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

# lumora_add_benchmark(NAME SOURCES ... LIBS ...)
function(lumora_add_benchmark name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark Threads::Threads)
endfunction()

# lumora_add_fuzzer(NAME SOURCES ... LIBS ...): libFuzzer target, clang builds with LUMORA_FUZZ only.
function(lumora_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
endfunction()
