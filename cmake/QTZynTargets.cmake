# Helpers shared by every folder: one library per source folder, one test
# program per test folder, one program per benchmark and fuzz target.

set(QTZYN_WARNINGS -Wall -Wextra)
if(QTZYN_WERROR)
  list(APPEND QTZYN_WARNINGS -Werror)
endif()

if(QTZYN_SANITIZE)
  add_compile_options(-fsanitize=${QTZYN_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${QTZYN_SANITIZE})
endif()
if(QTZYN_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# Include roots. A library publishes a root of its own under the build
# folder that holds its source folder alone (a link to it), so a target
# reaches the headers of the libraries it links and no others: one that
# links only the facade cannot include an engine header.
set(QTZYN_INCLUDE_ROOTS ${PROJECT_BINARY_DIR}/include_roots)

# qtzyn_include_root(ROOT FOLDER OUT_VAR): the root ROOT holding FOLDER (a
# source folder relative to the project, e.g. render/image), in OUT_VAR.
function(qtzyn_include_root root folder out_var)
  set(link ${QTZYN_INCLUDE_ROOTS}/${root}/${folder})
  get_filename_component(parent ${link} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT IS_SYMLINK ${link})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${link} SYMBOLIC)
  endif()
  set(${out_var} ${QTZYN_INCLUDE_ROOTS}/${root} PARENT_SCOPE)
endfunction()

# qtzyn_library(NAME [FOLDER folder] [DEPS lib...] [PRIVATE_DEPS lib...] [LIBS lib...])
# Builds every .cpp of the folder into library qtzyn_NAME (alias qtzyn::NAME)
# with the include root of FOLDER (default NAME). DEPS are the libraries
# whose headers its own headers include; PRIVATE_DEPS those only its
# sources use.
function(qtzyn_library name)
  cmake_parse_arguments(ARG "" "FOLDER" "DEPS;PRIVATE_DEPS;LIBS" ${ARGN})
  if(NOT ARG_FOLDER)
    set(ARG_FOLDER ${name})
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(qtzyn_${name} STATIC ${sources})
  add_library(qtzyn::${name} ALIAS qtzyn_${name})
  qtzyn_include_root(${name} ${ARG_FOLDER} root)
  target_include_directories(qtzyn_${name} PUBLIC ${root})
  target_compile_options(qtzyn_${name} PRIVATE ${QTZYN_WARNINGS})
  foreach(dep IN LISTS ARG_DEPS)
    target_link_libraries(qtzyn_${name} PUBLIC qtzyn::${dep})
  endforeach()
  foreach(dep IN LISTS ARG_PRIVATE_DEPS)
    target_link_libraries(qtzyn_${name} PRIVATE qtzyn::${dep})
  endforeach()
  target_link_libraries(qtzyn_${name} PUBLIC ${ARG_LIBS})
endfunction()

# qtzyn_test_folder(FOLDER DEPS lib...)
# All tests/FOLDER/*_test.cpp become one GoogleTest program test_FOLDER.
function(qtzyn_test_folder folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*_test.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_${folder} ${sources})
  target_compile_options(test_${folder} PRIVATE ${QTZYN_WARNINGS})
  target_include_directories(test_${folder} PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  foreach(dep IN LISTS ARG_DEPS)
    target_link_libraries(test_${folder} PRIVATE qtzyn::${dep})
  endforeach()
  target_link_libraries(test_${folder} PRIVATE GTest::gtest GTest::gtest_main qtzyn_test_support)
  gtest_discover_tests(test_${folder} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QTZYN_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}/data"
    DISCOVERY_TIMEOUT 60)
endfunction()

# qtzyn_fuzz_target(NAME DEPS lib...)
# fuzz/NAME_fuzz.cpp defines LLVMFuzzerTestOneInput.  With QTZYN_FUZZ it links
# libFuzzer; otherwise a small driver replays files and folders given on the
# command line, so every build runs the seed corpus as a regression test.
function(qtzyn_fuzz_target name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  add_executable(fuzz_${name} ${CMAKE_CURRENT_SOURCE_DIR}/${name}_fuzz.cpp)
  target_compile_options(fuzz_${name} PRIVATE ${QTZYN_WARNINGS})
  # Fuzz targets reach the engine's internals, as the tests do.
  target_include_directories(fuzz_${name} PRIVATE ${PROJECT_SOURCE_DIR})
  foreach(dep IN LISTS ARG_DEPS)
    target_link_libraries(fuzz_${name} PRIVATE qtzyn::${dep})
  endforeach()
  set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  if(QTZYN_FUZZ)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    set(seconds $ENV{QTZYN_FUZZ_SECONDS})
    if(NOT seconds)
      set(seconds 5)
    endif()
    set(dict_arg "")
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${name}.dict)
      set(dict_arg -dict=${CMAKE_CURRENT_SOURCE_DIR}/${name}.dict)
    endif()
    # The seed corpus is copied so that a short run never writes into the tree.
    add_test(NAME fuzz_${name}
      COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
              sh -c "rm -rf work_${name} && cp -r ${corpus} work_${name} && $<TARGET_FILE:fuzz_${name}> -max_total_time=${seconds} -rss_limit_mb=2048 -timeout=10 ${dict_arg} work_${name}")
  else()
    target_sources(fuzz_${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/replay_main.cpp)
    add_test(NAME corpus_${name} COMMAND fuzz_${name} ${corpus})
  endif()
endfunction()

# qtzyn_benchmark(NAME DEPS lib...): bench/NAME_bench.cpp with Google Benchmark.
function(qtzyn_benchmark name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  add_executable(bench_${name} ${CMAKE_CURRENT_SOURCE_DIR}/${name}_bench.cpp)
  target_compile_options(bench_${name} PRIVATE ${QTZYN_WARNINGS})
  # Benchmarks reach the engine's internals, as the tests do.
  target_include_directories(bench_${name} PRIVATE ${PROJECT_SOURCE_DIR})
  foreach(dep IN LISTS ARG_DEPS)
    target_link_libraries(bench_${name} PRIVATE qtzyn::${dep})
  endforeach()
  target_link_libraries(bench_${name} PRIVATE benchmark::benchmark)
endfunction()
