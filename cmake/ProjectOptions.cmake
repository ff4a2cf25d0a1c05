# Compile options every target of the project shares.
add_library(nudgelet_options INTERFACE)
target_compile_options(nudgelet_options INTERFACE
  -Wall -Wextra -Wpedantic
  $<$<BOOL:${NUDGELET_WERROR}>:-Werror>)

if(WIN32)
  # Wide-character Win32 API only; keep <windows.h> lean and free of min/max macros.
  target_compile_definitions(nudgelet_options INTERFACE
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()

if(NUDGELET_SANITIZE)
  if(WIN32)
    message(FATAL_ERROR "The sanitizers are for the native build only")
  endif()
  target_compile_options(nudgelet_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(nudgelet_options INTERFACE -fsanitize=address,undefined)
endif()

if(NUDGELET_FUZZ AND NUDGELET_FUZZ_COVERAGE)
  # The same targets built to measure which lines of the readers their inputs
  # reach: clang's source-based coverage, and no sanitizers to slow the replay.
  target_compile_options(nudgelet_options INTERFACE -fprofile-instr-generate -fcoverage-mapping)
  target_link_options(nudgelet_options INTERFACE -fprofile-instr-generate)
elseif(NUDGELET_FUZZ)
  # Every library of the fuzz tree carries the fuzzer's coverage and the
  # sanitizers; only the fuzz targets themselves link libFuzzer's main.
  # Undefined behaviour stops the run like a crash, so the fuzzer keeps it as a finding.
  target_compile_options(nudgelet_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(nudgelet_options INTERFACE -fsanitize=address,undefined)
endif()

# Portable libraries: one function so every one of them is declared alike.
function(nudgelet_portable_library name)
  add_library(${name} STATIC ${ARGN})
  target_link_libraries(${name} PUBLIC nudgelet_options)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()
