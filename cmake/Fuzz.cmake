# Fuzz targets: libFuzzer executables built with clang and the sanitizers
# (the `fuzz` preset). With VELMOR_FUZZ on, every target is compiled with
# libFuzzer's coverage instrumentation; each fuzz target links the fuzzer's
# driver. A parser added later gets its target with one call:
#   velmor_fuzz_target(NAME lang_parser SOURCES LangParserFuzz.cpp LIBS lang)
# Its seed corpus is fuzz/corpus/<name>/ (committed); tools/run-fuzz.sh runs
# every target listed in build-fuzz/fuzz/targets.txt.
option(VELMOR_FUZZ "Build the libFuzzer targets (clang only)" OFF)

if(VELMOR_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VELMOR_FUZZ needs clang (use the fuzz preset)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
  add_custom_target(velmor_fuzzers)
  set(VELMOR_FUZZ_DIR ${CMAKE_BINARY_DIR}/fuzz)
  file(MAKE_DIRECTORY ${VELMOR_FUZZ_DIR})
  file(WRITE ${VELMOR_FUZZ_DIR}/targets.txt "")
endif()

# velmor_fuzz_target(NAME name SOURCES file... [LIBS target...]): the
# executable build-fuzz/fuzz/fuzz_<name>, part of the velmor_fuzzers target,
# run from the seed corpus fuzz/corpus/<name>.
function(velmor_fuzz_target)
  cmake_parse_arguments(ARG "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOT VELMOR_FUZZ)
    return()
  endif()
  set(exe fuzz_${ARG_NAME})
  add_executable(${exe} ${ARG_SOURCES})
  set_target_properties(${exe} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VELMOR_FUZZ_DIR})
  target_link_libraries(${exe} PRIVATE ${ARG_LIBS} velmor_warnings)
  target_link_options(${exe} PRIVATE -fsanitize=fuzzer)
  add_dependencies(velmor_fuzzers ${exe})
  file(APPEND ${VELMOR_FUZZ_DIR}/targets.txt "${ARG_NAME}\n")
endfunction()
