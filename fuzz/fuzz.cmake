# libFuzzer targets for the program's parsers of bytes, each with a short run
# registered as a test (label "fuzz"). Only a compiler that offers libFuzzer
# builds them: clang, with its runtime from libclang-rt-14-dev.
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS -fsanitize=fuzzer)
check_cxx_source_compiles([[
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) {
  return 0;
}
]] MOUSE_HAVE_LIBFUZZER)
unset(CMAKE_REQUIRED_FLAGS)

set(MOUSE_FUZZ_SECONDS 20 CACHE STRING "How long each fuzz test runs, in seconds")

# mouse_add_fuzzer(NAME SOURCES ... SEEDS DIR ...): the libFuzzer executable
# NAME, with AddressSanitizer and UndefinedBehaviorSanitizer, from SOURCES;
# the code under test is among them, so that it carries the fuzzer's coverage
# instrumentation. The test fuzz.NAME runs it for MOUSE_FUZZ_SECONDS starting
# from the seed files in the DIRs (see run_fuzz.sh).
function(mouse_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;SEEDS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  # Without -fno-sanitize-recover, UBSan would only print its finding and let
  # the run go on as a pass.
  set(flags -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
  target_compile_options(${name} PRIVATE ${flags})
  target_link_options(${name} PRIVATE ${flags})
  if(MOUSE_BUILD_TESTS)
    add_test(NAME fuzz.${name}
      COMMAND ${PROJECT_SOURCE_DIR}/fuzz/run_fuzz.sh $<TARGET_FILE:${name}>
        ${MOUSE_FUZZ_SECONDS} ${CMAKE_CURRENT_BINARY_DIR}/${name}-run ${F_SEEDS})
    math(EXPR timeout "${MOUSE_FUZZ_SECONDS} + 120")
    set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT ${timeout})
  endif()
endfunction()
