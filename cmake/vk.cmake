# Shared build settings for every target of the project.

set(VK_WARNINGS -Wall -Wextra)
if(VK_WERROR)
  list(APPEND VK_WARNINGS -Werror)
endif()

if(VK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VK_FUZZ)
  # Every library carries coverage instrumentation, so fuzzers can steer
  # through the code they call.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -g)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VK_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# vk_library(NAME SOURCES ... [DEPS ...] [OPTIMISE])
# A static library rooted at src/ so includes read "text/text_utils.h".
function(vk_library name)
  cmake_parse_arguments(A "OPTIMISE" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(${name} PRIVATE ${VK_WARNINGS})
  if(A_DEPS)
    target_link_libraries(${name} PUBLIC ${A_DEPS})
  endif()
  if(A_OPTIMISE)
    target_compile_options(${name} PRIVATE -O2)
  endif()
endfunction()

# vk_test(NAME SOURCES ... LIBS ... [LABELS ...] [TIMEOUT s])
# One GoogleTest executable registered as one CTest test.
function(vk_test name)
  cmake_parse_arguments(A "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${VK_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${A_LIBS} vk_harness GTest::gtest GTest::gtest_main Threads::Threads)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT A_LABELS)
    set(A_LABELS unit)
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${A_LABELS}" TIMEOUT ${A_TIMEOUT}
    ENVIRONMENT "VK_SOURCE_DIR=${PROJECT_SOURCE_DIR};VK_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()

# vk_bench(NAME SOURCES ... LIBS ...)
function(vk_bench name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_compile_options(${name} PRIVATE ${VK_WARNINGS} -O2)
  # Benchmarks include their own helpers (bench/support) and the shared
  # ones (harness/), never the tests'.
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/bench)
  target_link_libraries(${name} PRIVATE ${A_LIBS} vk_harness benchmark::benchmark Threads::Threads)
endfunction()

# vk_fuzz(NAME SOURCES ... LIBS ... CORPUS dir)
# The target defines LLVMFuzzerTestOneInput. Normally it is linked with a small
# replay driver and registered as a CTest test that feeds it every file of the
# committed corpus (so sanitizer builds check the corpus); with VK_FUZZ and
# clang it becomes a real libFuzzer binary named NAME_fuzzer.
function(vk_fuzz name)
  cmake_parse_arguments(A "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  if(VK_FUZZ)
    add_executable(${name}_fuzzer ${A_SOURCES})
    target_compile_options(${name}_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined -g -O1)
    target_link_options(${name}_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined)
    target_include_directories(${name}_fuzzer PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/kernel)
    target_link_libraries(${name}_fuzzer PRIVATE ${A_LIBS})
  else()
    add_executable(${name}_replay ${A_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    target_compile_options(${name}_replay PRIVATE ${VK_WARNINGS})
    target_include_directories(${name}_replay PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/kernel)
    target_link_libraries(${name}_replay PRIVATE ${A_LIBS})
    add_test(NAME ${name}_replay COMMAND ${name}_replay ${A_CORPUS})
    set_tests_properties(${name}_replay PROPERTIES LABELS "unit;fuzz" TIMEOUT 300)
  endif()
endfunction()
