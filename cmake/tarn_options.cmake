# Compiler settings shared by every target of ours.

option(TARN_WINE_TESTS "Build the integration tests that load tarn.dll under Wine" OFF)
option(TARN_FUZZ "Build the libFuzzer targets of fuzz/ (clang) instead of the tests" OFF)

function(tarn_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$")
  # Hosts call us with the 4-byte stack alignment of 32-bit Windows, so nothing may assume
  # more on entry; SSE2 is the baseline every supported 32-bit CPU has.
  add_compile_options(-mincoming-stack-boundary=2 -msse2 -mfpmath=sse)
endif()

# Compiles the given sources of tarn_core for one instruction set beyond the baseline. Code in
# them runs only after the processor has been asked whether it can (common/cpu.h).
function(tarn_isa_sources isa)
  if(isa STREQUAL "ssse3")
    set(flags -mssse3)
  elseif(isa STREQUAL "avx2")
    set(flags -mavx2)
    if(WIN32)
      # GCC for Windows spills YMM registers with aligned moves to stack slots that Windows
      # does not align to 32 bytes; the assembler makes every such move an unaligned one.
      list(APPEND flags -Wa,-muse-unaligned-vector-move)
    endif()
  else()
    message(FATAL_ERROR "tarn_isa_sources: unknown instruction set ${isa}")
  endif()
  set_source_files_properties(${ARGN} TARGET_DIRECTORY tarn_core PROPERTIES COMPILE_OPTIONS
                                                                           "${flags}")
endfunction()
